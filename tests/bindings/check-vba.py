#!/usr/bin/python3
"""check-vba.py -- checks the VBA/VB6 declarations (bindings/vba/zknet.bas) against the C interface
(c_interface.py), the module read as the VBA editor compiles it for 64-bit Office (VBA7, Win64),
32-bit Office (VBA7) and VB6 or older Office: every export declared once with its arguments'
ByVal/ByRef and widths (a pointer LongPtr under VBA7, Long elsewhere), Sub for a void result, 4 bytes
a slot adding up to the .def's @n; every record a Type lying at the C offsets for that target's
pointers; every #define a Const of the same value. The example macro may call only what it declares.
"""
import os
import re
import sys

sys.dont_write_bytecode = True   # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import c_interface  # noqa: E402


class Target:
    def __init__(self, label, consts, ptr):
        self.label = label
        self.consts = consts        # conditional compilation constants that are true
        self.ptr = ptr              # bytes of a pointer
        self.legacy = "VBA7" not in consts


TARGETS = [
    Target("64-bit Office (VBA7, Win64)", {"VBA7", "WIN64", "WIN32"}, 8),
    Target("32-bit Office (VBA7)", {"VBA7", "WIN32"}, 4),
    Target("VB6 and Office 2007 or older", {"WIN32"}, 4),
]

WIDTH = {1: "byte", 2: "integer", 4: "long"}
VBA_SIZES = {"byte": 1, "boolean": 2, "integer": 2, "long": 4, "single": 4, "double": 8, "currency": 8,
             "date": 8, "longlong": 8}


def strip_vba_comment(line):
    out, in_string = [], False
    for i, ch in enumerate(line):
        if ch == '"':
            in_string = not in_string
        elif ch == "'" and not in_string:
            break
        out.append(ch)
    code = "".join(out).rstrip()
    return "" if re.match(r"\s*Rem\b", code, re.I) else code


def read_vba_lines(path, problems):
    """The logical lines (continuations joined, comments removed) with their first line numbers."""
    raw = open(path, "rb").read()
    label = os.path.basename(path)
    if any(b > 0x7F for b in raw):
        problems.append(f"{label}: holds non-ASCII bytes (the VBA editor reads it in the ANSI code page)")
    if re.search(rb"(?<!\r)\n", raw) or not raw.endswith(b"\r\n"):
        problems.append(f"{label}: lines must end in CR LF, or the VBA editor imports it as one line")
    lines = raw.decode("ascii", "replace").replace("\r\n", "\n").split("\n")
    if not lines[0].startswith('Attribute VB_Name = "'):
        problems.append(f'{label}: the first line must be Attribute VB_Name = "..."')
    out, pending, start = [], "", 0
    for number, line in enumerate(lines, 1):
        code = strip_vba_comment(line)
        if not pending:
            start = number
        if code.endswith(" _"):
            pending += code[:-2] + " "
            continue
        full = (pending + code).strip()
        pending = ""
        if full:
            out.append((start, full))
    return out


def condition(expr, target, where):
    tokens = re.findall(r"\w+|[()]|\S", expr)
    py = []
    for t in tokens:
        u = t.upper()
        if u in ("NOT", "AND", "OR"):
            py.append(u.lower())
        elif t in "()":
            py.append(t)
        elif re.fullmatch(r"[A-Za-z]\w*", t):
            py.append("True" if u in target.consts else "False")
        else:
            raise SystemExit(f"{where}: cannot evaluate #If {expr}")
    return eval(" ".join(py), {"__builtins__": {}})


