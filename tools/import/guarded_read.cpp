// fork, setrlimit(RLIMIT_AS), a pipe for the model and one for the reader's messages, poll
// with a deadline, and SIGKILL when it passes.
#include "guarded_read.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>

#include "model_wire.h"

namespace {

// Lets the address space grow by limit MiB beyond what is mapped now.
void LimitAddressSpace(double limitMiB) {
  std::ifstream statm("/proc/self/statm");
  unsigned long long pages = 0;
  statm >> pages;
  const double mapped = static_cast<double>(pages) * static_cast<double>(sysconf(_SC_PAGESIZE));
  const double wanted = mapped + limitMiB * 1024 * 1024;
  rlimit limit{};
  getrlimit(RLIMIT_AS, &limit);
  if (wanted < static_cast<double>(limit.rlim_max) || limit.rlim_max == RLIM_INFINITY) {
    limit.rlim_cur = static_cast<rlim_t>(wanted);
    setrlimit(RLIMIT_AS, &limit);
  }
}

// Writes all of bytes to fd (as far as it takes them).
void WriteAll(int fd, const std::string& bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + at, bytes.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    at += static_cast<std::size_t>(n);
  }
}

// The reading process: reads, then sends '1' and the model, or '0' and the reason.
[[noreturn]] void ReadingProcess(const ImportOptions& options, int out) {
  LimitAddressSpace(options.memoryLimitMiB);
  std::string result;
  try {
    Model model;
    std::string error;
    result = LoadModel(options, model, error) ? "1" + ModelBytes(model) : "0" + error;
  } catch (const std::bad_alloc&) {
    result = "0the model library ran out of memory";
  }
  WriteAll(out, result);
  _exit(0);
}

// Reads both pipes to their ends, until deadline; false when it passes first. The caller
// closes them.
bool Collect(int data, int messages, std::chrono::steady_clock::time_point deadline,
             std::string& bytes, std::string& log) {
  pollfd fds[2] = {{data, POLLIN, 0}, {messages, POLLIN, 0}};
  std::string* into[2] = {&bytes, &log};
  char buffer[65536];
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    const int ready = poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), 60000)));
    if (ready < 0 && errno != EINTR) return false;
    for (int k = 0; k < 2 && ready > 0; ++k) {
      if (fds[k].fd < 0 || fds[k].revents == 0) continue;
      const ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
      if (n > 0) {
        into[k]->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        fds[k].fd = -1;  // at its end: poll passes it over from now on
      }
    }
  }
  return true;
}

// A number as the messages show it.
std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

// Why the reading gave no model, from how the process ended.
std::string Failure(const ImportOptions& options, bool timedOut, int status,
                    const std::string& bytes) {
  const std::string memory =
      "more memory than the limit of " + Number(options.memoryLimitMiB) + " MiB (--memory-limit)";
  if (timedOut)
    return "reading it takes longer than the limit of " + Number(options.timeLimitSeconds) +
           " s (--time-limit)";
  if (!bytes.empty() && bytes[0] == '0') {
    const std::string reason = bytes.substr(1);
    return reason == "the model library ran out of memory" ? "reading it needs " + memory : reason;
  }
  if (WIFSIGNALED(status))
    return "the model library crashed reading it (signal " + std::to_string(WTERMSIG(status)) +
           "; it may need " + memory + ")";
  return "the model library stopped reading it: it may need " + memory;
}

}  // namespace

double DefaultMemoryLimitMiB() {
  const double bytes =
      static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGESIZE));
  return std::max(1024.0, std::floor(bytes / 2 / 1024 / 1024));
}

bool LoadModelGuarded(const ImportOptions& options, Model& model, std::string& error,
                      std::string& log) {
  int data[2], messages[2];
  if (pipe2(data, O_CLOEXEC) != 0 || pipe2(messages, O_CLOEXEC) != 0) {
    error = std::string("cannot start reading it: ") + std::strerror(errno);
    return false;
  }
  std::fflush(nullptr);
  const auto deadline =
      std::chrono::steady_clock::now() +
      std::chrono::milliseconds(static_cast<long long>(options.timeLimitSeconds * 1000));
  const pid_t pid = fork();
  if (pid == 0) {
    close(data[0]);
    close(messages[0]);
    dup2(messages[1], 2);
    ReadingProcess(options, data[1]);
  }
  close(data[1]);
  close(messages[1]);
  std::string bytes;
  const bool timedOut = pid < 0 || !Collect(data[0], messages[0], deadline, bytes, log);
  for (int fd : {data[0], messages[0]}) close(fd);
  int status = 0;
  if (pid > 0) {
    if (timedOut) kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (pid < 0) {
    error = std::string("cannot start reading it: ") + std::strerror(errno);
    return false;
  }
  if (!timedOut && !bytes.empty() && bytes[0] == '1' && ModelFromBytes(bytes.substr(1), model))
    return true;
  error = Failure(options, timedOut, status, bytes);
  return false;
}
