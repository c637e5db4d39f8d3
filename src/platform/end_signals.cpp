// Ending on SIGTERM, SIGINT and SIGHUP: a flag and a wake-up byte from the handler, the rest
// in the program's own time. Only async-signal-safe calls run inside the handler.
#include "platform/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t caught = 0;  // the signal that came, 0 while none
bool taken = false;                // the platform has acted on it
int wakePipe[2] = {-1, -1};

// Notes the signal and wakes the platform; a second signal ends the process at once.
void OnEndSignal(int number) {
  if (caught != 0) {
    signal(number, SIG_DFL);
    raise(number);  // delivered as soon as this handler returns
    return;
  }
  caught = number;
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
  errno = saved;
}

// At exit, after the program's own clean-up: ends the process by the signal that asked.
void EndBySignal() {
  const int number = caught;
  if (number == 0) return;
  signal(number, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, number);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(number);
}

}  // namespace

void CatchEndSignals() {
  if (wakePipe[0] >= 0) return;
  if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe[0] = wakePipe[1] = -1;
  std::atexit(EndBySignal);  // the first registered: it runs after every other
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  for (const int number : kEndSignals) sigaddset(&action.sa_mask, number);
  action.sa_flags = SA_RESTART;  // file reads and writes go on; poll() still wakes
  for (const int number : kEndSignals) {
    struct sigaction before {};
    sigaction(number, &action, &before);
    // A signal ignored when the program started (nohup, a shell's background job) stays so.
    if (before.sa_handler == SIG_IGN) sigaction(number, &before, nullptr);
  }
}

int TakeEndSignal() {
  if (caught == 0 || taken) return 0;
  taken = true;
  if (wakePipe[0] >= 0) {
    char bytes[16];
    while (read(wakePipe[0], bytes, sizeof bytes) > 0) {
    }
  }
  return caught;
}

int EndSignalWakeFd() { return wakePipe[0]; }