def active_lines(lines, target, label):
    """What the VBA editor compiles for the target: #If/#ElseIf/#Else/#End If evaluated."""
    stack, out = [], []     # stack of [active, taken]
    for number, line in lines:
        where = f"{label}:{number}"
        m = re.fullmatch(r"#\s*(If|ElseIf|Else|End\s*If)\b\s*(.*?)(?:\s+Then)?", line, re.I)
        kind = m and re.sub(r"\s", "", m.group(1).lower())
        if kind and kind != "if" and not stack:
            raise SystemExit(f"{where}: {line} without #If")
        outer = all(s[0] for s in (stack[:-1] if kind in ("elseif", "else") else stack))
        if kind == "if":
            value = outer and condition(m.group(2), target, where)
            stack.append([value, value])
        elif kind in ("elseif", "else"):
            value = outer and not stack[-1][1] and (kind == "else" or condition(m.group(2), target, where))
            stack[-1] = [value, stack[-1][1] or value]
        elif kind == "endif":
            stack.pop()
        elif line.startswith("#"):
            raise SystemExit(f"{where}: unexpected directive {line}")
        elif outer:
            out.append((number, line))
    if stack:
        raise SystemExit(f"{label}: #If without #End If")
    return out


class Module:
    def __init__(self):
        self.declares, self.types, self.consts = {}, {}, {}   # by name; types by lower name: (name, members)
        self.procedures, self.code = set(), []                 # code: every active line


def vba_literal(text):
    """The value a VBA literal stands for, with VBA's own rules for hexadecimal widths."""
    t = text.strip()
    if re.fullmatch(r'"[^"]*"', t):
        return t[1:-1]
    neg = t.startswith("-")
    t = t.lstrip("-").strip()
    m = re.fullmatch(r"&H([0-9A-Fa-f]+)([&%^]?)", t)
    if m:
        v = int(m.group(1), 16)
        bits = 64 if m.group(2) == "^" else 32 if (m.group(2) == "&" or len(m.group(1)) > 4) else 16
        if v >= 1 << (bits - 1):
            v -= 1 << bits
    elif re.fullmatch(r"\d+[&%^]?", t):
        v = int(t.rstrip("&%^"))
    else:
        raise ValueError(text)
    return -v if neg else v


def parse_module(lines, label, problems):
    mod = Module()
    current_type = None
    in_proc = None
    for number, line in lines:
        where = f"{label}:{number}"
        mod.code.append(line)
        if in_proc:
            if re.fullmatch(r"End\s+(Function|Sub|Property)", line, re.I):
                in_proc = None
            continue
        if current_type is not None:
            if re.fullmatch(r"End\s+Type", line, re.I):
                current_type = None
                continue
            m = re.fullmatch(r"(\w+)\s*(?:\((.*?)\))?\s+As\s+(\w+)(\s*\*\s*\d+)?", line, re.I)
            if not m:
                problems.append(f"{where}: cannot read the Type member '{line}'")
                continue
            if m.group(4):
                problems.append(f"{where}: {m.group(1)} is a fixed-length String, which VBA keeps as "
                                f"UTF-16 in memory but converts when passed; use a Byte or Integer array")
            mod.types[current_type][1].append((m.group(1), m.group(2), m.group(3), where))
            continue
        m = re.fullmatch(r"(?:(Public|Private|Global)\s+)?Type\s+(\w+)", line, re.I)
        if m:
            current_type = m.group(2).lower()
            if current_type in mod.types:
                problems.append(f"{where}: Type {m.group(2)} is defined twice")
            mod.types[current_type] = (m.group(2), [])
            continue
        m = re.fullmatch(r"(?:(Public|Private)\s+)?Declare\s+(PtrSafe\s+)?(Function|Sub)\s+(\w+)\s+Lib\s+\"([^\"]+)\""
                         r"(?:\s+Alias\s+\"([^\"]+)\")?\s*\((.*)\)(?:\s+As\s+(\w+))?", line, re.I)
        if m:
            name = m.group(4)
            if name in mod.declares:
                problems.append(f"{where}: {name} is declared twice")
            params = []
            for p in filter(None, (s.strip() for s in m.group(7).split(","))):
                pm = re.fullmatch(r"(Optional\s+)?(?:(ByVal|ByRef)\s+)?(\w+)(\(\))?(?:\s+As\s+(\w+))?", p, re.I)
                if not pm:
                    problems.append(f"{where}: cannot read the parameter '{p}' of {name}")
                    continue
                params.append({"mode": (pm.group(2) or "ByRef").lower(),
                               "array": bool(pm.group(4)), "type": (pm.group(5) or "Variant"),
                               "optional": bool(pm.group(1)), "text": p})
            mod.declares[name] = {"ptrsafe": bool(m.group(2)), "kind": m.group(3).lower(), "lib": m.group(5),
                                  "alias": m.group(6), "params": params, "result": m.group(8),
                                  "where": where}
            continue
        m = re.fullmatch(r"(?:(Public|Private|Global)\s+)?Const\s+(\w+)(?:\s+As\s+(\w+))?\s*=\s*(.+)", line, re.I)
        if m:
            if m.group(2) in mod.consts:
                problems.append(f"{where}: Const {m.group(2)} is defined twice")
            mod.consts[m.group(2)] = (m.group(3), m.group(4), where)
            continue
        m = re.fullmatch(r"(?:(?:Public|Private|Friend|Static)\s+)*(Function|Sub|Property\s+\w+)\s+(\w+)\b.*", line, re.I)
        if m:
            in_proc = m.group(2)
            mod.procedures.add(m.group(2))
            continue
    if current_type is not None:
        problems.append(f"{label}: Type {current_type} has no End Type")
    return mod


