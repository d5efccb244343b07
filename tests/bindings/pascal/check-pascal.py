#!/usr/bin/python3
"""check-pascal.py -- checks the Delphi / Free Pascal unit (bindings/pascal/zknet.pas) against the C
interface.

The unit is read as each compiler would read it, its {$IFDEF}s evaluated per target: Delphi and
Free Pascal on 32-bit Windows, Delphi on 64-bit Windows, Free Pascal on 64- and 32-bit Linux. For
each, every export of exports/zknet.def must be declared once from ZknetLib under its own name,
stdcall on Windows and cdecl elsewhere, with the prototype of include/zknet/*.h: as many
parameters, each of the C type's width and kind (a zk_wchar_t* a PWideChar, a char* a PAnsiChar, a
record's or handle's address a pointer to that record), the 32-bit stack size equal to the .def's
@n. Every record must lie as C lays it out (the C layouts themselves checked against
tests/exports/record_layout.c), and Free Pascal here compiles the unit's declarations into a program
that prints each record's size and offsets for comparison. Every #define must be a constant of the
same value. Finally the unit, the example program and the README's example must compile (fpc -Mdelphi,
without linking).

It reads the headers and the unit on its own and shares nothing with tools/make-bindings.py.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
REGENERATE = "re-run `/usr/bin/python3 tools/make-bindings.py pascal` and commit bindings/pascal/zknet.pas"

# ---------------------------------------------------------------- the C side

C_INTS = {"char": (1, True), "uint8_t": (1, False), "int16_t": (2, True), "uint16_t": (2, False),
          "zk_wchar_t": (2, False), "int32_t": (4, True), "int": (4, True), "uint32_t": (4, False),
          "int64_t": (8, True)}
# What each C element type is called on the Pascal side (pointers are compared by what they point to).
C_TO_PASCAL = {"char": "ansichar", "zk_wchar_t": "widechar", "uint8_t": "byte", "uint16_t": "word",
               "int16_t": "int16", "int32_t": "int32", "int": "int32", "uint32_t": "uint32", "int64_t": "int64",
               "void": "void"}


def c_decl(text, where):
    """(base, stars, name) of 'const char *name'."""
    t = " ".join(text.replace("*", " * ").split())
    words = [w for w in t.split() if w != "const"]
    stars = words.count("*")
    words = [w for w in words if w != "*"]
    if len(words) != 2:
        raise SystemExit(f"{where}: cannot read '{text.strip()}'")
    return words[0], stars, words[1]


def read_headers(include):
    protos, structs, defines, callbacks, opaque = {}, {}, {}, {}, set()
    for fn in sorted(os.listdir(include)):
        if not fn.endswith(".h"):
            continue
        text = re.sub(r"/\*.*?\*/", " ", open(os.path.join(include, fn), encoding="utf-8").read(), flags=re.S)
        for m in re.finditer(r"ZK_EXPORT\s+([^;]*?)\bZK_API\s+(ZK_\w+)\s*\(([^)]*)\)\s*;", text):
            plist = m.group(3).strip()
            params = [] if plist in ("", "void") else [c_decl(p, m.group(2)) for p in plist.split(",")]
            protos[m.group(2)] = (c_decl(m.group(1) + " result", m.group(2))[:2], params, fn)
        for m in re.finditer(r"typedef\s+(\w+)\s*\(\s*ZK_API\s*\*\s*(\w+)\s*\)\s*\(([^)]*)\)\s*;", text):
            callbacks[m.group(2)] = ((m.group(1), 0), [c_decl(p, m.group(2)) for p in m.group(3).split(",")], fn)
        for m in re.finditer(r"typedef\s+struct\s+\w+\s*\{(.*?)\}\s*(\w+)\s*;", text, re.S):
            members = []
            for decl in filter(None, (" ".join(d.split()) for d in m.group(1).split(";"))):
                dims = [int(d) for d in re.findall(r"\[\s*(\d+)\s*\]", decl)]
                base, stars, name = c_decl(re.sub(r"\[.*", "", decl), m.group(2))
                members.append((name, base, stars, dims))
            structs[m.group(2)] = members
        opaque.update(re.findall(r"typedef\s+struct\s+\w+\s+(\w+)\s*;", text))
        for m in re.finditer(r"^[ \t]*#[ \t]*define[ \t]+((?:ZK|ZKNET)_\w+)[ \t]+(.*?)[ \t]*$", text, re.M):
            v = m.group(2)
            if re.fullmatch(r"-?(0[xX][0-9a-fA-F]+|\d+)[uUlL]*", v):
                defines[m.group(1)] = int(v.rstrip("uUlL"), 0)
            elif re.fullmatch(r'"[^"\\]*"', v):
                defines[m.group(1)] = v[1:-1]
    return protos, structs, defines, callbacks, opaque


def c_layout(members, ptr):
    """[(name, offset, size)] and the size, by C's natural alignment."""
    out, offset, largest = [], 0, 1
    for name, base, stars, dims in members:
        unit = ptr if stars else C_INTS[base][0]
        count = 1
        for d in dims:
            count *= d
        offset = (offset + unit - 1) // unit * unit
        out.append((name, offset, unit * count))
        offset += unit * count
        largest = max(largest, unit)
    return out, (offset + largest - 1) // largest * largest


