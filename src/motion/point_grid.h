// The obstacle tests answered from grids over the points: a town holds tens of thousands of
// posts along its walls, and each moving object thousands of its own points along its route;
// a step tests only those in the cells around it, so its cost does not grow with their number.
//
// Every answer is the scan's answer. The tests ask only whether some point hits, never which
// one (the walker, the vehicles, the chase camera's boom and the objects all take the answer
// as a yes or no), so the order in which points are looked at changes nothing.
#pragma once

// Point sets smaller than this are scanned: a grid would not be faster.
inline constexpr int kPointGridLeast = 64;

// True when (x, z) lies strictly inside the square of half-size halfSize around one of the
// obstacle points 1..obstacleCount (only rows the tables hold). The grid is built at the
// first test after a scene was read or the count or tables changed.
bool PostsHit(double x, double z, double halfSize);

// True when (x, z) lies strictly inside the square of half-size halfSize around one of object
// i's own points (waypoints 1..objectWaypointCount[i], as far as the rows hold them).
bool OwnPointsHit(int i, double x, double z, double halfSize);

// Forgets the grids (built anew at the next test).
void ResetPointGrids();

// What the last test looked at, for the tests and the benchmark: whether a grid answered it
// (false: the points were scanned) and how many points it compared.
struct PointTestStats {
  bool grid = false;
  int compared = 0;
};
PointTestStats LastPointTest();
