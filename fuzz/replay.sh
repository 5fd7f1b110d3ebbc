#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset: clang, AddressSanitizer and UBSan) and
# gives each one a short run over its corpus: every seed is replayed first, then the target
# fuzzes on for FUZZ_SECONDS seconds (default 5). New inputs go to a temporary folder; the
# seeds in the repository are never changed. A crash, leak or sanitizer report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-5}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 fuzz/make_seeds.py "$work/seeds"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen

# replay TARGET SEED_FOLDER...: the first corpus folder is a scratch copy that collects
# what the run finds; the seed folders are read only.
replay() {
  local target="$1"
  shift
  mkdir -p "$work/$target"
  local log="$work/$target.log" status=0
  "build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
    -artifact_prefix="$work/$target-" "$work/$target" "$@" >"$log" 2>&1 || status=$?
  if [ "$status" -eq 0 ]; then
    echo "$target: $(grep -m1 -o 'seed corpus: files: [0-9]*' "$log" || echo 'no seeds'), $(grep -m1 -o 'Done [0-9]* runs.*' "$log")"
  else
    echo "$target: FAILED" >&2
    tail -n 60 "$log" >&2
  fi
  return "$status"
}

status=0
replay fuzz_design tests/fixtures/files tests/fixtures/files/damaged || status=1
replay fuzz_bmp "$work/seeds/bmp" || status=1
replay fuzz_pcx tests/fixtures/pictures || status=1
replay fuzz_metafile "$work/seeds/metafile" tests/fixtures/pictures/damaged || status=1
if [ "$status" -ne 0 ]; then
  echo "fuzz: a target failed; its input is in $work (kept)" >&2
  trap - EXIT
fi
exit "$status"
