"""python.py -- the Python binding's declarations: bindings/python/zknet/_native.py, a ctypes module
with the constants, the records as ctypes.Structure classes, the callback type, and every export's
argtypes and restype, loaded from zknet.dll or libzknet.so on first use. The friendly classes
beside it (ftp.py, mail.py, _text.py) are written by hand.
"""
import keyword
import os
import sys

import headers as zkheaders

# What this binding writes, relative to the project's root.
OUTPUT = "bindings/python/zknet/_native.py"

INTEGERS = {"int32_t": "ctypes.c_int32", "uint32_t": "ctypes.c_uint32", "int": "ctypes.c_int",
            "int16_t": "ctypes.c_int16", "uint16_t": "ctypes.c_uint16", "uint8_t": "ctypes.c_uint8",
            "int64_t": "ctypes.c_int64", "zk_wchar_t": "zk_wchar_t", "char": "ctypes.c_char"}

# Exports that take back a text the library allocated: the address itself, never a copy.
RELEASES = {"ZK_SocketDeleteString", "ZK_MailRecvFree"}


def py_name(c_name):
    """A member name Python can write as an attribute: keywords ("from") get a trailing "_"."""
    return c_name + "_" if keyword.iskeyword(c_name) else c_name


class Mapper:
    def __init__(self, records, callbacks):
        self.records = records
        self.callbacks = set(callbacks)

    def param(self, export, base, stars, name):
        if stars == 0 and base in self.callbacks:
            return base
        if stars == 0:
            if base not in INTEGERS or base in ("char", "zk_wchar_t"):
                sys.exit(f"{export}: no ctypes type for the parameter {base} {name}")
            return INTEGERS[base]
        if stars == 1 and base == "char":
            return "ctypes.c_void_p" if export in RELEASES else "ctypes.c_char_p"
        if stars == 1 and base == "zk_wchar_t":
            return "ZK_WTEXT"   # UTF-16 units, 2 bytes everywhere (never c_wchar_p)
        if stars == 1 and base in self.records:
            return f"ctypes.POINTER({base})"
        if stars == 1 and base in ("int32_t", "uint32_t", "uint16_t", "int64_t"):
            return f"ctypes.POINTER({INTEGERS[base]})"
        # Handles, void* and byte buffers: an address (bytes, a ctypes buffer, byref, None).
        return "ctypes.c_void_p"

    def result(self, base, stars):
        if stars:
            # Handles and allocated texts stay addresses: c_char_p would copy and lose the pointer
            # that must be released.
            return "ctypes.c_void_p"
        if base == "void":
            return "None"
        if base not in INTEGERS:
            sys.exit(f"no ctypes type for the result {base}")
        return INTEGERS[base]


def member_type(ctype, name, dims, records):
    if ctype.endswith("*"):
        t = "ctypes.c_void_p"
    elif ctype in INTEGERS:
        t = INTEGERS[ctype]
    elif ctype in records:
        t = ctype
    else:
        sys.exit(f"no ctypes type for the member {ctype} {name}")
    for d in reversed(dims):
        t = f"({t} * {d})"
    return t


def literal(value):
    if value.startswith('"'):
        return value
    return str(int(value, 0)) if not value.lower().startswith("0x") else value


def comment(text, indent=""):
    return [f"{indent}# {l}".rstrip() for l in text.splitlines()]


HEAD = '''"""_native.py -- the declarations of every export of zknet (zknet.dll, libzknet.so) for ctypes:
constants, records, the callback type and each function's argtypes and restype.
Generated from include/zknet/*.h by tools/make-bindings.py; change the headers and re-run it rather
than editing this file.

The library is loaded on the first use of a function (or by load()): the file $ZKNET_LIBRARY names,
else the one beside this package, else the system's search for zknet.dll / libzknet.so. UTF-16 (W)
texts are zk_wchar_t arrays (2 bytes on every system; see _text.py), never c_wchar_p, whose unit is
4 bytes on Linux. Pointer results (handles, allocated texts) come back as int addresses or None.
"""
import ctypes
import os
import sys

# 32-bit Windows calls the exports and the callbacks with stdcall; everything else the C default.
STDCALL = sys.platform == "win32" and ctypes.sizeof(ctypes.c_void_p) == 4
if STDCALL:
    _FUNCTYPE, _LIBRARY = ctypes.WINFUNCTYPE, ctypes.WinDLL
else:
    _FUNCTYPE, _LIBRARY = ctypes.CFUNCTYPE, ctypes.CDLL

LIBRARY_NAME = "zknet.dll" if sys.platform == "win32" else "libzknet.so"

# One UTF-16 code unit, and the parameter type of a UTF-16 text (an array of them, or None).
zk_wchar_t = ctypes.c_uint16
ZK_WTEXT = ctypes.POINTER(zk_wchar_t)
'''

