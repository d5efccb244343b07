"""c_interface.py -- the C side every binding checker compares its language against, read on its own
(nothing shared with tools/make-bindings.py, so a generator fault shows): the prototypes, records,
handles, callback types and #defines of include/zknet/*.h, the 32-bit stack sizes of
exports/zknet.def, and the records' C layouts for 4- and 8-byte pointers, themselves held to what the
compiler asserts in tests/exports/record_layout.c.
"""
import argparse
import math
import os
import re
from collections import namedtuple

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# C integer types: (size, signed).
C_INTS = {"char": (1, True), "int8_t": (1, True), "uint8_t": (1, False), "int16_t": (2, True),
          "uint16_t": (2, False), "zk_wchar_t": (2, False), "int32_t": (4, True), "uint32_t": (4, False),
          "int": (4, True), "int64_t": (8, True), "uint64_t": (8, False)}

Decl = namedtuple("Decl", "base stars name dims", defaults=((),))   # 'const char *name[4]'
Proto = namedtuple("Proto", "result params header")                  # result: a Decl named "result"


def decl(text, where):
    t = " ".join(re.sub(r"\[.*", "", text, flags=re.S).replace("*", " * ").split())
    words = [w for w in t.split() if w != "const"]
    stars = words.count("*")
    words = [w for w in words if w != "*"]
    if len(words) != 2:
        raise SystemExit(f"{where}: cannot read '{text.strip()}'")
    return Decl(words[0], stars, words[1], tuple(int(d) for d in re.findall(r"\[\s*(\d+)\s*\]", text)))


def lay_out(items):
    """[(name, offset, size)] and the total size of [(name, unit, count, align)] laid out in order, each
    at a multiple of its alignment, the total a multiple of the largest."""
    out, offset, largest = [], 0, 1
    for name, unit, count, align in items:
        offset = (offset + align - 1) // align * align
        out.append((name, offset, unit * count))
        offset += unit * count
        largest = max(largest, align)
    return out, (offset + largest - 1) // largest * largest


def plist(text, where):
    text = text.strip()
    return [] if text in ("", "void") else [decl(p, where) for p in text.split(",")]


