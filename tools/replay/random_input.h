// Random input for soak runs: keys pressed, held and released, the mouse moved, the button
// and the window used now and then, the same for the same seed.
#pragma once

#include <cstdint>

struct RandomInput {
  std::uint64_t state = 1;
  bool held[6] = {};    // Up, Down, Left, Right, Space, Ctrl
  bool paused = false;  // F2 pressed an odd number of times
  bool button = false;  // the left button is down
};

// Starts the sequence of seed.
RandomInput StartRandomInput(std::uint64_t seed);
// Gives one turn's random input through the headless platform, as a user would; returns
// whether anything was posted. Esc and closing the window are never chosen.
bool GiveRandomInput(RandomInput& input);