def check_c_model(structs, path, problems):
    """The layouts computed here must be those the C compiler asserts in record_layout.c."""
    text = re.sub(r"/\*.*?\*/", " ", open(path, encoding="utf-8").read(), flags=re.S)
    facts = 0
    for m in re.finditer(r"ZK_CHECK\((.*?)\);", text):
        cond = " ".join(m.group(1).split())
        off = re.fullmatch(r"offsetof\((\w+), (\w+)\) == (.+)", cond)
        size = re.fullmatch(r"sizeof\((\w+)\) == (.+)", cond)
        if not off and not (size and size.group(1) in structs):
            continue
        struct, member, expr = off.groups() if off else (size.group(1), None, size.group(2))
        for ptr in (4, 8):
            want = eval(re.sub(r"\(size_t\)", "", expr.replace("ZK_PTR", str(ptr))), {"__builtins__": {}})
            layout, total = c_layout(structs[struct], ptr)
            got = total if member is None else {n: o for n, o, _ in layout}.get(member)
            if got != want:
                problems.append(f"this checker's C layout disagrees with record_layout.c: {cond} "
                                f"(pointers of {ptr} bytes: {got}); the checker is wrong")
        facts += 1
    return facts


def read_def(path):
    return {m.group(1): int(m.group(2)) for m in re.finditer(r"^\s+(ZK_\w+)@(\d+)", open(path).read(), re.M)}

# ---------------------------------------------------------------- the Pascal side


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


def expected(c_base, c_stars, opaque, structs, callbacks):
    """The canonical (element, stars) a C type must resolve to in Pascal."""
    if c_base in structs or c_base in opaque or c_base in callbacks:
        return "record t" + c_base.lower(), c_stars
    return C_TO_PASCAL.get(c_base, "unknown " + c_base), c_stars


def pascal_layout(unit, fields, packed, ptr):
    out, offset, largest = [], 0, 1
    for name, ftype, dims in fields:
        size = unit.size(ftype, ptr)
        if size is None:
            return None, f"no size known for {ftype}"
        count = 1
        for d in dims:
            count *= d
        align = 1 if packed else size
        offset = (offset + align - 1) // align * align
        out.append((name, offset, size * count))
        offset += size * count
        largest = max(largest, align)
    return out, (offset + largest - 1) // largest * largest


def same_name(pascal, c):
    return pascal.lower() in (c.lower(), c.lower() + "_")


def check_signature(label, entry, c_result, c_params, c, target, unit, problems):
    protos, structs, opaque, callbacks = c
    if len(entry["params"]) != len(c_params):
        problems.append(f"{label} takes {len(c_params)} parameters in C, the unit declares {len(entry['params'])}")
        return
    for i, ((pname, ptype, mode), (cbase, cstars, cname)) in enumerate(zip(entry["params"], c_params), 1):
        want = expected(cbase, cstars, opaque, structs, callbacks)
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
    want = None if c_result == ("void", 0) else expected(*c_result, opaque, structs, callbacks)
    if want is None and (entry.get("kind") == "function" or entry["result"]):
        problems.append(f"{label} returns nothing in C: a procedure")
    elif want is not None and (not entry["result"] or unit.resolve(entry["result"]) != want):
        problems.append(f"{label} returns {c_result[0]}{'*' * c_result[1]} in C, declared {entry['result']}")
    if target.convention and entry["convention"] != target.convention:
        problems.append(f"{label} is {entry['convention']}, must be {target.convention} ({target.label})")