def type_layout(mod, name, ptr, problems):
    """[(member, offset, size)] and the size of a Type, members naturally aligned as VBA lays them out."""
    tname, members = mod.types[name.lower()]
    items = []
    for member, dims, vtype, mwhere in members:
        t = vtype.lower()
        if t == "longptr":
            unit = ptr
        elif t in VBA_SIZES:
            unit = VBA_SIZES[t]
        else:
            problems.append(f"{mwhere}: {tname}.{member} As {vtype} has no fixed C layout")
            return None, None
        count = 1
        if dims is not None:
            if not dims.strip():
                problems.append(f"{mwhere}: {tname}.{member}() is a dynamic array, a pointer to a SAFEARRAY, "
                                f"not the C array")
                return None, None
            for d in dims.split(","):
                bounds = re.fullmatch(r"\s*(?:(-?\d+)\s+To\s+)?(-?\d+)\s*", d, re.I)
                if not bounds:
                    problems.append(f"{mwhere}: cannot read the bounds ({dims}) of {tname}.{member}")
                    return None, None
                low = int(bounds.group(1) or 0)   # Option Base 1 is not used in the module
                count *= int(bounds.group(2)) - low + 1
        items.append((member, unit, count, min(unit, 8 if ptr == 8 else 4)))
    return c_interface.lay_out(items)


def expected_param(c, target, ci):
    """The VBA forms that pass a C parameter correctly: [(mode, type)] with type lower case."""
    ptr = "long" if target.legacy else "longptr"
    if c.stars == 0 and c.base in ci.callbacks:
        return [("byval", ptr)]
    if c.stars == 0:
        width = c_interface.C_INTS.get(c.base, (None,))[0]
        return [("byval", WIDTH[width])] if width in WIDTH else None
    forms = [("byval", ptr), ("byref", "any")]
    if c.stars == 1:
        if c.base == "char":
            forms += [("byval", "string"), ("byref", "byte")]
        elif c.base in ci.structs:
            forms.append(("byref", c.base.lower()))
        elif c_interface.C_INTS.get(c.base, (0,))[0] in WIDTH:
            forms.append(("byref", WIDTH[c_interface.C_INTS[c.base][0]]))
    else:
        forms.append(("byref", ptr))
    return forms


def expected_result(c, target):
    if c.stars:
        return "long" if target.legacy else "longptr"
    if c.base == "void":
        return None
    # 64 bits come back in registers: LongLong where VBA has it, else Currency (the count / 10000).
    wide = "longlong" if target.ptr == 8 else "currency"
    return {**WIDTH, 8: wide}.get(c_interface.C_INTS.get(c.base, (0,))[0], "?")


