// The progress line, rewritten in place at most four times a second.
#include "progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

Progress::Progress(long long total, bool forced)
    : total_(total), forced_(forced), enabled_(forced || isatty(STDERR_FILENO)) {
  start_ = last_ = std::chrono::steady_clock::now();
}

// Rewrites the line at most four times a second, and always for the last frame.
void Progress::Frame(long long n, double done) {
  if (!enabled_) return;
  if (done > 0) total_ = std::max(n, static_cast<long long>(n / done + 0.5));
  const auto now = std::chrono::steady_clock::now();
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  if (!forced_ && elapsed < 3) return;
  if (n < total_ && shown_ && now - last_ < std::chrono::milliseconds(250)) return;
  last_ = now;
  shown_ = true;
  const long long left = static_cast<long long>(elapsed / n * (total_ - n) + 0.5);
  std::fprintf(stderr, "\rcitywalk-replay: frame %lld of %lld, %lld:%02lld left   ", n, total_,
               left / 60, left % 60);
  std::fflush(stderr);
}

// Ends the line so that later messages start on their own.
void Progress::End() {
  if (shown_) std::fputc('\n', stderr);
  shown_ = false;
}
