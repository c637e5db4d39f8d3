// The progress line of a long replay: "frame n of N, time left" on standard error.
#pragma once

#include <chrono>

class Progress {
 public:
  // Shows "frame n of N, time left" on standard error when asked to or when it is a terminal
  // (then only once the run has taken a few seconds).
  Progress(long long total, bool forced);
  // Frame n is drawn; done (0..1), when given, is the share of the run behind, for a run whose
  // number of frames is not known before (a recording): the total is then estimated from it.
  void Frame(long long n, double done = -1);
  void End();

 private:
  long long total_;
  bool forced_, shown_ = false, enabled_;
  std::chrono::steady_clock::time_point start_, last_;
};