def check_target(target, source, c, defines, exports, problems):
    protos, structs, opaque, callbacks = c
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
    for name in sorted(set(exports) - set(unit.routines)):
        problems.append(f"{t}: {name} ({protos[name][2] if name in protos else 'zknet.def'}) is not declared")
    for name, entries in sorted(unit.routines.items()):
        if len(entries) > 1:
            problems.append(f"{t}: {name} is declared {len(entries)} times")
        e = entries[0]
        if name not in exports:
            if name.startswith("ZK_"):
                problems.append(f"{t}: {name} is declared, but zknet.def does not export it")
            continue
        if e["lib"] != "ZknetLib" or e["symbol"] != name:
            problems.append(f"{t}: {name} must be external ZknetLib name '{name}'")
        if name not in protos:
            continue
        check_signature(f"{t}: {name}", e, protos[name][0], protos[name][1], c, target, unit, problems)
        if target.ptr == 4:
            stack = sum((unit.size(p[1], 4) or 4) + 3 & ~3 for p in e["params"])
            if stack != exports[name]:
                problems.append(f"{t}: {name} passes {stack} bytes on the stack, zknet.def says @{exports[name]}")
    for cname, (result, cparams, header) in callbacks.items():
        proc = unit.procs.get("t" + cname.lower())
        if proc is None:
            problems.append(f"{t}: the callback type {cname} ({header}) has no T{cname}")
        else:
            check_signature(f"{t}: T{cname}", proc, result, cparams, c, target, unit, problems)
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
        c_members, c_size = c_layout(members, target.ptr)
        if len(layout) != len(c_members):
            problems.append(f"{t}: T{sname} has {len(layout)} fields, the C record {len(c_members)}")
            continue
        for (pn, po, ps), (cn, co, cs), field, member in zip(layout, c_members, rec[1], members):
            want = expected(member[1], member[2], opaque, structs, callbacks)
            if not same_name(pn, cn):
                problems.append(f"{t}: T{sname} has {pn} where the C record has {cn}")
            elif (po, ps) != (co, cs):
                problems.append(f"{t}: T{sname}.{pn} lies at {po} and takes {ps} bytes; in C at {co}, {cs} bytes")
            elif unit.resolve(field[1]) != want or field[2] != member[3]:
                problems.append(f"{t}: T{sname}.{pn} is declared {field[1]} {field[2] or ''}, "
                                f"in C {member[1]}{'*' * member[2]} {member[3] or ''}")
        if size != c_size:
            problems.append(f"{t}: T{sname} is {size} bytes, the C record {c_size}")
    for name, value in defines.items():
        got = unit.consts.get(name.lower())
        if got != [value]:
            problems.append(f"{t}: the constant {name} is {got[0] if got else 'missing'}, {value!r} in the headers")
    for name in unit.consts:
        if re.match(r"zk(net)?_", name) and name.upper() not in {d.upper() for d in defines}:
            problems.append(f"{t}: the constant {name} is no longer defined by the headers")
    return unit

# ---------------------------------------------------------------- what Free Pascal makes of it


def fpc(args, cwd):
    return subprocess.run(["fpc", "-Mdelphi", "-vew", *args], cwd=cwd, capture_output=True, text=True, timeout=300)


def compiled_layouts(source, structs, work, problems):
    """Sizes and offsets of the records as Free Pascal lays them out here (64-bit Linux), from a program
    made of the unit's own declarations (without its externals, so that it links without the library)."""
    head = re.search(r"\bunit\s+zknet\s*;(.*?)\binterface\b(.*?)^(?:function|procedure)\b", source, re.S | re.M | re.I)
    if not head:
        problems.append("zknet.pas: no declarations before the first function")
        return None
    lines = ["program zklayout;", head.group(1), head.group(2), "var"]
    body = []
    for sname, members in structs.items():
        lines.append(f"  v{sname}: T{sname};")
        body.append(f"  WriteLn('{sname} SizeOf ', SizeOf(T{sname}));")
        for name, *_ in members:
            field = name + ("_" if not re.search(rf"^\s*{name}\s*:", source, re.M | re.I) else "")
            body.append(f"  WriteLn('{sname} {name} ', PtrUInt(@v{sname}.{field}) - PtrUInt(@v{sname}));")
    program = "\n".join(lines + ["begin"] + body + ["end."]) + "\n"
    with open(os.path.join(work, "zklayout.dpr"), "w") as f:
        f.write(program)
    r = fpc(["zklayout.dpr"], work)
    if r.returncode != 0:
        problems.append("Free Pascal does not compile the unit's declarations:\n" + r.stdout[-3000:])
        return None
    run = subprocess.run([os.path.join(work, "zklayout")], capture_output=True, text=True, timeout=60)
    facts = {}
    for line in run.stdout.splitlines():
        sname, what, value = line.split()
        facts[(sname, what)] = int(value)
    return facts