def check_target(mod, target, ci, label, problems):
    t, protos, exports = target.label, ci.protos, ci.exports
    # Declarations of the library: exactly the exports.
    ours = {n: d for n, d in mod.declares.items() if d["lib"].lower() in ("zknet.dll", "zknet")}
    problems += [f"{t}: {p}" for p in ci.compare_exports(ours)]
    for name, d in mod.declares.items():
        where = d["where"]
        if target.legacy and d["ptrsafe"]:
            problems.append(f"{where}: {t} knows no PtrSafe ({name})")
        if not target.legacy and not d["ptrsafe"]:
            problems.append(f"{where}: {t} needs PtrSafe on every Declare ({name})")
        if name not in ours or name not in protos or name not in exports:
            continue
        if d["lib"] != "zknet.dll":
            problems.append(f'{where}: {name} must come from Lib "zknet.dll"')
        if d["alias"] not in (None, name):
            problems.append(f"{where}: {name} is an alias of {d['alias']}")
        c = protos[name]
        # The result.
        want = expected_result(c.result, target)
        got = d["result"].lower() if d["result"] else None
        if want is None and d["kind"] != "sub":
            problems.append(f"{where}: {t}: {name} returns nothing in C ({c.header}) and must be a Sub")
        elif want is not None and (d["kind"] != "function" or got != want):
            problems.append(f"{where}: {t}: {name} returns {ctext(c.result)} "
                         f"({c.header}): Function ... As {want_name(want)}, not "
                         f"{'Sub' if d['kind'] == 'sub' else 'As ' + str(d['result'])}")
        # The arguments.
        if len(d["params"]) != len(c.params):
            problems.append(f"{where}: {t}: {name} takes {len(c.params)} arguments in {c.header}, "
                         f"the module declares {len(d['params'])}")
            continue
        for i, (v, cp) in enumerate(zip(d["params"], c.params), 1):
            forms = expected_param(cp, target, ci)
            got = (v["mode"], v["type"].lower())
            if forms is None:
                problems.append(f"{where}: no VBA form known for {ctext(cp)} of {name}; extend check-vba.py")
            elif v["optional"] or v["array"] or got not in forms:
                hint = ""
                if cp.base == "zk_wchar_t" and got == ("byval", "string"):
                    hint = " (VBA would pass an ANSI copy, not UTF-16: pass StrPtr(text) As LongPtr)"
                elif cp.stars == 0 and got[0] == "byref":
                    hint = " (ByRef passes the variable's address; integers go ByVal)"
                elif cp.stars and got == ("byval", "long") and not target.legacy:
                    hint = " (a Long cuts a 64-bit address in half)"
                problems.append(f"{where}: {t}: argument {i} of {name}, {ctext(cp)} in {c.header}, is declared "
                             f"'{v['text']}'; expected one of {', '.join(f'{m} {want_name(ty)}' for m, ty in forms)}"
                             f"{hint}")
        # What the callee takes off the 32-bit stack: 4 bytes per argument, each of them one slot.
        if target.ptr == 4 and 4 * len(d["params"]) != exports[name]:
            problems.append(f"{where}: {name} passes {4 * len(d['params'])} bytes, zknet.def says @{exports[name]}")
    # Records.
    for sname in ci.structs:
        if sname.lower() not in mod.types:
            problems.append(f"{t}: the record {sname} has no Type in {label}")
            continue
        layout, size = type_layout(mod, sname, target.ptr, problems)
        if layout is None:
            continue
        problems += [f"{t}: Type {p}" for p in ci.compare_record(
            sname, target.ptr, layout, size, lambda v, c: v.lower() in (c.lower(), c.lower() + "value"))]
    # Every Type named in a Declare must exist for this target.
    builtin = set(VBA_SIZES) | {"longptr", "string", "any", "variant", "object"}
    for name, d in mod.declares.items():
        for v in d["params"]:
            if v["type"].lower() not in builtin and v["type"].lower() not in mod.types:
                problems.append(f"{d['where']}: {t}: {name} uses the Type {v['type']}, which is not defined here")
    if target.legacy:
        for line in mod.code:
            if re.search(r"\b(LongPtr|LongLong|PtrSafe)\b", line, re.I):
                problems.append(f"{t} knows no LongPtr, LongLong or PtrSafe: '{line[:80]}'")
                break
    # Constants: a Long or a String of the #define's value.
    values = {}
    for name, (ctype, literal, where) in mod.consts.items():
        try:
            values[name] = vba_literal(literal)
        except ValueError:
            problems.append(f"{where}: cannot read the value {literal} of {name}")
        if name in ci.defines and (ctype or "").lower() != ("string" if isinstance(ci.defines[name], str) else "long"):
            problems.append(f"{where}: {name} must be declared As Long or String as in the headers")
    problems += [f"{t}: {p}" for p in ci.compare_constants(values)]


