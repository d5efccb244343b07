#!/usr/bin/python3
"""check-pascal.py -- checks the Delphi / Free Pascal unit (bindings/pascal/zknet.pas) against the C
interface (c_interface.py), its {$IFDEF}s evaluated per target (Delphi and Free Pascal on 32-bit
Windows, Delphi on 64-bit Windows, Free Pascal on 64- and 32-bit Linux): every export declared once
from ZknetLib under its own name, stdcall on Windows and cdecl elsewhere, each parameter of the C
type's width and kind (a zk_wchar_t* a PWideChar, a char* a PAnsiChar, a record's or handle's address
a pointer to that record), adding up to the .def's @n on 32 bits; every record lying as C lays it
out; every #define a constant of the same value. The unit, the example program and the README's
example must compile (fpc -Mdelphi, without linking).
"""
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True   # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import c_interface  # noqa: E402

# What each C element type is called on the Pascal side (pointers are compared by what they point to).
C_TO_PASCAL = {"char": "ansichar", "zk_wchar_t": "widechar", "uint8_t": "byte", "uint16_t": "word",
               "int16_t": "int16", "int32_t": "int32", "int": "int32", "uint32_t": "uint32", "int64_t": "int64",
               "void": "void"}


class Target:
    def __init__(self, label, symbols, ptr, convention):
        self.label, self.symbols, self.ptr, self.convention = label, symbols, ptr, convention
        self.fpc = "FPC" in symbols


TARGETS = [
    Target("Delphi, 32-bit Windows", {"MSWINDOWS", "WIN32", "CPUX86"}, 4, "stdcall"),
    Target("Free Pascal, 32-bit Windows", {"FPC", "MSWINDOWS", "WINDOWS", "WIN32", "CPU386", "CPUI386"}, 4, "stdcall"),
    Target("Delphi, 64-bit Windows", {"MSWINDOWS", "WIN64", "CPUX64"}, 8, None),   # one convention there
    Target("Free Pascal, 64-bit Linux", {"FPC", "UNIX", "LINUX", "CPUX86_64", "CPU64"}, 8, "cdecl"),
    Target("Free Pascal, 32-bit Linux", {"FPC", "UNIX", "LINUX", "CPU386", "CPUI386", "CPU32"}, 4, "cdecl"),
]
LIBRARY = {True: "zknet.dll", False: "zknet"}   # by MSWINDOWS, for Free Pascal; Delphi on Linux is not checked

# Pascal type -> (size or "ptr", what it is): ("int", signed) or ("ptr", pointee, stars).
BUILTIN = {"int32": (4, "int32"), "integer": (4, "int32"), "longint": (4, "int32"),
           "uint32": (4, "uint32"), "cardinal": (4, "uint32"), "longword": (4, "uint32"),
           "int16": (2, "int16"), "smallint": (2, "int16"), "word": (2, "word"), "uint16": (2, "word"),
           "byte": (1, "byte"), "uint8": (1, "byte"), "int64": (8, "int64"),
           "ansichar": (1, "ansichar"), "widechar": (2, "widechar")}
BUILTIN_POINTERS = {"pointer": ("void", 1), "ppointer": ("void", 2), "pansichar": ("ansichar", 1),
                    "pwidechar": ("widechar", 1), "pbyte": ("byte", 1), "pword": ("word", 1),
                    "pinteger": ("int32", 1), "pint32": ("int32", 1), "pcardinal": ("uint32", 1),
                    "puint32": ("uint32", 1)}


def active_text(source, target):
    """The unit with comments removed and the conditional directives evaluated for the target;
    the other directives are collected."""
    tokens = re.finditer(r"\{\$(\w+)\s*([^}]*)\}|\{[^}]*\}|\(\*.*?\*\)|//[^\n]*|'(?:[^']|'')*'|[^{(/']+|.", source, re.S)
    out, stack, directives = [], [], []
    for m in tokens:
        t = m.group(0)
        if m.group(1):
            d, arg = m.group(1).upper(), m.group(2).strip().upper()
            if d in ("IFDEF", "IFNDEF"):
                stack.append([(arg in target.symbols) == (d == "IFDEF"), False])
                stack[-1][1] = stack[-1][0]
            elif d == "ELSE":
                stack[-1][0] = not stack[-1][1]
            elif d == "ENDIF":
                stack.pop()
            elif d in ("IF", "IFEND", "ELSEIF"):
                raise SystemExit(f"zknet.pas: this checker does not evaluate {{${d}}}")
            elif all(s[0] for s in stack):
                directives.append((d, arg))
            continue
        if t.startswith(("{", "(*", "//")):
            out.append(" ")
        elif all(s[0] for s in stack):
            out.append(t)
    if stack:
        raise SystemExit("zknet.pas: an {$IFDEF} without {$ENDIF}")
    return "".join(out), directives


