#!/usr/bin/python3
"""check-dotnet.py -- checks the C# declarations (bindings/dotnet/Zknet.cs) against the C interface
(c_interface.py): every export declared once in NativeMethods, DllImport of "zknet", stdcall,
CharSet.Unicode for a W form, each parameter of a C# type that marshals to the C type (a UTF-16 text
as LPWStr, a narrow one as LPStr or by address, a record by ref, a session as its SafeHandle) as wide
as it on 32- and 64-bit Windows, adding up to the .def's @n; each session's SafeHandle releasing it
with the export that takes only that handle, by IntPtr; every record a Sequential struct lying as C
lays it out; every #define a const of the same value; the progress callback a stdcall delegate.
"""
import os
import re
import sys

sys.dont_write_bytecode = True   # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import c_interface  # noqa: E402


CS_SIZES = {"byte": 1, "sbyte": 1, "short": 2, "ushort": 2, "char": 2, "int": 4, "uint": 4, "long": 8, "ulong": 8}


class CsParam:
    """One C# parameter (or a result, or a field): attributes, ref/out, type, name."""

    def __init__(self, text):
        t = " ".join(text.split())
        self.marshal = None
        m = re.search(r"MarshalAs\(UnmanagedType\.(\w+)(?:,\s*SizeConst\s*=\s*(\d+))?\)", t)
        if m:
            self.marshal = m.group(1)
            self.size_const = int(m.group(2) or 0)
        t = re.sub(r"\[[A-Za-z][^\]]*\]\s*", "", t).strip()
        words = t.split()
        self.byref = words[0] in ("ref", "out")
        if self.byref:
            words = words[1:]
        self.type = words[0]
        self.name = words[1].lstrip("@") if len(words) > 1 else ""
        self.text = text.strip()


def read_cs(path):
    text = open(path, encoding="utf-8").read()
    code = re.sub(r"//[^\n]*", "", text)
    imports = {}
    for m in re.finditer(r"\[DllImport\(([^)]*)\)\]\s*public\s+static\s+extern\s+([\w.]+)\s+(ZK_\w+)\s*"
                         r"\(((?:[^()]|\([^()]*\))*)\)", code):
        params = [CsParam(p) for p in split_params(m.group(4))]
        imports.setdefault(m.group(3), []).append((m.group(1), CsParam(m.group(2) + " result"), params))
    structs = {}
    for m in re.finditer(r"\[StructLayout\(([^)]*)\)\]\s*public\s+struct\s+(\w+)\s*\{(.*?)\}", code, re.S):
        fields = [CsParam(re.sub(r"\bpublic\b", "", f)) for f in m.group(3).split(";") if f.strip()]
        structs[m.group(2)] = (m.group(1), fields)
    consts = {}
    for m in re.finditer(r"public\s+const\s+(\w+)\s+(\w+)\s*=\s*([^;]+);", code):
        v = m.group(3).strip()
        consts[m.group(2)] = v[1:-1] if v.startswith('"') else int(v, 0) if re.fullmatch(r"-?(0x[0-9a-fA-F]+|\d+)", v) else v
    delegates = {}
    for m in re.finditer(r"\[UnmanagedFunctionPointer\(([^)]*)\)\]\s*public\s+delegate\s+(\w+)\s+(\w+)\s*\(([^)]*)\)", code):
        delegates[m.group(3)] = (m.group(1), CsParam(m.group(2) + " result"), [CsParam(p) for p in split_params(m.group(4))])
    handles = {}
    for m in re.finditer(r"public\s+(?:sealed\s+|abstract\s+)?class\s+(\w+)\s*:\s*(\w+)\s*\{(.*?)\n    \}", code, re.S):
        release = re.search(r"bool\s+ReleaseHandle\(\)\s*\{\s*NativeMethods\.(ZK_\w+)\(handle\);", m.group(3))
        handles[m.group(1)] = (m.group(2), release.group(1) if release else None)
    return imports, structs, consts, delegates, handles


def split_params(text):
    """The parameters of a list, split at the commas outside an attribute's brackets."""
    return [p for p in re.split(r",(?![^(\[]*[)\]])", text) if p.strip()]


