#!/usr/bin/python3
"""run-pascal.py -- compiles the Pascal example and test program (fpc -Mdelphi) against the built
libzknet.so and runs them against the test servers: zknet_run.dpr's checks, then the bytes that
came back under a Japanese name compared with what was sent, then the example's FTP and mail commands.

Usage: run-pascal.py ROOT LIBRARY WORK   (LIBRARY: the built libzknet.so)
"""
import os
import subprocess
import sys

UPLOAD = "\u9001\u4fe1 \u30c7\u30fc\u30bf.bin"
DOWNLOAD = "\u53d7\u4fe1.bin"


def run(args, env=None, cwd=None):
    r = subprocess.run(args, env=env, cwd=cwd, capture_output=True, text=True, timeout=300)
    print(f"$ {' '.join(args)}\n{r.stdout}{r.stderr}", end="")
    return r.returncode


def main(root, library, work):
    libdir = os.path.dirname(os.path.abspath(library))
    os.makedirs(os.path.join(work, "units"), exist_ok=True)
    for program in ("bindings/pascal/example.dpr", "tests/bindings/pascal/zknet_run.dpr"):
        if run(["fpc", "-Mdelphi", "-vew", f"-Fu{root}/bindings/pascal", f"-Fl{libdir}", f"-FU{work}/units",
                f"-FE{work}", os.path.join(root, program)]) != 0:
            print(f"FAILED: fpc -Mdelphi does not compile {program}")
            return 1
    env = dict(os.environ, LD_LIBRARY_PATH=libdir)
    # Every byte value, line ends of each kind, a few kilobytes.
    content = bytes(range(256)) * 40 + b"\r\n\n\r\x00\x1a" * 100
    files = os.path.join(work, "files")
    os.makedirs(files, exist_ok=True)
    for name in os.listdir(files):
        os.remove(os.path.join(files, name))
    with open(os.path.join(files, UPLOAD), "wb") as f:
        f.write(content)
    tag = f"zk-pascal-{os.getpid()}"
    failed = run([os.path.join(work, "zknet_run"), files, tag, str(len(content))], env) != 0

    def same(path, what):
        data = open(path, "rb").read() if os.path.exists(path) else None
        if data != content:
            print(f"FAILED {what}: {path} " + ("is missing" if data is None else f"holds {len(data)} other bytes"))
            return False
        print(f"ok {what}: {len(content)} bytes alike")
        return True

    failed |= not same(os.path.join(files, DOWNLOAD), "the download")

    if run([os.path.join(work, "example"), "ftp", "127.0.0.1", "2121", "zkftp", "zkftp-pass",
            os.path.join(files, UPLOAD), f"pascal-{tag}/example.bin"], env) != 0:
        failed = True
    failed |= not same(os.path.join(files, UPLOAD + ".back"), "the example's download")
    if run([os.path.join(work, "example"), "mail", "127.0.0.1", "2525", "2110", "zkmail", "zkmail-pass",
            f"<{tag}-example@zknet-test>", "<zkmail@zknet-test>"], env) != 0:
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
