"""vba.py -- the VBA/VB6 binding: bindings/vba/zknet.bas, the declarations of every zknet.dll export
for Office 2010 and later (VBA7: PtrSafe, LongPtr for handles and pointers, 32- and 64-bit alike)
and for VB6 and older Office (Long handles and pointers): the constants, the records as Type
blocks, a Declare per export, and helpers for what the library hands out by address.
"""
import os
import re
import textwrap
import sys

import headers as zkheaders

# What this binding writes, relative to the project's root.
OUTPUT = "bindings/vba/zknet.bas"

# Words VBA keeps for itself (statements, types, operators) that a C name may collide with; such a
# name gets "Value" appended.
RESERVED = set("""
and any as boolean byref byte byval call case close const currency date decimal declare dim do
double each else elseif empty end enum eqv erase error event exit false for friend function get
global gosub goto if imp implements in input integer is len let lib like line lock long longlong
longptr loop lset me mid mod name new next not nothing null object on open option optional or
paramarray preserve print private property public put raiseevent redim rem resume return rset
seek select set single static step stop string sub then time to true type typeof unlock until
variant wend while width with write xor
alias attribute base binary compare explicit output append random access shared read text ptrsafe
""".split())

# Narrow-text parameters that carry a text the library made (or a message as it arrived, bytes
# that an ANSI round trip through a VBA String could change): passed as a pointer, not a String.
# Keyed by export-name pattern and parameter name.
POINTER_TEXTS = [
    (r"ZK_SocketDeleteString|ZK_MailRecvFree", r".*"),
    (r"ZK_MailGet\w*", r"text"),
]

INTEGERS = {"int32_t": "Long", "uint32_t": "Long", "int": "Long",
            "int16_t": "Integer", "uint16_t": "Integer", "uint8_t": "Byte"}

# A 64-bit integer result: LongLong where VBA has it (64-bit Office), elsewhere a Currency, which
# comes back in the same registers and holds the count divided by 10000.
WIDE_RESULT = "(64-bit)"
WIDE_NOTE = "32-bit Office and VB6 get the 64-bit result as Currency: multiply it by 10000 for the count."


def vba_name(c_name):
    parts = c_name.split("_")
    name = parts[0] + "".join(p[:1].upper() + p[1:] for p in parts[1:])
    return name + "Value" if name.lower() in RESERVED else name


class Mapper:
    def __init__(self, records, opaque, callbacks=()):
        self.records = records
        self.opaque = opaque
        self.callbacks = set(callbacks)

    def param(self, export, base, stars, name, ptr):
        """The VBA parameter for one C parameter; ptr is LongPtr (VBA7) or Long (VB6)."""
        vname = vba_name(name)
        if stars == 0 and base in self.callbacks:
            return f"ByVal {vname} As {ptr}"   # AddressOf a Function of a standard module
        if stars == 0:
            if base not in INTEGERS:
                sys.exit(f"{export}: no VBA type for the parameter {base} {name}")
            return f"ByVal {vname} As {INTEGERS[base]}"
        if stars == 1 and base == "char":
            if any(re.fullmatch(e, export) and re.fullmatch(p, name) for e, p in POINTER_TEXTS):
                return f"ByVal {vname} As {ptr}"
            return f"ByVal {vname} As String"
        if stars == 1 and base in self.records:
            return f"ByRef {vname} As {base}"
        if stars == 1 and base in ("int32_t", "uint32_t"):
            return f"ByRef {vname} As Long"
        if stars == 1 and base == "void" and name == "user":
            return f"ByVal {vname} As {ptr}"   # a value handed back to a callback, never read
        if stars == 1 and base in ("void", "uint8_t", "uint16_t"):
            return f"ByRef {vname} As Any"
        # UTF-16 texts (StrPtr), handles and anything else: the address itself.
        return f"ByVal {vname} As {ptr}"

    def result(self, base, stars, ptr):
        if stars:
            return ptr
        if base == "void":
            return None
        if base == "int64_t":
            return WIDE_RESULT
        if base not in INTEGERS:
            sys.exit(f"no VBA type for the result {base}")
        return INTEGERS[base]


