#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the native library plain, under ASan+UBSan
# and under ThreadSanitizer (the FTP, Telnet, mail and TLS tests, which run threads), and the 64-bit and
# 32-bit Windows DLLs, and runs each build's tests inside a private
# network (the Windows ones under Wine with code page 932). The 32-bit DLL's static checks always
# run; its tests under Wine only where this machine can start a 32-bit program at all. With both
# Windows presets it also makes and checks the release archive (tools/release.sh).
# Exits non-zero if anything fails.
# Usage: tools/test.sh [preset ...]   (default: native native-asan native-tsan win64 win32)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/install-deps.sh || exit 1

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(native native-asan native-tsan win64 win32)

failed=()
digest=""
for preset in "${presets[@]}"; do
  echo "=== $preset: build ==="
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
    failed+=("$preset (build)")
    continue
  fi
  echo "=== $preset: test ==="
  selection=()
  if [ "$preset" = win32 ] && ! bash tools/can-run-32bit.sh; then
    echo "win32 tests skipped: this machine cannot run 32-bit programs; the 64-bit DLL's tests ran under Wine"
    # What needs no Wine still runs: exported names, decoration, imports (and no Wine session).
    selection=(-L exports -FA wine)
  fi
  if ! tools/netns.sh ctest --preset "$preset" -j2 "${selection[@]}"; then
    failed+=("$preset (tests)")
    # The failing cases, gathered where the end of a long log shows them.
    log=build/$preset/Testing/Temporary/LastTest.log
    [ -f "$log" ] && digest+=$(grep -E '^\[  FAILED  \] [^ ]+ \(|: Failure$|^Expected|^ +Which is|^  Actual|^Value of|^ +Actual' -A1 "$log" | head -n 60 | sed "s/^/[$preset] /")$'\n'
  fi
done

# The release archive, once both Windows DLLs are built: made from those builds and checked
# without Wine.
if [[ " ${presets[*]} " == *" win32 "* && " ${presets[*]} " == *" win64 "* &&
      " ${failed[*]} " != *"win32 (build)"* && " ${failed[*]} " != *"win64 (build)"* ]]; then
  echo "=== release archive ==="
  if bash tools/release.sh; then
    # And the check itself refuses broken archives.
    zip=$(ls -t build/release/zknet-*-windows.zip | head -n 1)
    bash tests/release/check-release-faults.sh "$zip" || failed+=("release check")
  else
    failed+=("release")
  fi
fi

if [ -x tools/fuzz.sh ] && [[ " ${presets[*]} " == *" native-asan "* ]]; then
  echo "=== fuzz ==="
  tools/fuzz.sh || failed+=("fuzz")
fi

if [ ${#failed[@]} -gt 0 ]; then
  [ -n "$digest" ] && printf '=== what failed ===\n%s' "$digest"
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all tests passed: ${presets[*]}"
