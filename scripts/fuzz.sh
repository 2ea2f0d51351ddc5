#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang, the debug core with its
# assertions, AddressSanitizer and UBSan, natively against platform/) and runs
# each from a copy of its seed corpus. Any finding (a crash, a sanitizer
# report, a failed check, a hang, a leak) fails the script and leaves the
# input under build/fuzz/run/<target>/.
#
# By default every run is repeatable: each target replays its seed corpus and
# a fixed set of inputs made from it (scripts/fuzz-inputs.pl, a fixed seed),
# with address-space randomisation off, so one tree gives one result on every
# machine; nothing is mutated by the run itself, since libFuzzer's mutations
# follow comparison traces and timings that differ from run to run. Setting
# MIREL_FUZZ_SECONDS explores instead: libFuzzer mutates from a random seed for
# that long, for hunting new faults (add what it finds to the corpus as a seed
# once mended). CI never explores.
#
# Every tests/fuzz/<name>.cpp is a target: adding a file adds a target, with
# its seeds in tests/fuzz/corpus/<name>/ (optional).
#   MIREL_FUZZ_RUNS     generated inputs per target (default 1500 for the
#                       control, 4000 for the regular expressions, 60000
#                       otherwise: about a minute each)
#   MIREL_FUZZ_SECONDS  explore for this long per target instead
#   MIREL_FUZZ_TARGETS  names to run instead of all of them
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

targets=${MIREL_FUZZ_TARGETS:-$(for f in tests/fuzz/*.cpp; do basename "$f" .cpp; done)}

echo "== fuzz build (fuzz) =="
# Warnings fail this build as they do the others.
cmake --preset fuzz -DMIREL_WERROR=ON >/dev/null
# Only the fuzz programs: they link the core statically.
cmake --build --preset fuzz --target $(for name in $targets; do echo "fuzz_$name"; done)
# Address-space randomisation off, where the kernel lets a process ask.
no_aslr=()
if setarch "$(uname -m)" -R true 2>/dev/null; then no_aslr=(setarch "$(uname -m)" -R); fi

status=0
for name in $targets; do
  exe=build/fuzz/tests/fuzz/fuzz_$name
  work=build/fuzz/run/$name
  seeds=tests/fuzz/corpus/$name
  case $name in
    control_fuzz) runs=${MIREL_FUZZ_RUNS:-1500} ;;
    regex) runs=${MIREL_FUZZ_RUNS:-4000} ;;
    *) runs=${MIREL_FUZZ_RUNS:-60000} ;;
  esac
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  if [ -d "$seeds" ]; then cp -r "$seeds/." "$work/corpus/"; fi
  common=(-rss_limit_mb=4096 -max_len=4096 -print_final_stats=1 -artifact_prefix="$work/findings/")
  if [ -n "${MIREL_FUZZ_SECONDS:-}" ]; then
    echo "== fuzz $name: exploring for $MIREL_FUZZ_SECONDS s =="
    # A single input may take 10 s at most: anything slower is a finding too.
    cmd=("$exe" -max_total_time="$MIREL_FUZZ_SECONDS" -timeout=10 "${common[@]}" "$work/corpus")
  else
    echo "== fuzz $name: the seed corpus and $runs inputs made from it =="
    perl scripts/fuzz-inputs.pl "$seeds" "$work/generated" "$runs" 1 4096
    # Each input runs once, in a fixed order; a slow one is a finding, with a
    # margin for a loaded machine.
    cmd=("${no_aslr[@]}" "$exe" -runs=0 -seed=1 -shuffle=0 -timeout=30 "${common[@]}"
         "$work/corpus" "$work/generated")
  fi
  if ! "${cmd[@]}" >"$work/log" 2>&1; then
    tail -n 60 "$work/log"
    echo "fuzz: $name found a fault; the input is in $work/findings/"
    status=1
  else
    grep -E '^(Done|INITED|stat::number_of_executed_units)' "$work/log" || true
  fi
done
exit $status