def ctext(d):
    return f"{d.base} {'*' * d.stars}{d.name}".replace(" result", "")


def want_name(t):
    return {"longptr": "LongPtr", "long": "Long", "integer": "Integer", "byte": "Byte", "string": "String",
            "any": "Any"}.get(t, t)


def check_order(lines, label, problems):
    """Declarations come before the first procedure of a module, in every branch: the VBA editor
    refuses a Declare, Type or Const that follows a procedure."""
    first, in_proc = None, False
    for number, line in lines:
        if in_proc:
            in_proc = not re.fullmatch(r"End\s+(Function|Sub|Property)", line, re.I)
        elif re.fullmatch(r"(?:(?:Public|Private|Friend|Static)\s+)*(Function|Sub|Property\s+\w+)\s+\w+.*", line, re.I):
            first = first or number
            in_proc = True
        elif first and re.match(r"(?:(?:Public|Private|Global)\s+)?(Declare|Type|Const|Enum)\s", line, re.I):
            problems.append(f"{label}:{number}: a declaration after the first procedure (line {first})")
            return


def check_example(path, modules, problems):
    label = os.path.basename(path)
    lines = read_vba_lines(path, problems)
    check_order(lines, label, problems)
    known = set()
    own = [parse_module(active_lines(lines, target, label), label, problems) for target in TARGETS]
    for mod in modules + own:
        known |= set(mod.declares) | set(mod.consts) | set(mod.procedures) | {n for n, _ in mod.types.values()}
    used = set()
    for _, line in lines:
        code = re.sub(r'"[^"]*"', '""', line)
        used |= set(re.findall(r"\b(ZK_\w+|ZKNET_\w+|Zk[A-Z]\w*)\b", code))
    problems += [f"{label} uses {name}, which zknet.bas does not declare" for name in sorted(used - known)]


def main():
    root, ci = c_interface.load(__doc__)
    bas = os.path.join(root, "bindings", "vba", "zknet.bas")
    example = os.path.join(root, "bindings", "vba", "example.bas")
    problems = list(ci.problems)
    if not os.path.exists(bas):
        return c_interface.report(bas, "vba", [f"{bas} is missing"], "")
    lines = read_vba_lines(bas, problems)
    label = os.path.basename(bas)
    check_order(lines, label, problems)
    modules = []
    for target in TARGETS:
        mod = parse_module(active_lines(lines, target, label), label, problems)
        check_target(mod, target, ci, label, problems)
        modules.append(mod)
    if os.path.exists(example):
        check_example(example, modules, problems)
    else:
        problems.append(f"{example} is missing")
    return c_interface.report(
        "bindings/vba/zknet.bas", "vba", problems,
        f"{label}: {len(ci.exports)} exports, {len(ci.structs)} records ({ci.facts} layout facts of record_layout.c "
        f"reproduced), {len(ci.defines)} constants, checked for {', '.join(t.label for t in TARGETS)}",
        labels=[t.label for t in TARGETS])


if __name__ == "__main__":
    sys.exit(main())