class Unit:
    def __init__(self, text):
        self.routines, self.consts, self.records, self.pointers, self.procs, self.opaque = {}, {}, {}, {}, {}, set()
        interface = re.split(r"\bimplementation\b", text, flags=re.I)[0]
        for m in re.finditer(r"\b(function|procedure)\s+(\w+)\s*(?:\(([^)]*)\))?\s*(?::\s*(\w+))?\s*;\s*(\w+)\s*;"
                             r"\s*external\s+(\w+)\s+name\s+'(\w+)'\s*;", interface, re.I):
            name = m.group(2)
            entry = {"kind": m.group(1).lower(), "params": params(m.group(3) or ""), "result": m.group(4),
                     "convention": m.group(5).lower(), "lib": m.group(6), "symbol": m.group(7)}
            self.routines.setdefault(name, []).append(entry)
        self.unbound = [m.group(1) for m in re.finditer(r"^\s*(?:function|procedure)\s+(ZK_\w+)", interface, re.M | re.I)
                        if m.group(1) not in self.routines]
        for m in re.finditer(r"^\s*(\w+)\s*=\s*('(?:[^']|'')*'|\$[0-9A-Fa-f]+|-?\d+)\s*;", interface, re.M):
            v = m.group(2)
            value = v[1:-1].replace("''", "'") if v.startswith("'") else int(v[1:], 16) if v.startswith("$") else int(v)
            self.consts.setdefault(m.group(1).lower(), []).append(value)
        for m in re.finditer(r"\b(\w+)\s*=\s*(packed\s+)?record\b(.*?)\bend\s*;", interface, re.S | re.I):
            fields = []
            for decl in filter(None, (" ".join(d.split()) for d in m.group(3).split(";"))):
                fm = re.fullmatch(r"(\w+)\s*:\s*(?:array\s*\[([^\]]*)\]\s*of\s+)?(\w+)", decl, re.I)
                if not fm:
                    raise SystemExit(f"zknet.pas: cannot read the field '{decl}' of {m.group(1)}")
                dims = [int(b) - int(a) + 1 for a, b in re.findall(r"(-?\d+)\s*\.\.\s*(-?\d+)", fm.group(2) or "")]
                fields.append((fm.group(1), fm.group(3), dims))
            if fields:
                self.records[m.group(1).lower()] = (m.group(1), fields, bool(m.group(2)))
            else:
                self.opaque.add(m.group(1).lower())
        for m in re.finditer(r"\b(\w+)\s*=\s*\^\s*(\w+)\s*;", interface):
            self.pointers[m.group(1).lower()] = m.group(2).lower()
        for m in re.finditer(r"\b(\w+)\s*=\s*(function|procedure)\s*\(([^)]*)\)\s*(?::\s*(\w+))?\s*;\s*(\w+)\s*;",
                             interface, re.I):
            self.procs[m.group(1).lower()] = {"params": params(m.group(3)), "result": m.group(4),
                                              "convention": m.group(5).lower()}

    def resolve(self, ptype):
        """What a Pascal type is: (element, stars) with element a canonical name."""
        t = ptype.lower()
        if t in BUILTIN:
            return BUILTIN[t][1], 0
        if t in BUILTIN_POINTERS:
            return BUILTIN_POINTERS[t]
        if t in self.pointers:
            element, stars = self.resolve(self.pointers[t])
            return element, stars + 1
        if t in self.records or t in self.opaque or t in self.procs:
            return "record " + t, 0
        return "unknown " + t, 0

    def size(self, ptype, ptr):
        element, stars = self.resolve(ptype)
        if stars or element.startswith("record ") and element[7:] in self.procs:
            return ptr
        for size, canon in BUILTIN.values():
            if canon == element:
                return size
        return None


def params(text):
    out = []
    for group in filter(None, (g.strip() for g in text.split(";"))):
        m = re.fullmatch(r"(?:(const|var|out)\s+)?([\w\s,]+?)\s*:\s*(\w+)", group, re.I)
        if not m:
            raise SystemExit(f"zknet.pas: cannot read the parameters '{group}'")
        for name in m.group(2).split(","):
            out.append((name.strip(), m.group(3), (m.group(1) or "").lower()))
    return out