def is_safehandle(cls, handles):
    seen = set()
    while cls in handles and cls not in seen:
        seen.add(cls)
        cls = handles[cls][0]
    return cls in ("SafeHandle", "SafeHandleZeroOrMinusOneIsInvalid")


def cs_width(p, ptr, handles, delegates):
    """Bytes the marshalled value takes as an argument; None when the type is unknown."""
    if p.byref or p.type.endswith("[]") or p.type in ("IntPtr", "string", "StringBuilder") or p.type in delegates:
        return ptr
    if is_safehandle(p.type, handles):
        return ptr
    return CS_SIZES.get(p.type)


def compatible(c, p, export, ctx):
    """Why the C# parameter p cannot stand for the C declaration c, or None."""
    base, stars = c.base, c.stars
    ci, handles, delegates = ctx
    structs, opaque, callbacks = ci.structs, ci.opaque, ci.callbacks
    if stars == 0:
        if base in callbacks:
            return None if p.type == base and base in delegates else f"must be the delegate {base}"
        want = {"int32_t": ("int",), "int": ("int",), "uint32_t": ("uint", "int"), "uint16_t": ("ushort", "short"),
                "int16_t": ("short",), "uint8_t": ("byte",), "int64_t": ("long",), "void": ("void",)}.get(base, ())
        return None if p.type in want and not p.byref else f"must be {' or '.join(want) or '?'}"
    if base == "zk_wchar_t":
        if p.type == "char[]" or (p.type in ("string", "StringBuilder") and p.marshal == "LPWStr"):
            return None
        return "a UTF-16 text must be [MarshalAs(UnmanagedType.LPWStr)] string or StringBuilder, or char[]"
    if base == "char":
        if p.type in ("IntPtr", "byte[]") or (p.type in ("string", "StringBuilder") and p.marshal == "LPStr"):
            return None
        return "a narrow text must be [MarshalAs(UnmanagedType.LPStr)] string or StringBuilder, byte[] or IntPtr"
    if base in structs:
        return None if p.byref and p.type.split(".")[-1] == base else f"must be ref {base}"
    if base in opaque:
        if p.type == "IntPtr" or is_safehandle(p.type, handles):
            return None
        return "a handle must be IntPtr or a SafeHandle"
    if p.type == "IntPtr":
        return None
    element = p.type[:-2] if p.type.endswith("[]") else p.type if p.byref else None
    if element is not None and (base == "void" or CS_SIZES.get(element) == c_interface.C_INTS.get(base, (0,))[0]):
        return None
    return f"no marshalling to {base}{'*' * stars} known"