def main():
    ap = argparse.ArgumentParser(description="Checks bindings/pascal/zknet.pas against the C interface.")
    ap.add_argument("--root", default=ROOT)
    a = ap.parse_args()
    pas = os.path.join(a.root, "bindings", "pascal", "zknet.pas")
    example = os.path.join(a.root, "bindings", "pascal", "example.dpr")
    protos, structs, defines, callbacks, opaque = read_headers(os.path.join(a.root, "include", "zknet"))
    exports = read_def(os.path.join(a.root, "exports", "zknet.def"))
    problems, faults = [], []   # the unit against the C interface; what else fails to compile
    for name in sorted(set(exports) ^ set(protos)):
        problems.append(f"{name} is in {'zknet.def' if name in exports else 'a header'} only")
    facts = check_c_model(structs, os.path.join(a.root, "tests", "exports", "record_layout.c"), problems)
    if not os.path.exists(pas):
        print(f"{pas} is missing: {REGENERATE}")
        return 1
    source = open(pas, encoding="ascii", errors="replace").read()
    for target in TARGETS:
        check_target(target, source, (protos, structs, opaque, callbacks), defines, exports, problems)

    if not shutil.which("fpc"):
        faults.append("fpc is missing (Debian's fp-compiler: tools/install-deps.sh)")
    else:
        with tempfile.TemporaryDirectory() as work:
            compiled = compiled_layouts(source, structs, work, problems)
            for sname, members in structs.items() if compiled else ():
                layout, size = c_layout(members, 8)
                for what, want in [("SizeOf", size)] + [(n, o) for n, o, _ in layout]:
                    if compiled.get((sname, what)) != want:
                        problems.append(f"Free Pascal puts T{sname} {what} at {compiled.get((sname, what))}, C at {want}")
            shutil.copy(pas, work)
            r = fpc(["zknet.pas"], work)
            if r.returncode != 0:
                problems.append("fpc -Mdelphi does not compile zknet.pas:\n" + r.stdout[-3000:])
            elif os.path.exists(example):
                shutil.copy(example, work)
                r = fpc(["-Cn", "example.dpr"], work)
                if r.returncode != 0:
                    faults.append("fpc -Mdelphi does not compile example.dpr:\n" + r.stdout[-3000:])
            else:
                faults.append(f"{example} is missing")
            # The README's example, as a reader would paste it into a program.
            readme = open(os.path.join(a.root, "README.md"), encoding="utf-8").read()
            snippet = re.search(r"^## Calling it from Delphi.*?^```pascal\n(.*?)^```$", readme, re.S | re.M)
            if not snippet:
                faults.append("README.md has no Pascal example under '## Calling it from Delphi or Free Pascal'")
            else:
                with open(os.path.join(work, "readme.dpr"), "w") as f:
                    f.write("program readme;\n" + snippet.group(1))
                r = fpc(["-Cn", "readme.dpr"], work)
                if r.returncode != 0:
                    faults.append("fpc -Mdelphi does not compile the README's Pascal example:\n" + r.stdout[-3000:])

    seen = []
    for p in problems + faults:
        key = re.sub(r"^(" + "|".join(re.escape(t.label) for t in TARGETS) + "): ", "", p)
        if key not in seen:
            seen.append(key)
            print(p)
    if problems:
        print(f"zknet.pas does not match include/zknet/*.h and exports/zknet.def: {REGENERATE}")
    if problems or faults:
        return 1
    print(f"zknet.pas: {len(exports)} exports, {len(structs)} records ({facts} layout facts of record_layout.c "
          f"reproduced, Free Pascal's layout compared), {len(defines)} constants, {len(callbacks)} callback type, "
          f"checked for {'; '.join(t.label for t in TARGETS)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