def expected(d, c):
    """The canonical (element, stars) a C declaration must resolve to in Pascal."""
    if d.base in c.structs or d.base in c.opaque or d.base in c.callbacks:
        return "record t" + d.base.lower(), d.stars
    return C_TO_PASCAL.get(d.base, "unknown " + d.base), d.stars


def pascal_layout(unit, fields, packed, ptr):
    sizes = [unit.size(ftype, ptr) for _, ftype, _ in fields]
    if None in sizes:
        return None, f"no size known for {fields[sizes.index(None)][1]}"
    return c_interface.lay_out((name, size, math.prod(dims), 1 if packed else size)
                               for (name, _, dims), size in zip(fields, sizes))


def same_name(pascal, c):
    return pascal.lower() in (c.lower(), c.lower() + "_")


def check_signature(label, entry, proto, c, target, unit, problems):
    c_params = proto.params
    if len(entry["params"]) != len(c_params):
        problems.append(f"{label} takes {len(c_params)} parameters in C, the unit declares {len(entry['params'])}")
        return
    for i, ((pname, ptype, mode), cd) in enumerate(zip(entry["params"], c_params), 1):
        cbase, cstars, cname = cd[:3]
        want = expected(cd, c)
        got = unit.resolve(ptype)
        if mode:
            problems.append(f"{label}: parameter {i} ({pname}) is '{mode}', which passes an address Delphi "
                            f"and Free Pascal choose; declare the pointer type")
        if got != want:
            hint = " (a W text is UTF-16: PWideChar)" if cbase == "zk_wchar_t" else ""
            problems.append(f"{label}: parameter {i} ({cname}, {cbase}{'*' * cstars}) is declared {pname}: {ptype}, "
                            f"which is {got[0]}{'^' * got[1]}{hint}")
        elif not same_name(pname, cname):
            problems.append(f"{label}: parameter {i} is {pname}, called {cname} in C")
    c_result = proto.result
    want = None if c_result[:2] == ("void", 0) else expected(c_result, c)
    if want is None and (entry.get("kind") == "function" or entry["result"]):
        problems.append(f"{label} returns nothing in C: a procedure")
    elif want is not None and (not entry["result"] or unit.resolve(entry["result"]) != want):
        problems.append(f"{label} returns {c_result[0]}{'*' * c_result[1]} in C, declared {entry['result']}")
    if target.convention and entry["convention"] != target.convention:
        problems.append(f"{label} is {entry['convention']}, must be {target.convention} ({target.label})")


