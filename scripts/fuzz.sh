#!/usr/bin/env bash
# scripts/fuzz.sh [TARGET] [SECONDS] [JOBS]: builds the libFuzzer targets (clang, ASan + UBSan,
# in build/fuzz: the fuzz preset) and runs TARGET (reader, bitmap, program or map; default all
# four, one after the other) for SECONDS of processor time each (default 3600), in JOBS
# processes (default 1).
# Inputs that add coverage go to build/fuzz/corpus/TARGET (the seeds in tests/fuzz/corpus/TARGET
# are read, not written); a crash, leak or hang (an input running over 10 s) is written to
# build/fuzz/findings/ and stops the run with a non-zero status. Add a finding that was fixed
# to tests/fuzz/corpus/TARGET, where the test fuzz_corpus_TARGET replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=${1:-reader bitmap program map}
seconds=${2:-3600}
jobs=${3:-1}

scripts/deps.sh test
command -v clang++ >/dev/null || {
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq clang libclang-rt-dev >/dev/null
}
cmake --preset fuzz >/dev/null
mkdir -p build/fuzz/findings
# Paths are absolute: the program target runs the program in a folder of its own.
for target in $targets; do
  cmake --build --preset fuzz --target "citywalk_${target}_fuzz" >/dev/null
  mkdir -p "build/fuzz/corpus/$target"
  # The program target keeps its scene tables from one input to the next, which libFuzzer's
  # per-input leak check would take for leaks; leaks are the sanitizer test run's and the
  # soak's to find.
  leaks=1
  [ "$target" = program ] && leaks=0
  parallel=()
  [ "$jobs" -gt 1 ] && parallel=(-jobs="$jobs" -workers="$jobs")
  echo "== $target: ${seconds} s x $jobs"
  "build/fuzz/tests/citywalk_${target}_fuzz" -timeout=10 -rss_limit_mb=4096 \
    -detect_leaks=$leaks -max_total_time="$seconds" "${parallel[@]}" \
    -artifact_prefix="$PWD/build/fuzz/findings/" -print_final_stats=1 \
    "$PWD/build/fuzz/corpus/$target" "$PWD/tests/fuzz/corpus/$target"
done
