// The obstacle test answered from a grid over the posts: a town holds tens of thousands of
// posts along its walls, and a step tests only those in the cells around it, so its cost
// does not grow with their number.
//
// Every answer is the scan's answer. The test asks only whether some post hits, never which
// one (the walker, the vehicles, the chase camera's boom and the objects all take the
// answer as a yes or no), so the order in which posts are looked at changes nothing.
#pragma once

// Scenes with fewer posts than this are scanned: the grid would not be faster.
inline constexpr int kPostGridLeast = 64;

// True when (x, z) lies strictly inside the square of half-size halfSize around one of the
// obstacle points 1..obstacleCount (only rows the tables hold). The grid is built at the
// first test after a scene was read or the count or tables changed.
bool PostsHit(double x, double z, double halfSize);

// Forgets the grid (built anew at the next test).
void ResetPostGrid();

// What the last test looked at, for the tests and the benchmark: whether the grid answered
// it (false: the posts were scanned) and how many posts it compared.
struct PostTestStats {
  bool grid = false;
  int compared = 0;
};
PostTestStats LastPostTest();
