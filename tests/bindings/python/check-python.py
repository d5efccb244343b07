#!/usr/bin/python3
"""check-python.py -- compares the generated ctypes module bindings/python/zknet/_native.py with the
C interface (c_interface.py): every export with its argument and result widths on x64 and its 32-bit
stdcall @n, every record's size and offsets in both widths, the constants, and the callback type; and
that importing it loads no library.
"""
import ctypes
import importlib.util
import keyword
import os
import re
import sys

sys.dont_write_bytecode = True   # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import c_interface  # noqa: E402

INTS = c_interface.C_INTS
# ctypes integer type codes; lower case is signed.
CODES = "bBchHiIlLqQ"


def ctypes_layout(t, pointer):
    """(size, align) of a ctypes type as a compiler of the given pointer width lays it out."""
    if issubclass(t, ctypes.Array):
        size, align = ctypes_layout(t._type_, pointer)
        return size * t._length_, align
    if issubclass(t, (ctypes._Pointer, ctypes.c_void_p, ctypes.c_char_p, ctypes._CFuncPtr)):
        return pointer, pointer
    size = ctypes.sizeof(t)
    return size, size


def record_layout(t, pointer):
    """[(member, offset, size)] and the size of a ctypes Structure for the given pointer width."""
    return c_interface.lay_out((f, *ctypes_layout(ft, pointer)[:1], 1, ctypes_layout(ft, pointer)[1])
                               for f, ft in t._fields_)


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

    def pointer(self, where, t, d, ci, result=False):
        base, stars, records, callbacks = d.base, d.stars, ci.structs, ci.callbacks
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

    def run(self, ci):
        n, records, stack = self.n, ci.structs, ci.exports
        self.problems += ci.compare_constants({k: v for k, v in vars(n).items() if isinstance(v, (int, str))})
        for name, members in records.items():
            t = getattr(n, name, None)
            if t is None:
                self.fail(f"record {name} missing")
                continue
            # x64 as ctypes lays it out here, x86 as a 32-bit compiler would.
            x64 = [(f, getattr(t, f).offset, getattr(t, f).size) for f, _ in t._fields_], ctypes.sizeof(t)
            for ptr, layout in ((4, record_layout(t, 4)), (8, x64)):
                self.problems += ["record " + p for p in ci.compare_record(
                    name, ptr, *layout, lambda f, c: f == (c + "_" if keyword.iskeyword(c) else c))]
            for m, (_, ft) in zip(members, t._fields_):
                elem = ft
                while issubclass(elem, ctypes.Array):
                    elem = elem._type_
                if not m.stars and m.base in INTS:
                    self.integer(f"record {name}.{m.name}", elem, m.base)
        for name, (result, params, _) in ci.callbacks.items():
            t = getattr(n, name, None)
            if t is None or not hasattr(t, "_argtypes_"):
                self.fail(f"callback {name} missing")
                continue
            self.pointer(f"{name} result", t._restype_, result, ci)
            if len(t._argtypes_) != len(params):
                self.fail(f"callback {name}: {len(t._argtypes_)} parameters, header {len(params)}")
            for i, (a, d) in enumerate(zip(t._argtypes_, params)):
                self.pointer(f"{name} parameter {i + 1}", a, d, ci)
            if not t._flags_ & ctypes._FUNCFLAG_CDECL:
                self.fail(f"callback {name}: not cdecl outside 32-bit Windows")
        source = open(n.__file__, encoding="utf-8").read()
        if not re.search(r"STDCALL = sys\.platform == \"win32\" and ctypes\.sizeof\(ctypes\.c_void_p\) == 4\n"
                         r"if STDCALL:\n    _FUNCTYPE, _LIBRARY = ctypes\.WINFUNCTYPE, ctypes\.WinDLL\n", source):
            self.fail("32-bit Windows must load with WinDLL and call back with WINFUNCTYPE (stdcall)")
        declared = getattr(n, "EXPORTS", {})
        self.problems += ci.compare_exports(declared)
        for name, (result, params, _) in ci.protos.items():
            if name not in declared:
                continue
            restype, argtypes = declared[name]
            if result[:2] == ("void", 0):
                if restype is not None:
                    self.fail(f"{name}: void result declared as {restype}")
            else:
                self.pointer(f"{name} result", restype, result, ci, result=True)
            if len(argtypes) != len(params):
                self.fail(f"{name}: {len(argtypes)} parameters, header {len(params)}")
                continue
            for i, (a, d) in enumerate(zip(argtypes, params)):
                self.pointer(f"{name} parameter {i + 1}", a, d, ci)
            # 32-bit stdcall: every argument takes 4 bytes of stack, 64-bit integers 8.
            x86 = sum(max(4, ctypes_layout(a, 4)[0]) for a in argtypes)
            if name in stack and x86 != stack[name]:
                self.fail(f"{name}: {x86} bytes of arguments on x86, exports/zknet.def says @{stack[name]}")
        if getattr(n, "_library", "missing") is not None:
            self.fail("importing _native loaded the library; it must load on first use")


def main():
    root, ci = c_interface.load(__doc__)
    os.environ.pop("ZKNET_LIBRARY", None)
    spec = importlib.util.spec_from_file_location(
        "zknet_native_checked", os.path.join(root, "bindings", "python", "zknet", "_native.py"))
    native = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(native)
    checker = Checker(native)
    checker.run(ci)
    return c_interface.report("bindings/python/zknet/_native.py", "python", ci.problems + checker.problems,
                              f"check-python: {len(ci.exports)} exports, {len(ci.structs)} records, "
                              f"{len(ci.defines)} constants, {len(ci.callbacks)} callback types agree with the headers")


if __name__ == "__main__":
    sys.exit(main())
