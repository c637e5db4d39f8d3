// The run state and the frame clock.
#include "app/run_state.h"

int RunState;
int nowTick;
int lastTick;

// Running, with no frame drawn yet.
void ResetRunState() {
  RunState = kRunning;
  nowTick = lastTick = 0;
}