def check_target(target, source, c, problems):
    protos, structs, opaque, callbacks, exports = c.protos, c.structs, c.opaque, c.callbacks, c.exports
    text, directives = active_text(source, target)
    unit = Unit(text)
    t = target.label
    wanted_align = ("PACKRECORDS", "C") if target.fpc else ("ALIGN", "8")
    if wanted_align not in directives:
        problems.append(f"{t}: the unit must set {{${' '.join(wanted_align)}}} so that records lie as C lays them out")
    if target.fpc and ("MODE", "DELPHI") not in directives:
        problems.append(f"{t}: the unit must set {{$MODE DELPHI}} for Free Pascal")
    lib = unit.consts.get("zknetlib", [None])
    if target.fpc or "MSWINDOWS" in target.symbols:
        if lib != [LIBRARY["MSWINDOWS" in target.symbols]]:
            problems.append(f"{t}: ZknetLib is {lib}, must be '{LIBRARY['MSWINDOWS' in target.symbols]}'")
    for name in unit.unbound:
        problems.append(f"{t}: {name} is declared without 'stdcall/cdecl; external ZknetLib name ...'")
    problems += [f"{t}: {p}" for p in c.compare_exports(n for n in unit.routines if n.startswith("ZK_"))]
    for name, entries in sorted(unit.routines.items()):
        if len(entries) > 1:
            problems.append(f"{t}: {name} is declared {len(entries)} times")
        e = entries[0]
        if name not in exports:
            continue
        if e["lib"] != "ZknetLib" or e["symbol"] != name:
            problems.append(f"{t}: {name} must be external ZknetLib name '{name}'")
        if name not in protos:
            continue
        check_signature(f"{t}: {name}", e, protos[name], c, target, unit, problems)
        if target.ptr == 4:
            stack = sum((unit.size(p[1], 4) or 4) + 3 & ~3 for p in e["params"])
            if stack != exports[name]:
                problems.append(f"{t}: {name} passes {stack} bytes on the stack, zknet.def says @{exports[name]}")
    for cname, cb in callbacks.items():
        proc = unit.procs.get("t" + cname.lower())
        if proc is None:
            problems.append(f"{t}: the callback type {cname} ({cb.header}) has no T{cname}")
        else:
            check_signature(f"{t}: T{cname}", proc, cb, c, target, unit, problems)
    for cname in sorted(opaque):
        if unit.resolve("P" + cname) != ("record t" + cname.lower(), 1):
            problems.append(f"{t}: the handle {cname} needs P{cname} = ^T{cname}")
    for sname, members in structs.items():
        rec = unit.records.get("t" + sname.lower())
        if rec is None:
            problems.append(f"{t}: the record {sname} has no T{sname}")
            continue
        layout, size = pascal_layout(unit, rec[1], rec[2], target.ptr)
        if layout is None:
            problems.append(f"{t}: T{sname}: {size}")
            continue
        problems += [f"{t}: T{p}" for p in c.compare_record(sname, target.ptr, layout, size, same_name)]
        for (pn, ptype, dims), member in zip(rec[1], members):
            if unit.resolve(ptype) != expected(member, c) or tuple(dims) != member.dims:
                problems.append(f"{t}: T{sname}.{pn} is declared {ptype} {dims or ''}, "
                                f"in C {member.base}{'*' * member.stars} {member.dims or ''}")
    problems += [f"{t}: the constant {n} is defined {len(v)} times" for n, v in unit.consts.items() if len(v) > 1]
    problems += [f"{t}: {p}" for p in c.compare_constants({n.upper(): v[0] for n, v in unit.consts.items()})]
    return unit

def fpc(args, cwd):
    return subprocess.run(["fpc", "-Mdelphi", "-vew", *args], cwd=cwd, capture_output=True, text=True, timeout=300)


def main():
    root, c = c_interface.load(__doc__)
    pas = os.path.join(root, "bindings", "pascal", "zknet.pas")
    problems, faults = list(c.problems), []   # the unit against the C interface; what else fails to compile
    if not os.path.exists(pas):
        return c_interface.report("bindings/pascal/zknet.pas", "pascal", [f"{pas} is missing"], "")
    source = open(pas, encoding="ascii", errors="replace").read()
    for target in TARGETS:
        check_target(target, source, c, problems)
    if not shutil.which("fpc"):
        faults.append("fpc is missing (Debian's fp-compiler: tools/install-deps.sh)")
    else:
        with tempfile.TemporaryDirectory() as work:
            shutil.copy(pas, work)
            r = fpc(["zknet.pas"], work)
            if r.returncode != 0:
                problems.append("fpc -Mdelphi does not compile zknet.pas:\n" + r.stdout[-3000:])
            # The example, and the README's as a reader would paste it into a program.
            example = os.path.join(root, "bindings", "pascal", "example.dpr")
            readme = open(os.path.join(root, "README.md"), encoding="utf-8").read()
            snippet = re.search(r"^## Calling it from Delphi.*?^```pascal\n(.*?)^```$", readme, re.S | re.M)
            programs = [("example.dpr", open(example).read() if os.path.exists(example) else None),
                        ("readme.dpr", "program readme;\n" + snippet.group(1) if snippet else None)]
            for name, text in programs if r.returncode == 0 else ():
                if text is None:
                    faults.append(f"{name}: bindings/pascal/example.dpr or README.md's Pascal example is missing")
                    continue
                with open(os.path.join(work, name), "w") as f:
                    f.write(text)
                r = fpc(["-Cn", name], work)
                if r.returncode != 0:
                    faults.append(f"fpc -Mdelphi does not compile {name}:\n" + r.stdout[-3000:])
    return c_interface.report(
        "bindings/pascal/zknet.pas", "pascal", problems,
        f"zknet.pas: {len(c.exports)} exports, {len(c.structs)} records ({c.facts} layout facts of record_layout.c "
        f"reproduced), {len(c.defines)} constants, {len(c.callbacks)} callback type, "
        f"checked for {'; '.join(t.label for t in TARGETS)}", faults, [t.label for t in TARGETS])


if __name__ == "__main__":
    sys.exit(main())
