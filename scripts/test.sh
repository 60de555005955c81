#!/usr/bin/env bash
# Every test: native unit tests plain and under the sanitizers, the icon,
# release-zip and import checks, short fuzz runs, and the end-to-end runner
# under Wine, for the 64-bit build and for the shipped 32-bit programs. Each
# suite runs even when an earlier one failed; the exit code says whether
# all passed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh || exit 1
scripts/build.sh || exit 1

mkdir -p out
logs=$root/out/test-logs
rm -rf "$logs" && mkdir -p "$logs"
failed_suites=()
passed=0
failed=0

# Adds a suite's counts and remembers it when it failed.
record() {
  local suite=$1 status=$2 ok=$3 bad=$4
  passed=$((passed + ok))
  failed=$((failed + bad))
  if [[ $status -ne 0 ]]; then
    failed_suites+=("$suite")
    [[ $bad -gt 0 ]] || failed=$((failed + 1))
  fi
}

ctest_counts() { # prints "passed failed" from a ctest log
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n1)
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
  echo "$((${total:-0} - ${bad:-0})) ${bad:-0}"
}

gtest_counts() { # prints "passed failed" from a GoogleTest log
  local ok bad
  ok=$(grep -E '^\[  PASSED  \] [0-9]+ tests?' "$1" | tail -n1 | grep -oE '[0-9]+' | head -n1)
  bad=$(grep -E '^\[  FAILED  \] [0-9]+ tests?, listed below' "$1" | tail -n1 | grep -oE '[0-9]+' | head -n1)
  echo "${ok:-0} ${bad:-0}"
}

for preset in native native-asan; do
  echo "== ctest $preset"
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --preset "$preset" -j "$(nproc)" 2>&1 | tee "$logs/ctest-$preset.log"
  status=${PIPESTATUS[0]}
  read -r ok bad < <(ctest_counts "$logs/ctest-$preset.log")
  record "ctest $preset" "$status" "$ok" "$bad"
done

# The icons, the release zip that the win32 build made, and the 32-bit
# programs' imports.
for suite in icons package imports; do
  echo "== $suite"
  python3 -m unittest discover -s tests -p "${suite}_test.py" 2>&1 | tee "$logs/$suite.log"
  status=${PIPESTATUS[0]}
  ran=$(grep -oE '^Ran [0-9]+' "$logs/$suite.log" | grep -oE '[0-9]+')
  if [[ $status -eq 0 && ${ran:-0} -gt 0 ]]; then record "$suite" 0 "$ran" 0; else record "$suite" 1 0 1; fi
done

echo "== fuzz"
for fuzzer in build/fuzz/tests/fuzz/fuzz_*; do
  [[ -x $fuzzer ]] || continue
  name=$(basename "$fuzzer")
  corpus=$(mktemp -d)
  seeds=tests/fuzz/corpus/${name#fuzz_}
  [[ -d $seeds ]] || seeds=
  if "$fuzzer" -max_total_time="${FUZZ_SECONDS:-30}" -print_final_stats=1 "$corpus" $seeds \
    >"$logs/$name.log" 2>&1; then
    echo "$name: $(grep -E 'stat::number_of_executed_units' "$logs/$name.log" | grep -oE '[0-9]+$') runs, nothing found"
    record "$name" 0 1 0
  else
    tail -n 40 "$logs/$name.log"
    record "$name" 1 0 1
  fi
  rm -rf "$corpus"
done

# The 64-bit build, then the shipped 32-bit programs in 32-bit Wine.
for arch in win64 win32; do
  echo "== end to end under Wine, $arch"
  E2E_ARCH=$arch E2E_LOG=$logs/e2e-$arch.log scripts/e2e.sh
  status=$?
  read -r ok bad < <(gtest_counts "$logs/e2e-$arch.log")
  record "end to end $arch" "$status" "$ok" "$bad"
done

echo
if ((${#failed_suites[@]})); then
  echo "failed suites: ${failed_suites[*]}"
fi
echo "$passed passed, $failed failed"
((${#failed_suites[@]} == 0))
