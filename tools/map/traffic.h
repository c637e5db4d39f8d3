// Traffic: cars on closed routes through the streets, people on closed routes along the
// paths or the pavements of the blocks.
//
// A moving object keeps its own points to avoid (its waypoints) and swerves from any it comes
// near; it does not steer towards anything. So each object's waypoints line both sides of its
// route through the street graph, the way round one block (a face of the graph, turning at
// every junction), and the object, bumping off them, follows the route's centreline and
// turns with it at the junctions.
#pragma once

#include <string>
#include <vector>

#include "scene_writer.h"
#include "streets.h"

// A closed route: its corners, the centreline turning round a block.
struct Route {
  std::vector<Vec2> corners;
  double length = 0;
  bool pavement = false;  // a block's pavement, beside the streets (people only)
};

struct TrafficPlan {
  int cars = -1, people = -1;  // asked for; -1: as many as the routes allow
};

struct TrafficCounts {
  int carRoutes = 0, peopleRoutes = 0;   // routes found
  int cars = 0, people = 0;              // placed
  int carsRoom = 0, peopleRoom = 0;      // how many the routes have room for
  int pavementRoutes = 0;                // people's routes along pavements
  long points = 0;                       // the objects' waypoints
  int stalled = 0;                       // left out: they stalled wherever they were put
  int askedCars = -1, askedPeople = -1;  // as the plan asked
};

// The routes round the blocks of the streets that users of the kind (drivable or walkable)
// may take, lying wholly within radius of the origin, nearest first.
std::vector<Route> BlockRoutes(const std::vector<Street>& streets, bool drivable, double radius);

// Adds cars and people to the scene on the routes found in the streets within radius.
void AddTraffic(SceneSpec& scene, const std::vector<Street>& streets, double radius,
                const TrafficPlan& plan, TrafficCounts& counts);

// What keeps an object on a route: waypoints along both sides of the centreline at halfWidth,
// close enough that the squares of a slanting side rise by at most riser from one to the
// next, and never farther apart than widest.
std::vector<std::pair<double, double>> RouteSides(const Route& route, double halfWidth,
                                                  double riser, double widest);
