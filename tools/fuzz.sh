#!/usr/bin/env bash
# Builds the fuzz targets (text decoders, message extraction, the mail body's preparation, FTP
# reply and listing parsers, Telnet negotiation and line splitting) with clang (libFuzzer, ASan and
# UBSan) into build/fuzz and runs each for a bounded time from its seed corpus (fuzz/seeds). Exits
# non-zero on any crash, sanitizer report or failed check; the input that did it is left in
# build/fuzz/artifacts (fuzz/regressions keeps such inputs once mended).
# Usage: tools/fuzz.sh [seconds per target, default 12]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-${ZK_FUZZ_SECONDS:-12}}
out=$root/build/fuzz
cxx=${CXX_FUZZ:-clang++}

if ! command -v "$cxx" >/dev/null; then
  echo "fuzz: $cxx not found" >&2
  exit 1
fi

flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined
       -DZK_BUILDING_LIBRARY -I"$root/include" -I"$root" -I"$root/fuzz")
mkdir -p "$out/obj" "$out/artifacts"

# The library's code, instrumented for coverage once and linked into every target (each takes
# what it uses), so that a new target never needs this list changed.
sources=()
for dir in socket proto ftp mail mail/send mail/receive text telnet nic platform/common platform/linux; do
  sources+=("$root/$dir"/*.cpp)
done
objects=()
for src in "${sources[@]}"; do
  obj=$out/obj/$(echo "${src#$root/}" | tr '/' '_' | sed 's/\.cpp$//').o
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] ||
     [ -n "$(find "$root/include" "$root/platform" "$root/socket" "$root/proto" "$root/text" "$root/mail" "$root/ftp" "$root/telnet" "$root/nic" -name '*.h' -newer "$obj" -print -quit)" ]; then
    "$cxx" "${flags[@]}" -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
  fi
  objects+=("$obj")
done

failed=()
for target_src in "$root"/fuzz/fuzz_*.cpp; do
  name=$(basename "${target_src%.cpp}")
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "$target_src" "${objects[@]}" -lssl -lcrypto -o "$out/$name"
  corpus=$out/corpus/$name
  mkdir -p "$corpus"
  [ -d "$root/fuzz/seeds/$name" ] && cp -n "$root/fuzz/seeds/$name"/* "$corpus"/ 2>/dev/null || true
  # Inputs that once failed (kept by hand, apart from the generated seeds) run every time.
  [ -d "$root/fuzz/regressions/$name" ] && cp -n "$root/fuzz/regressions/$name"/* "$corpus"/ 2>/dev/null || true
  echo "=== $name: ${seconds}s ==="
  if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
      "$out/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
      -artifact_prefix="$out/artifacts/$name-" -print_final_stats=1 "$corpus" >"$out/$name.log" 2>&1; then
    failed+=("$name")
    tail -n 40 "$out/$name.log"
  else
    grep -E '^stat::number_of_executed_units|^Done' "$out/$name.log" | tr '\n' ' '
    echo
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: FAILED: ${failed[*]}"
  exit 1
fi
echo "fuzz: all targets ran clean"