def vba_member(ctype, name, dims, ptr):
    if ctype.endswith("*"):
        vtype = ptr
    elif ctype == "char":
        vtype = "Byte"
    elif ctype == "zk_wchar_t":
        vtype = "Integer"
    elif ctype in INTEGERS:
        vtype = INTEGERS[ctype]
    else:
        sys.exit(f"no VBA type for the member {ctype} {name}")
    vname = name + "Value" if name.lower() in RESERVED else name
    if not dims:
        return f"    {vname} As {vtype}"
    count = 1
    for d in dims:
        count *= d
    note = ""
    if len(dims) > 1:
        # VBA arrays run first index fastest, C arrays last: one flat run of elements keeps the
        # C order, element [i][j] at i * inner + j.
        note = f"   ' C [{']['.join(map(str, dims))}]: element (i, j) at i * {dims[-1]} + j"
    return f"    {vname}(0 To {count - 1}) As {vtype}{note}"


def comment_lines(text, indent=""):
    return zkheaders.comment_lines(text, "'", indent)


def declare_lines(proto, mapper, ptr, ptrsafe):
    result = mapper.result(*proto["result"], ptr)
    if result == WIDE_RESULT:
        if not ptrsafe:
            return declare_lines_as(proto, mapper, ptr, ptrsafe, "Currency")
        return (["#If Win64 Then"] + declare_lines_as(proto, mapper, ptr, ptrsafe, "LongLong") + ["#Else"] +
                declare_lines_as(proto, mapper, ptr, ptrsafe, "Currency") + ["#End If"])
    return declare_lines_as(proto, mapper, ptr, ptrsafe, result)


def declare_lines_as(proto, mapper, ptr, ptrsafe, result):
    params = [mapper.param(proto["name"], b, s, n, ptr) for b, s, n in proto["params"]]
    kind = "Function" if result else "Sub"
    head = f"Public Declare {'PtrSafe ' if ptrsafe else ''}{kind} {proto['name']} Lib \"zknet.dll\" ("
    tail = ")" + (f" As {result}" if result else "")
    one = head + ", ".join(params) + tail
    if len(one) <= 120:
        return [one]
    # One continuation line per few parameters keeps long declarations readable.
    lines, current = [], head
    for i, p in enumerate(params):
        piece = p + (", " if i < len(params) - 1 else "")
        if len(current) + len(piece) > 106 and current.strip() not in (head.strip(),):
            lines.append(current.rstrip() + " _")
            current = "        "
        current += piece
    lines.append(current + tail)
    return lines


def vba_literal(value):
    if value.startswith('"'):
        return "String", value
    n = int(value, 0)
    if not -2**31 <= n < 2**31:
        sys.exit(f"constant {value} does not fit a Long")
    return "Long", str(n)


HELPER_DECLARES = r"""
' ---- What the helpers below use ----

Private Declare {PS}Function zkStrLenA Lib "kernel32" Alias "lstrlenA" (ByVal p As {P}) As Long
Private Declare {PS}Function zkStrLenW Lib "kernel32" Alias "lstrlenW" (ByVal p As {P}) As Long
Private Declare {PS}Sub zkCopy Lib "kernel32" Alias "RtlMoveMemory" (ByRef target As Any, ByVal source As {P}, _
        ByVal length As {P})
"""

