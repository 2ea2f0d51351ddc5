#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang, the debug core with its
# assertions, AddressSanitizer and UBSan, natively against platform/) and runs
# each from a copy of its seed corpus. Any finding (a crash, a sanitizer
# report, a failed check, a hang, a leak) fails the script and leaves the
# input under build/fuzz/run/<target>/.
#
# By default every run is reproducible: a fixed seed and a fixed number of
# inputs, so the same tree gives the same result on every machine. Setting
# MIREL_FUZZ_SECONDS explores instead: a random seed for that long, for
# hunting new faults (add what it finds to the corpus as a seed).
#
# Every tests/fuzz/<name>.cpp is a target: adding a file adds a target, with
# its seeds in tests/fuzz/corpus/<name>/ (optional).
#   MIREL_FUZZ_RUNS     inputs per target (default 1200 for the control,
#                       200000 for the regular expressions, 500000 otherwise:
#                       under a minute each)
#   MIREL_FUZZ_SECONDS  explore for this long per target instead
#   MIREL_FUZZ_TARGETS  names to run instead of all of them
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

targets=${MIREL_FUZZ_TARGETS:-$(for f in tests/fuzz/*.cpp; do basename "$f" .cpp; done)}

echo "== fuzz build (fuzz) =="
cmake --preset fuzz >/dev/null
# Only the fuzz programs: the shared libraries are not built with clang here.
cmake --build --preset fuzz --target $(for name in $targets; do echo "fuzz_$name"; done)
status=0
for name in $targets; do
  exe=build/fuzz/tests/fuzz/fuzz_$name
  work=build/fuzz/run/$name
  case $name in
    control_fuzz) runs=${MIREL_FUZZ_RUNS:-1200} ;;
    regex) runs=${MIREL_FUZZ_RUNS:-200000} ;;
    *) runs=${MIREL_FUZZ_RUNS:-500000} ;;
  esac
  if [ -n "${MIREL_FUZZ_SECONDS:-}" ]; then
    budget="-max_total_time=$MIREL_FUZZ_SECONDS"
    what="for $MIREL_FUZZ_SECONDS s"
  else
    budget="-seed=1 -runs=$runs"
    what="for $runs inputs"
  fi
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  if [ -d "tests/fuzz/corpus/$name" ]; then cp -r "tests/fuzz/corpus/$name/." "$work/corpus/"; fi
  echo "== fuzz $name $what =="
  # A single input may take 10 s at most: anything slower is a finding too.
  if ! "$exe" $budget -timeout=10 -rss_limit_mb=4096 -max_len=4096 \
      -print_final_stats=1 -artifact_prefix="$work/findings/" "$work/corpus" >"$work/log" 2>&1; then
    tail -n 60 "$work/log"
    echo "fuzz: $name found a fault; the input is in $work/findings/"
    status=1
  else
    grep -E '^(Done|stat::number_of_executed_units)' "$work/log" || true
  fi
done
exit $status