def check(root, ci):
    problems = list(ci.problems)
    protos, structs, callbacks, opaque, exports = ci.protos, ci.structs, ci.callbacks, ci.opaque, ci.exports
    cs_path = os.path.join(root, "bindings", "dotnet", "Zknet.cs")
    if not os.path.exists(cs_path):
        return [f"{cs_path} is missing"]
    imports, cs_structs, consts, delegates, handles = read_cs(cs_path)
    ctx = (ci, handles, delegates)

    problems += ci.compare_exports(imports)
    for name, stack in exports.items():
        decls = imports.get(name, [])
        if len(decls) > 1:
            problems.append(f"{name}: declared {len(decls)} times, once wanted")
        if len(decls) != 1 or name not in protos:
            continue
        attrs, result, params = decls[0]
        cresult, cparams = protos[name][:2]
        where = name
        if not re.match(r'\s*(Library|"zknet")\s*,', attrs) or "CallingConvention = CallingConvention.StdCall" not in attrs:
            problems.append(f"{where}: DllImport must name \"zknet\" with CallingConvention.StdCall")
        if name.endswith("W") and "CharSet = CharSet.Unicode" not in attrs:
            problems.append(f"{where}: a W form needs CharSet = CharSet.Unicode")
        if len(params) != len(cparams):
            problems.append(f"{where}: {len(params)} parameters, the header has {len(cparams)}")
            continue
        why = None
        if cresult[1] == 0:
            why = compatible(cresult, result, name, ctx)
        elif cresult[0] in opaque:
            if not (result.type == "IntPtr" or is_safehandle(result.type, handles)):
                why = "a handle must be IntPtr or a SafeHandle"
            elif is_safehandle(result.type, handles):
                # ZK_MailDisconnectPop3 releases what ZK_MailConnectPop3... made, and so on.
                release = handles[result.type][1] or ""
                family, _, kind = release.partition("Disconnect")
                if not release or not name.startswith(family + "Connect" + kind):
                    why = f"{result.type} releases with {release or 'nothing'}, not the match of {name}"
        elif result.type != "IntPtr":
            why = "a pointer the library hands out must be IntPtr"
        if why:
            problems.append(f"{where}: result {result.type}: {why}")
        for c, p in zip(cparams, params):
            why = compatible(c, p, name, ctx)
            if why:
                problems.append(f"{where}: parameter {c[2]} ({p.text}): {why}")
        for ptr in (4, 8):
            for c, p in zip(cparams, params):
                cw, pw = ci.width(c, ptr), cs_width(p, ptr, handles, delegates)
                if cw != pw:
                    problems.append(f"{where}: parameter {c[2]} takes {pw} bytes with {ptr}-byte pointers, "
                                    f"the C type {cw}")
        x86 = sum(max(4, cs_width(p, 4, handles, delegates) or 0) for p in params)
        if x86 != stack:
            problems.append(f"{where}: 32-bit arguments take {x86} bytes, zknet.def says @{stack}")

    # The sessions' SafeHandles: each releases with the export that takes just its handle, by IntPtr.
    for cls, (base, release) in handles.items():
        if release is None:
            continue
        decl = imports.get(release, [(None, None, [])])[0]
        cparams = protos.get(release, (None, []))[1]
        if len(cparams) != 1 or cparams[0][0] not in opaque or protos[release][0][0] != "void":
            problems.append(f"{cls} releases with {release}, which does not release a handle")
        elif len(decl[2]) != 1 or decl[2][0].type != "IntPtr":
            problems.append(f"{release}: the SafeHandle calls it with a raw handle, so it must take IntPtr")

    for name, (cres, cparams, _) in callbacks.items():
        if name not in delegates:
            problems.append(f"the callback type {name} has no delegate")
            continue
        attrs, result, params = delegates[name]
        if "CallingConvention.StdCall" not in attrs:
            problems.append(f"delegate {name}: needs CallingConvention.StdCall")
        if compatible(cres, result, name, ctx) or len(params) != len(cparams) or any(
                ci.width(c, ptr) != cs_width(p, ptr, handles, delegates) for c, p in zip(cparams, params)
                for ptr in (4, 8)):
            problems.append(f"delegate {name}: does not match the header's prototype")

    for name, members in structs.items():
        if name not in cs_structs:
            problems.append(f"record {name}: no struct")
            continue
        layout, fields = cs_structs[name]
        if "LayoutKind.Sequential" not in layout:
            problems.append(f"record {name}: needs LayoutKind.Sequential")
        unicode = "CharSet = CharSet.Unicode" in layout
        for ptr in (4, 8):
            items = []
            for f, m in zip(fields, members):
                if f.marshal == "ByValTStr":
                    unit, count = (2 if unicode else 1), f.size_const
                elif f.marshal == "ByValArray":
                    unit, count = CS_SIZES.get(f.type[:-2], 0), f.size_const
                else:
                    unit, count = (ptr if f.type == "IntPtr" else CS_SIZES.get(f.type, 0)), 1
                if unit != ci.width(m, ptr):
                    problems.append(f"record {name}: field {f.name} has {unit}-byte units, the C member "
                                    f"{ci.width(m, ptr)}")
                items.append((f.name, unit, count, unit or 1))
            problems += ["record " + p for p in ci.compare_record(name, ptr, *c_interface.lay_out(items))]
    return problems + ci.compare_constants(consts)


def main():
    root, ci = c_interface.load(__doc__)
    return c_interface.report("bindings/dotnet/Zknet.cs", "dotnet", check(root, ci),
                              "bindings/dotnet/Zknet.cs matches the headers and zknet.def")


if __name__ == "__main__":
    sys.exit(main())