# Procedures follow every declaration of a module, so the helpers come after both branches.
HELPERS = r"""
' ---- Helpers: texts and list items the library hands out by address ----

' The ANSI text at an address (an item of an A list, ZK_SocketRecvString, ZK_MailRecv, a Byte field
' through VarPtr(field(0))), as a VBA String; "" for a null address.
Public Function ZkTextA(ByVal p As {P}) As String
    Dim n As Long, bytes() As Byte
    If p = 0 Then Exit Function
    n = zkStrLenA(p)
    If n = 0 Then Exit Function
    ReDim bytes(0 To n - 1)
    zkCopy bytes(0), p, n
    ZkTextA = StrConv(bytes, vbUnicode)
End Function

' The UTF-16 text at an address (an item of a W list, an Integer field through VarPtr(field(0))).
Public Function ZkTextW(ByVal p As {P}) As String
    Dim n As Long, s As String
    If p = 0 Then Exit Function
    n = zkStrLenW(p)
    If n = 0 Then Exit Function
    s = String$(n, vbNullChar)
    zkCopy ByVal StrPtr(s), p, n * 2
    ZkTextW = s
End Function

' Slot i (from 0) of an item array: list.items of MStringList and TelnetLineList.
Public Function ZkItem(ByVal items As {P}, ByVal i As Long) As {P}
    Dim p As {P}
    zkCopy p, items + i * LenB(p), LenB(p)
    ZkItem = p
End Function
"""

MAIL_HELPERS = r"""
' Entry i (from 0) of a mailbox listing made by ZK_MailBoxA / ZK_MailBoxW.
Public Function ZkMailEntryA(list As MailList, ByVal i As Long) As MailListEntryA
    Dim e As MailListEntryA
    zkCopy e, list.entries + i * LenB(e), LenB(e)
    ZkMailEntryA = e
End Function

Public Function ZkMailEntryW(list As MailList, ByVal i As Long) As MailListEntryW
    Dim e As MailListEntryW
    zkCopy e, list.entries + i * LenB(e), LenB(e)
    ZkMailEntryW = e
End Function
"""


TRIM = r"""
' A String filled by an A or W output buffer, cut at its first vbNullChar.
Public Function ZkTrim(ByVal s As String) As String
    Dim n As Long
    n = InStr(s, vbNullChar)
    If n > 0 Then ZkTrim = Left$(s, n - 1) Else ZkTrim = s
End Function
"""


def helpers(ptr, ptrsafe, records, template):
    text = template
    # The listing helpers only where the headers have the listing records.
    if template is HELPERS and {"MailList", "MailListEntryA", "MailListEntryW"} <= records:
        text += MAIL_HELPERS
    text = text.replace("{P}", ptr).replace("{PS}", "PtrSafe " if ptrsafe else "")
    return text.strip("\n").splitlines()


