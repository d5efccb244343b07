#!/usr/bin/env bash
# run-python.sh -- installs bindings/python into a throwaway venv the offline way (Debian's
# setuptools, no index) and runs the pytest tests with it against the given library.
# Usage: run-python.sh SOURCE_DIR LIBRARY
set -euo pipefail
source_dir=${1:?usage: run-python.sh SOURCE_DIR LIBRARY}
export ZKNET_LIBRARY=${2:?usage: run-python.sh SOURCE_DIR LIBRARY}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 -m venv --system-site-packages "$work/venv"
# A copy, so that the build leaves nothing in the source tree.
cp -r "$source_dir/bindings/python" "$work/src"
"$work/venv/bin/pip" install --quiet --no-index --no-build-isolation "$work/src"
cd "$work"
"$work/venv/bin/python" -m pytest -p no:cacheprovider -v "$source_dir/tests/bindings/python"
