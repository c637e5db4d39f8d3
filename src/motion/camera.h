// Projection and the viewer's camera rules.
#pragma once

#include <initializer_list>

// A double as the float that GL takes. A value beyond the range of float becomes an infinity
// (the plain conversion of such a value is undefined behaviour); NaN stays NaN.
float GlFloat(double value);
// Loads a look-at camera on an identity modelview matrix, up vector (0, -1, 0).
void LoadLookAt(double ex, double ey, double ez, double tx, double ty, double tz);
// Loads the walking camera: eye lifted by eyeLift, the view tilted by lookPitch about each
// pivot lift in turn, optionally a new look-at target and the viewer's lights.
void WalkCamera(double eyeLift, std::initializer_list<double> pivotLifts, bool newTarget,
                bool lights);
// Keeps heading within -360..360 by one turn at most.
void WrapHeading();
// headingRad from the heading of the current mode.
void ViewAngle();
// Puts the look-at target lookDistance ahead of the eye.
void LookTarget();
// Places the enabled lights relative to the eye under the current camera.
void ViewerLights();
