#!/usr/bin/python3
"""check-python.py -- compares the generated ctypes module bindings/python/zknet/_native.py with the
headers (read here on its own, not by the generator) and exports/zknet.def: every export with its
argument and result widths on x64 and its 32-bit stdcall @n, every record's size and offsets in
both widths, the constants, and the callback type; and that importing it loads no library.

Usage: check-python.py [--root DIR]
"""
import argparse
import ctypes
import importlib.util
import keyword
import os
import re
import sys

sys.dont_write_bytecode = True   # leave no __pycache__ in the source tree

REGENERATE = "/usr/bin/python3 tools/make-bindings.py python"

# C integer types: (size, signed).
INTS = {"int8_t": (1, True), "uint8_t": (1, False), "int16_t": (2, True), "uint16_t": (2, False),
        "int32_t": (4, True), "uint32_t": (4, False), "int64_t": (8, True), "uint64_t": (8, False),
        "int": (4, True), "char": (1, True), "zk_wchar_t": (2, False)}
# ctypes integer type codes; lower case is signed.
CODES = "bBchHiIlLqQ"


def read_headers(include):
    text = ""
    for name in sorted(os.listdir(include)):
        if name.endswith(".h"):
            text += re.sub(r"/\*.*?\*/", lambda m: " " if "\n" not in m.group(0) else "\n",
                           open(os.path.join(include, name), encoding="ascii").read(), flags=re.S) + "\n"
    defines = dict(re.findall(r"^#define\s+((?:ZK|ZKNET)_\w+)\s+(\"[^\"]*\"|-?0[xX][0-9a-fA-F]+|-?\d+)\s*$", text, re.M))
    records = {}
    for body, name in re.findall(r"typedef\s+struct\s+\w+\s*\{(.*?)\}\s*(\w+)\s*;", text, re.S):
        members = []
        for decl in filter(None, (" ".join(d.split()) for d in body.split(";"))):
            m = re.fullmatch(r"(?:const )?(\w+) ?(\**) ?(\w+)((?:\[\d+\])*)", decl)
            members.append((m.group(1), len(m.group(2)), m.group(3), [int(n) for n in re.findall(r"\d+", m.group(4))]))
        records[name] = members
    def params(arglist):
        out = []
        for p in arglist.split(","):
            p = " ".join(p.replace("*", " * ").split())
            if p in ("", "void"):
                continue
            words = [w for w in p.split() if w != "const"]
            out.append((words[0], words.count("*")))
        return out
    callbacks = {}
    for result, name, args in re.findall(r"typedef\s+(\w+)\s*\(\s*ZK_API\s*\*\s*(\w+)\s*\)\s*\(([^)]*)\)", text):
        callbacks[name] = ((result, 0), params(args))
    exports = {}
    for decl in re.findall(r"^ZK_EXPORT\b([^;]*);", text, re.M):
        m = re.fullmatch(r"\s*(?:const\s+)?(\w+)\s*(\**)\s*ZK_API\s+(\w+)\s*\((.*)\)\s*", decl, re.S)
        exports[m.group(3)] = ((m.group(1), len(m.group(2))), params(m.group(4)))
    return defines, records, callbacks, exports


def read_def(path):
    return {n: int(b) for n, b in re.findall(r"^\s+(ZK_\w+)@(\d+)", open(path, encoding="ascii").read(), re.M)}


def c_layout(members, records, pointer):
    """(size, align, [offsets]) of a C record with natural alignment."""
    offset, align, offsets = 0, 1, []
    for base, stars, _, dims in members:
        if stars:
            size = a = pointer
        elif base in records:
            size, a, _ = c_layout(records[base], records, pointer)
        else:
            size = a = INTS[base][0]
        for d in dims:
            size *= d
        offset = (offset + a - 1) // a * a
        offsets.append(offset)
        offset += size
        align = max(align, a)
    return (offset + align - 1) // align * align, align, offsets


