#!/usr/bin/env bash
# run-dotnet.sh -- compiles bindings/dotnet/Zknet.cs with the test program as C# 5 (what Windows
# PowerShell's Add-Type takes) and runs it under Mono against the library just built.
# Usage: run-dotnet.sh SOURCE_ROOT LIBZKNET_SO WORK_FOLDER
set -euo pipefail
root=$1 library=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
mcs -langversion:5 -warnaserror -out:"$work/ZknetTest.exe" \
    "$root/bindings/dotnet/Zknet.cs" "$root/tests/bindings/dotnet/ZknetTest.cs"
# DllImport("zknet") finds libzknet.so on the library path, as .NET does.
LD_LIBRARY_PATH="$(dirname "$library")" timeout 300 mono "$work/ZknetTest.exe" "$work"
