// The signals that ask the program to end: SIGTERM, SIGINT (Ctrl+C) and SIGHUP (the terminal
// gone). The handler only notes the signal and wakes the platform's wait; the platform then
// closes the window as a close request would, so the program ends by its own teardown (the
// display mode given back, the recording and the trace written out to their last whole line),
// and at exit the process ends by the same signal, with the status a shell expects of it.
// A second signal before that ends the process at once.
#pragma once

// Installs the handlers; call first in main, before anything else registers exit handlers.
void CatchEndSignals();
// The signal taken and not yet acted on, once (later calls give 0); 0 when none came.
int TakeEndSignal();
// A descriptor that becomes readable when a signal comes, for the platform's poll(); -1
// before CatchEndSignals.
int EndSignalWakeFd();