class Interface:
    """What the headers, the .def and record_layout.c say; .problems holds where they disagree."""

    def __init__(self, root):
        self.protos, self.structs, self.defines, self.callbacks, self.opaque = {}, {}, {}, {}, set()
        self.problems = []
        include = os.path.join(root, "include", "zknet")
        for fn in sorted(f for f in os.listdir(include) if f.endswith(".h")):
            text = re.sub(r"/\*.*?\*/", " ", open(os.path.join(include, fn), encoding="utf-8").read(), flags=re.S)
            for m in re.finditer(r"ZK_EXPORT\s+([^;]*?)\bZK_API\s+(ZK_\w+)\s*\(([^)]*)\)\s*;", text):
                if m.group(2) in self.protos:
                    self.problems.append(f"{fn}: {m.group(2)} is declared twice")
                self.protos[m.group(2)] = Proto(decl(m.group(1) + " result", m.group(2)),
                                                plist(m.group(3), m.group(2)), fn)
            for m in re.finditer(r"typedef\s+(\w+)\s*\(\s*ZK_API\s*\*\s*(\w+)\s*\)\s*\(([^)]*)\)\s*;", text):
                self.callbacks[m.group(2)] = Proto(Decl(m.group(1), 0, "result"), plist(m.group(3), m.group(2)), fn)
            for m in re.finditer(r"typedef\s+struct\s+\w+\s*\{(.*?)\}\s*(\w+)\s*;", text, re.S):
                self.structs[m.group(2)] = [decl(d, m.group(2)) for d in m.group(1).split(";") if d.strip()]
            self.opaque.update(re.findall(r"typedef\s+struct\s+\w+\s+(\w+)\s*;", text))
            for m in re.finditer(r"^[ \t]*#[ \t]*define[ \t]+((?:ZK|ZKNET)_\w+)[ \t]+(.*?)[ \t]*$", text, re.M):
                v = m.group(2)
                if re.fullmatch(r"-?(0[xX][0-9a-fA-F]+|\d+)[uUlL]*", v):
                    self.defines[m.group(1)] = int(v.rstrip("uUlL"), 0)
                elif re.fullmatch(r'"[^"\\]*"', v):
                    self.defines[m.group(1)] = v[1:-1]
        deffile = open(os.path.join(root, "exports", "zknet.def"), encoding="utf-8").read()
        self.exports = {n: int(b) for n, b in re.findall(r"^\s+(ZK_\w+)@(\d+)", deffile, re.M)}
        for name in sorted(set(self.exports) ^ set(self.protos)):
            self.problems.append(f"{name} is in {'zknet.def' if name in self.exports else 'a header'} only")
        self.facts = self.check_layouts(os.path.join(root, "tests", "exports", "record_layout.c"))

    def width(self, d, ptr):
        """Bytes of one element of a C declaration (a pointer or callback: ptr)."""
        if d.stars or d.base in self.callbacks:
            return ptr
        if d.base not in C_INTS:
            raise SystemExit(f"no C size known for {d.base}")
        return C_INTS[d.base][0]

    def layout(self, name, ptr):
        """[(member, offset, size)] and the size of a record, by C's natural alignment."""
        return lay_out((d.name, self.width(d, ptr), math.prod(d.dims), self.width(d, ptr)) for d in self.structs[name])

    def compare_exports(self, declared):
        """Problems of the set of exports a binding declares."""
        return [f"{n} ({self.protos[n].header if n in self.protos else 'zknet.def'}) is not declared"
                for n in sorted(set(self.exports) - set(declared))] + \
            [f"{n} is declared, but zknet.def does not export it" for n in sorted(set(declared) - set(self.exports))]

    def compare_record(self, name, ptr, layout, size, same=lambda b, c: b.lower() == c.lower()):
        """Problems of a binding's layout ([(member, offset, size)], size) of a record for ptr-byte pointers."""
        want, wsize = self.layout(name, ptr)
        if len(layout) != len(want):
            return [f"{name} has {len(layout)} members, the C record {len(want)}"]
        out = []
        for (bn, bo, bs), (cn, co, cs) in zip(layout, want):
            if not same(bn, cn):
                out.append(f"{name} has {bn} where the C record has {cn}")
            elif (bo, bs) != (co, cs):
                out.append(f"{name}.{bn} lies at {bo} and takes {bs} bytes; in C at {co}, {cs} bytes "
                           f"(pointers of {ptr} bytes)")
        if size != wsize:
            out.append(f"{name} is {size} bytes, the C record {wsize} (pointers of {ptr} bytes)")
        return out

    def compare_constants(self, got):
        """Problems of a binding's constants {name: value}: every #define with its value, none left over."""
        return [f"the constant {n} is {got[n] if n in got else 'missing'}, {v!r} in the headers"
                for n, v in self.defines.items() if got.get(n) != v] + \
            [f"the constant {n} is no longer defined by the headers"
             for n in got if re.match(r"ZK(NET)?_", n) and n not in self.defines]

    def check_layouts(self, path):
        """The layouts computed here must be those the C compiler asserts in record_layout.c."""
        text = re.sub(r"/\*.*?\*/", " ", open(path, encoding="utf-8").read(), flags=re.S)
        facts = 0
        for m in re.finditer(r"ZK_CHECK\((.*?)\);", text):
            cond = " ".join(m.group(1).split())
            off = re.fullmatch(r"offsetof\((\w+), (\w+)\) == (.+)", cond)
            size = re.fullmatch(r"sizeof\((\w+)\) == (.+)", cond)
            if not off and not (size and size.group(1) in self.structs):
                continue
            struct, member, expr = off.groups() if off else (size.group(1), None, size.group(2))
            if struct not in self.structs:
                self.problems.append(f"record_layout.c checks {struct}, which no header defines")
                continue
            for ptr in (4, 8):
                e = re.sub(r"\(size_t\)", "", expr.replace("ZK_PTR", str(ptr)))
                if not re.fullmatch(r"[\d\s+*()-]+", e):
                    raise SystemExit(f"cannot evaluate '{expr}' from record_layout.c")
                layout, total = self.layout(struct, ptr)
                got = total if member is None else {n: o for n, o, _ in layout}.get(member)
                if got != eval(e, {"__builtins__": {}}):
                    self.problems.append(f"the C layout read here disagrees with record_layout.c: {cond} "
                                         f"(pointers of {ptr} bytes: {got}); the checker is wrong")
            facts += 1
        return facts


def load(description):
    """The --root argument and the C interface under it."""
    ap = argparse.ArgumentParser(description=description.split("\n\n")[0])
    ap.add_argument("--root", default=ROOT)
    root = ap.parse_args().root
    return root, Interface(root)


def report(binding, language, problems, summary, faults=(), labels=()):
    """Prints each problem once (the same fault for several targets once), with the command that
    regenerates the binding when it disagrees with the C side; the exit status."""
    seen = set()
    for p in list(problems) + list(faults):
        key = p
        for label in labels:
            key = key.replace(label + ": ", "")
        if key not in seen:
            seen.add(key)
            print(p)
    if problems:
        print(f"{binding} does not match include/zknet/*.h and exports/zknet.def: "
              f"re-run `/usr/bin/python3 tools/make-bindings.py {language}` and commit {binding}")
    if problems or faults:
        return 1
    print(summary)
    return 0