TAIL = '''

_library = None


def library_candidates():
    """Where load() looks, in order; $ZKNET_LIBRARY alone when it is set."""
    if os.environ.get("ZKNET_LIBRARY"):
        return [os.environ["ZKNET_LIBRARY"]]
    out = []
    beside = os.path.join(os.path.dirname(os.path.abspath(__file__)), LIBRARY_NAME)
    if os.path.exists(beside):
        out.append(beside)
    out.append(LIBRARY_NAME)
    return out


def load(path=None):
    """Loads the library (path, else the first of library_candidates() that loads) and declares
    every export on it. Returns the library object; later calls return the same one."""
    global _library
    if _library is not None and path is None:
        return _library
    errors = []
    for candidate in [path] if path else library_candidates():
        try:
            lib = _LIBRARY(candidate)
            break
        except OSError as e:
            errors.append(f"{candidate}: {e}")
    else:
        raise OSError("zknet: cannot load the library (set ZKNET_LIBRARY to its path): " + "; ".join(errors))
    for name, (restype, argtypes) in EXPORTS.items():
        function = getattr(lib, name)
        function.restype = restype
        function.argtypes = argtypes
    _library = lib
    return lib


def __getattr__(name):
    # ZK_ functions resolve on first use, so importing this module never loads the library.
    if name in EXPORTS:
        return getattr(load(), name)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
'''


def generate(headers):
    """{OUTPUT: the module's text}, and the number of exports declared."""
    records = {r[0]: r for h in headers for r in h.records}
    callbacks = [c for h in headers for c in h.callbacks]
    mapper = Mapper(records, [c["name"] for c in callbacks])
    out = HEAD.splitlines()
    out.append("")
    out += zkheaders.constant_lines(headers, "#", lambda name, value: f"{name} = {literal(value)}", 40)
    out.append("")
    for name, (_, members, note) in records.items():
        out += comment(note)
        out.append(f"class {name}(ctypes.Structure):")
        out.append("    _fields_ = [")
        for ctype, member, dims in members:
            out.append(f"        ({py_name(member)!r}, {member_type(ctype, member, dims, records)}),")
        out.append("    ]")
        out.append("")
        out.append("")
    for cb in callbacks:
        out += comment(cb["comment"])
        params = [mapper.param(cb["name"], b, s, n) for b, s, n in cb["params"]]
        names = ", ".join(n for _, _, n in cb["params"])
        out.append(f"# Python: def callback({names}) -> int")
        out.append(f"{cb['name']} = _FUNCTYPE({mapper.result(*cb['result'])}, {', '.join(params)})")
        out.append("")
    out.append("")
    out.append("# Every export: name -> (restype, argtypes), in the headers' order.")
    out.append("EXPORTS = {")
    count = 0
    for h in headers:
        if not any(g[0] == "exports" for g in h.groups):
            continue
        out.append(f"    # ==== {os.path.basename(h.path)}: {h.title}")
        for g in h.groups:
            if g[0] == "section":
                out.append(f"    # ---- {g[1]} ----")
                continue
            for proto in g[1]:
                args = [mapper.param(proto["name"], b, s, n) for b, s, n in proto["params"]]
                names = ", ".join(n for _, _, n in proto["params"])
                out.append(f"    # ({names})")
                out.append(f"    {proto['name']!r}: ({mapper.result(*proto['result'])}, [{', '.join(args)}]),")
                count += 1
    out.append("}")
    out += TAIL.splitlines()
    text = "\n".join(l.rstrip() for l in out) + "\n"
    return {OUTPUT: text}, count
