#!/usr/bin/python3
"""make-bindings.py -- writes the language bindings of zknet from its public headers
(include/zknet/*.h): bindings/vba/zknet.bas (VBA and VB6), and beside it every other language whose
generator tools/bindings/ holds. Each binding has a checker test that reads the headers on its own
and fails while the committed binding is stale.

Usage: /usr/bin/python3 tools/make-bindings.py [--include DIR] [--root DIR] [LANGUAGE ...]
  --include  the headers (default: include/zknet of this tree)
  --root     where the bindings/ tree is written (default: this tree)
  LANGUAGE   vba, dotnet, python, pascal (default: every one there is)
Re-run it whenever a header changes, and commit what it writes.
"""
import argparse
import importlib
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
LANGUAGES = ["vba", "dotnet", "python", "pascal"]

sys.path.insert(0, os.path.join(HERE, "bindings"))
import headers  # noqa: E402


def available():
    return [l for l in LANGUAGES if os.path.exists(os.path.join(HERE, "bindings", l + ".py"))]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--include", default=os.path.join(ROOT, "include", "zknet"))
    ap.add_argument("--root", default=ROOT)
    ap.add_argument("languages", nargs="*", metavar="LANGUAGE")
    args = ap.parse_args()
    unknown = [l for l in args.languages if l not in available()]
    if unknown:
        ap.error(f"no generator for {', '.join(unknown)} (there are: {', '.join(available())})")
    parsed = headers.read(args.include)
    for language in args.languages or available():
        files, exports = importlib.import_module(language).generate(parsed)
        for rel, text in files.items():
            path = os.path.join(args.root, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8", newline="") as f:
                f.write(text)
            print(f"wrote {rel}: {exports} exports")


if __name__ == "__main__":
    main()