def ctypes_layout(t, pointer):
    """(size, align) of a ctypes type as a compiler of the given pointer width lays it out."""
    if issubclass(t, ctypes.Array):
        size, align = ctypes_layout(t._type_, pointer)
        return size * t._length_, align
    if issubclass(t, ctypes.Structure):
        offset, align = 0, 1
        for _, ft in t._fields_:
            size, a = ctypes_layout(ft, pointer)
            offset = (offset + a - 1) // a * a + size
            align = max(align, a)
        return (offset + align - 1) // align * align, align
    if issubclass(t, (ctypes._Pointer, ctypes.c_void_p, ctypes.c_char_p, ctypes._CFuncPtr)):
        return pointer, pointer
    size = ctypes.sizeof(t)
    return size, size


class Checker:
    def __init__(self, native):
        self.n = native
        self.problems = []

    def fail(self, text):
        self.problems.append(text)

    def integer(self, where, t, base):
        code = getattr(t, "_type_", None)
        if not isinstance(code, str) or code not in CODES or ctypes.sizeof(t) != INTS[base][0] or \
                code.islower() != INTS[base][1] and base != "char":
            self.fail(f"{where}: {base} declared as {getattr(t, '__name__', t)}")

    def pointer(self, where, t, base, stars, records, callbacks, result=False):
        name = getattr(t, "__name__", repr(t))
        if stars == 0 and base in callbacks:
            if t is not getattr(self.n, base, None):
                self.fail(f"{where}: {base} declared as {name}")
        elif stars == 0:
            self.integer(where, t, base)
        elif t is ctypes.c_wchar_p or (issubclass(t, ctypes._Pointer) and t._type_ is ctypes.c_wchar):
            self.fail(f"{where}: c_wchar is 4 bytes on Linux; zk_wchar_t is 2")
        elif result:
            if t is not ctypes.c_void_p:
                self.fail(f"{where}: a pointer result must stay an address (c_void_p), not {name}")
        elif stars == 1 and base == "zk_wchar_t":
            if not (issubclass(t, ctypes._Pointer) and ctypes.sizeof(t._type_) == 2):
                self.fail(f"{where}: zk_wchar_t* declared as {name}")
        elif stars == 1 and base in records:
            if not (issubclass(t, ctypes._Pointer) and t._type_ is getattr(self.n, base, None)):
                self.fail(f"{where}: {base}* declared as {name}")
        elif stars == 1 and base in INTS and base not in ("char", "uint8_t") and issubclass(t, ctypes._Pointer):
            self.integer(where + " (pointed to)", t._type_, base)
        elif not (t in (ctypes.c_void_p, ctypes.c_char_p) or issubclass(t, ctypes._Pointer)):
            self.fail(f"{where}: {base}{'*' * stars} declared as {name}")

    def run(self, defines, records, callbacks, exports, stack):
        n = self.n
        for name, value in defines.items():
            want = value.strip('"') if value.startswith('"') else int(value, 0)
            if getattr(n, name, None) != want:
                self.fail(f"constant {name}: {getattr(n, name, 'missing')!r}, header {want!r}")
        for name, members in records.items():
            t = getattr(n, name, None)
            if t is None:
                self.fail(f"record {name} missing")
                continue
            fields = [f for f, _ in t._fields_]
            wanted = [m[2] + "_" if keyword.iskeyword(m[2]) else m[2] for m in members]
            if fields != wanted:
                self.fail(f"record {name}: members {fields}, header {wanted}")
                continue
            size, _, offsets = c_layout(members, records, 8)
            got = [getattr(t, f).offset for f in fields]
            if (ctypes.sizeof(t), got) != (size, offsets):
                self.fail(f"record {name} x64: size {ctypes.sizeof(t)} offsets {got}, C {size} {offsets}")
            for m, (_, ft) in zip(members, t._fields_):
                elem = ft
                while issubclass(elem, ctypes.Array):
                    elem = elem._type_
                if not m[1] and m[0] in INTS:
                    self.integer(f"record {name}.{m[2]}", elem, m[0])
            if ctypes_layout(t, 4)[0] != c_layout(members, records, 4)[0]:
                self.fail(f"record {name} x86: size {ctypes_layout(t, 4)[0]}, C {c_layout(members, records, 4)[0]}")
        for name, (result, params) in callbacks.items():
            t = getattr(n, name, None)
            if t is None or not hasattr(t, "_argtypes_"):
                self.fail(f"callback {name} missing")
                continue
            self.pointer(f"{name} result", t._restype_, *result, records, callbacks)
            if len(t._argtypes_) != len(params):
                self.fail(f"callback {name}: {len(t._argtypes_)} parameters, header {len(params)}")
            for i, (a, (base, stars)) in enumerate(zip(t._argtypes_, params)):
                self.pointer(f"{name} parameter {i + 1}", a, base, stars, records, callbacks)
            if not t._flags_ & ctypes._FUNCFLAG_CDECL:
                self.fail(f"callback {name}: not cdecl outside 32-bit Windows")
        source = open(n.__file__, encoding="utf-8").read()
        if not re.search(r"STDCALL = sys\.platform == \"win32\" and ctypes\.sizeof\(ctypes\.c_void_p\) == 4\n"
                         r"if STDCALL:\n    _FUNCTYPE, _LIBRARY = ctypes\.WINFUNCTYPE, ctypes\.WinDLL\n", source):
            self.fail("32-bit Windows must load with WinDLL and call back with WINFUNCTYPE (stdcall)")
        declared = getattr(n, "EXPORTS", {})
        for name in sorted(set(exports) ^ set(declared)):
            self.fail(f"export {name}: {'missing' if name in exports else 'not in the headers'}")
        for name in sorted(set(exports) ^ set(stack)):
            self.fail(f"export {name}: {'missing from' if name in exports else 'only in'} exports/zknet.def")
        for name, (result, params) in exports.items():
            if name not in declared:
                continue
            restype, argtypes = declared[name]
            if result == ("void", 0):
                if restype is not None:
                    self.fail(f"{name}: void result declared as {restype}")
            else:
                self.pointer(f"{name} result", restype, *result, records, callbacks, result=True)
            if len(argtypes) != len(params):
                self.fail(f"{name}: {len(argtypes)} parameters, header {len(params)}")
                continue
            for i, (a, (base, stars)) in enumerate(zip(argtypes, params)):
                self.pointer(f"{name} parameter {i + 1}", a, base, stars, records, callbacks)
            # 32-bit stdcall: every argument takes 4 bytes of stack, 64-bit integers 8.
            x86 = sum(max(4, ctypes_layout(a, 4)[0]) for a in argtypes)
            if name in stack and x86 != stack[name]:
                self.fail(f"{name}: {x86} bytes of arguments on x86, exports/zknet.def says @{stack[name]}")
        if getattr(n, "_library", "missing") is not None:
            self.fail("importing _native loaded the library; it must load on first use")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(
        os.path.abspath(__file__))))))
    args = ap.parse_args()
    path = os.path.join(args.root, "bindings", "python", "zknet", "_native.py")
    os.environ.pop("ZKNET_LIBRARY", None)
    spec = importlib.util.spec_from_file_location("zknet_native_checked", path)
    native = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(native)
    defines, records, callbacks, exports = read_headers(os.path.join(args.root, "include", "zknet"))
    checker = Checker(native)
    checker.run(defines, records, callbacks, exports, read_def(os.path.join(args.root, "exports", "zknet.def")))
    if checker.problems:
        for p in checker.problems:
            print(f"check-python: {p}", file=sys.stderr)
        print(f"check-python: bindings/python/zknet/_native.py is stale or wrong: regenerate it with\n"
              f"    {REGENERATE}", file=sys.stderr)
        return 1
    print(f"check-python: {len(exports)} exports, {len(records)} records, {len(defines)} constants, "
          f"{len(callbacks)} callback types agree with the headers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
