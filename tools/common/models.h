// Models of the demo scenes: cars with wheels and people with limbs, as moving objects (and,
// later, as the user's own model), built from boxes and flat polygons.
#pragma once

#include <array>
#include <vector>

#include "scene_writer.h"

using Colour = std::array<double, 3>;

// A car about 16 long and 8 wide, its front towards -z, standing on y = 0 (y points down):
// a body and a cabin of the given colour, and four wheels that are parts 0..3, each swinging
// about its axle while the car moves (motion state 1).
SceneObjectSpec Car(const Colour& colour);
// The model moved down by dy (y points down): vertices and part pivots.
SceneObjectSpec Lifted(SceneObjectSpec model, double dy);
// The figure of the walking mode watched from outside: a person whose limbs move by what it
// does (part rows 1 walking forward, 2 back, 3 turning, 4 stepping sideways; still in row 0),
// the arms held a little away from the body by fixed tilts.
SceneObjectSpec WalkingFigure(const Colour& clothes);
// What the driver sees of the car from the driver's seat (the eye at the origin, facing -z):
// the dashboard just below the view and the bonnet beyond it, in the given paint.
std::vector<SceneVertexSpec> DriversView(const Colour& paint);
// A person about 17 tall, facing -z: head, body, two legs (parts 0, 1) and two arms (parts
// 2, 3) that swing while walking (motion state 1).
SceneObjectSpec Pedestrian(const Colour& clothes);