def generate(headers):
    """{OUTPUT: the module's text}, and the number of exports declared."""
    records = {r[0]: r for h in headers for r in h.records}
    opaque = [o for h in headers for o in h.opaque]
    callbacks = [c for h in headers for c in h.callbacks]
    mapper = Mapper(records, opaque, [c["name"] for c in callbacks])
    out = [
        'Attribute VB_Name = "zknet"',
        "' zknet.bas -- declarations of every export of zknet.dll for VBA (Office 2010 and later, 32- and",
        "' 64-bit) and for VB6 and older Office: constants, records and one Declare per export.",
        "' Generated from include/zknet/*.h by tools/make-bindings.py; change the headers and re-run it rather",
        "' than editing this file. Import it in the VBA editor (File > Import File) or add it to a VB6 project.",
        "'",
        "' Handles and pointers are LongPtr under VBA7 (4 bytes in 32-bit Office, 8 in 64-bit) and Long",
        "' elsewhere; load the zknet.dll of the Office's width (x86 or x64). Narrow (A) texts are passed as",
        "' String, which VBA converts to the ANSI code page; A output buffers are Strings made with",
        "' String$(n, vbNullChar), cut at the first vbNullChar afterwards. Wide (W) texts are passed by address:",
        "' StrPtr(s), output buffers String$(n, vbNullChar) with n as the size. vbNullString passes NULL.",
        "' Records go ByRef; void* and byte arrays ByRef As Any (pass the first element, or ByVal 0 for NULL).",
        "",
        "Option Explicit",
        "",
    ]
    # Constants: the same on every width.
    out += zkheaders.constant_lines(
        headers, "'", lambda name, value: "Public Const {} As {} = {}".format(name, *vba_literal(value)), 52)

    # Callback types: what the Function whose address is passed must look like, per width.
    for cb in callbacks:
        out.append(f"' ---- The callback type {cb['name']} ----")
        out += comment_lines(cb["comment"])
        out.append("' Pass AddressOf a Function of a standard module declared as")
        for label, ptr, wide in (("64-bit Office", "LongPtr", "LongLong"),
                                 ("32-bit Office and VB6; a Currency holds the count divided by 10000", "Long",
                                  "Currency")):
            params = []
            for base, stars, name in cb["params"]:
                vtype = wide if (base, stars) == ("int64_t", 0) else ptr if stars else INTEGERS[base]
                params.append(f"ByVal {vba_name(name)} As {vtype}")
            result = INTEGERS[cb["result"][0]]
            out.append(f"'   ({label}):")
            out.append(f"'   Function On{re.sub('Proc$', '', cb['name'][2:])}({', '.join(params)}) As {result}")
        out.append("")

    # Records without pointers are the same on every width; the others go into each branch.
    def record_block(name, ptr):
        _, members, comment = records[name]
        lines = comment_lines(comment) if comment else []
        lines.append(f"Public Type {name}")
        lines += [vba_member(t, n, d, ptr) for t, n, d in members]
        lines.append("End Type")
        return lines

    fixed = [n for n, r in records.items() if not any(t.endswith("*") for t, _, _ in r[1])]
    varying = [n for n in records if n not in fixed]
    if fixed:
        out.append("' ---- Records (the same layout in 32- and 64-bit code) ----")
        for n in fixed:
            out += record_block(n, "Long") + [""]

    def branch(ptr, ptrsafe, documented):
        lines = []
        if varying:
            lines.append("' ---- Records that hold addresses ----")
            for n in varying:
                lines += (record_block(n, ptr) if documented else
                          [l for l in record_block(n, ptr) if not l.startswith("'")]) + [""]
        for h in headers:
            family = [g for g in h.groups if g[0] == "exports"]
            if not family:
                continue
            lines += comment_lines(textwrap.fill(f"==== {os.path.basename(h.path)}: {h.title}", 98))
            lines.append("")
            for g in h.groups:
                if g[0] == "section":
                    lines.append(f"' ---- {g[1]} ----")
                    if documented and g[2]:
                        lines += comment_lines(g[2])
                    lines.append("")
                    continue
                for proto in g[1]:
                    lines += declare_lines(proto, mapper, ptr, ptrsafe)
                if documented and g[2]:
                    lines += comment_lines(g[2], "    ")
                if documented and any(p["result"] == ("int64_t", 0) for p in g[1]):
                    lines += comment_lines(WIDE_NOTE, "    ")
                lines.append("")
        lines += helpers(ptr, ptrsafe, set(records), HELPER_DECLARES)
        return lines

    out.append("#If VBA7 Then")
    out.append("")
    out += branch("LongPtr", True, True)
    out.append("")
    out.append("#Else")
    out.append("")
    out.append("' VB6 and Office 2007 or older (32-bit only): the same declarations with Long for handles and")
    out.append("' pointers, without PtrSafe; see the VBA7 branch above for what each export does.")
    out.append("")
    out += branch("Long", False, False)
    out.append("")
    out.append("#End If")
    out.append("")
    out.append("#If VBA7 Then")
    out.append("")
    out += helpers("LongPtr", True, set(records), HELPERS)
    out.append("")
    out.append("#Else")
    out.append("")
    out += helpers("Long", False, set(records), HELPERS)
    out.append("")
    out.append("#End If")
    out.append("")
    out += TRIM.strip("\n").splitlines()
    text = "\r\n".join(l.rstrip() for l in out) + "\r\n"
    text.encode("ascii")
    return {OUTPUT: text}, sum(len(g[1]) for h in headers for g in h.groups if g[0] == "exports")
