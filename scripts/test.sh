#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build, the Windows build under Wine
# (cross build, registry tests, sessions compared byte for byte with the Linux
# velhost, the Windows zip unpacked and run), the Debian package (made, installed,
# used and removed, which needs root or sudo), and each fuzz target for a bounded
# time: 8 minutes each, two at a time, so that the whole stays near 55 minutes on a
# fresh two-core machine.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
export QT_QPA_PLATFORM=offscreen
fuzz_seconds=${ORVANTA_FUZZ_SECONDS:-480}

bash scripts/install-deps.sh || exit 1

# A locale with a decimal comma, so that texts built from numbers are checked
# not to follow the user's locale.
locales_dir="$here/build-locales"
if [ ! -d "$locales_dir/de_DE.UTF-8" ]; then
  mkdir -p "$locales_dir"
  localedef -i de_DE -f UTF-8 "$locales_dir/de_DE.UTF-8" 2>/dev/null || true
fi
export LOCPATH="$locales_dir"

failed=()
step() {
  local name=$1
  shift
  echo "=== $name"
  if "$@"; then echo "=== $name: ok"; else echo "=== $name: FAILED"; failed+=("$name"); fi
}

run_ctest() { ctest --test-dir "$1" --output-on-failure -j"$(nproc)" --timeout 300; }

step "build" bash scripts/build.sh build
step "tests" run_ctest build

step "build (sanitizers)" bash scripts/build.sh build-asan -DORVANTA_SANITIZE=ON -DORVANTA_BENCH=OFF
run_sanitized_ctest() {
  # intercept_tls_get_addr=0: this compiler's sanitizer runtime takes a thread-local block
  # that happens to start 16 bytes past a page boundary for an old glibc header and reads the
  # words before it, so LeakSanitizer's exit-time check crashes now and then ("Tracer caught
  # signal 11") in a program that leaked nothing. Leak checking itself stays on.
  local -x ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0
  local -x UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  local log=build-asan/Testing/sanitized-run.log
  mkdir -p build-asan/Testing
  run_ctest build-asan 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  # Should LeakSanitizer still crash in its own check, the failed tests run once more; every
  # other failure stands.
  if [ "$status" -ne 0 ] && grep -q "LeakSanitizer has encountered a fatal error" "$log"; then
    echo "--- LeakSanitizer crashed in its own leak check: the failed tests run once more"
    ctest --test-dir build-asan --rerun-failed --output-on-failure --timeout 300
    status=$?
  fi
  return "$status"
}
step "tests (sanitizers)" run_sanitized_ctest

step "windows (cross build, wine runs, byte comparisons, the zip)" bash scripts/test-windows.sh

step "Debian package (made, installed, used, removed)" bash scripts/test-package.sh

# One fuzz target for the time given, from the inputs in fuzz/corpus/ (the files that once
# found a fault among them, run first as regressions). An input that takes more than a second
# is a failure, as is one that takes more than 2 GB, or 512 MB at once; the input that failed is
# kept in build-fuzz/findings/. What it found goes to build-fuzz/findings/NAME.report.
fuzz_one() {
  local target=$1 name corpus status report
  name=$(basename "$target")
  report="build-fuzz/findings/$name.report"
  corpus=$(mktemp -d)
  cp -r "fuzz/corpus/${name%_fuzz}/." "$corpus/" 2>/dev/null || true
  "$target" -max_total_time="$fuzz_seconds" -timeout=1 -rss_limit_mb=2048 -malloc_limit_mb=512 \
    -artifact_prefix="build-fuzz/findings/$name-" -print_final_stats=1 "$corpus" \
    >"$corpus.log" 2>&1
  status=$?
  if [ "$status" -ne 0 ]; then
    { echo "--- $name: FAILED"; tail -40 "$corpus.log"; } >"$report"
  else
    echo "--- $name: $(grep -E '^stat::number_of_executed_units' "$corpus.log" | grep -oE '[0-9]+$')" \
      "inputs in ${fuzz_seconds}s, no finding" >"$report"
  fi
  rm -rf "$corpus" "$corpus.log"
  return "$status"
}

run_fuzzers() {
  # Only the fuzz targets: the rest of the tree is built and tested above.
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVANTA_FUZZ=ON >/dev/null || return 1
  cmake --build build-fuzz --target script_fuzz json_fuzz dxf_fuzz registry_fuzz || return 1
  echo "--- each target for ${fuzz_seconds}s, two at a time"
  rm -rf build-fuzz/findings
  mkdir -p build-fuzz/findings
  local ok=0 targets=(build-fuzz/bin/*_fuzz) i
  for ((i = 0; i < ${#targets[@]}; i += 2)); do
    local pids=() target
    for target in "${targets[@]:i:2}"; do
      fuzz_one "$target" &
      pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || ok=1; done
    for target in "${targets[@]:i:2}"; do cat "build-fuzz/findings/$(basename "$target").report"; done
  done
  return $ok
}
step "fuzz" run_fuzzers

# The whole run against its yardsticks: figures to read, never a failure (machines are noisy).
echo "=== whole-run benchmark (figures only)"
bash scripts/bench-whole-run.sh build 3 || echo "=== whole-run benchmark: did not finish"

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all test stages passed"
