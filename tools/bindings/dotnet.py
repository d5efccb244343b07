"""dotnet.py -- the .NET binding: bindings/dotnet/Zknet.cs, one C# source for every .NET (Framework
4.x, .NET 6 and later, Mono; Windows x86 and x64, Linux): NativeMethods with the constants, the
records and a DllImport per export, SafeHandle classes for the sessions, and the friendly layer
(tools/bindings/dotnet-friendly.cs) after them.
"""
import os
import re
import sys
import textwrap

import headers as zkheaders

OUTPUT = "bindings/dotnet/Zknet.cs"
FRIENDLY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dotnet-friendly.cs")

# Words C# keeps for itself; a C name that is one gets an @ in front.
KEYWORDS = set("""
abstract as base bool break byte case catch char checked class const continue decimal default delegate
do double else enum event explicit extern false finally fixed float for foreach goto if implicit in int
interface internal is lock long namespace new null object operator out override params private
protected public readonly ref return sbyte sealed short sizeof stackalloc static string struct switch
this throw true try typeof uint ulong unchecked unsafe ushort using virtual void volatile while
""".split())

INTEGERS = {"int32_t": "int", "uint32_t": "uint", "int": "int", "int16_t": "short", "uint16_t": "ushort",
            "uint8_t": "byte", "int64_t": "long"}

# The sessions: each kind of handle a connect makes, the SafeHandle class that holds it, and the
# export that releases it. MailHandle serves SMTP and POP3 alike; the connect's name tells which.
SESSIONS = [
    # (C handle type, connect name pattern, class, releasing export)
    ("FtpSession", r"ZK_FtpConnect\w*", "FtpSessionHandle", "ZK_FtpDisconnect"),
    ("MailHandle", r"ZK_MailConnectSmtp\w*", "SmtpSessionHandle", "ZK_MailDisconnectSmtp"),
    ("MailHandle", r"ZK_MailConnectPop3\w*", "Pop3SessionHandle", "ZK_MailDisconnectPop3"),
    ("TelnetHandle", r"ZK_TelnetConnect\w*", "TelnetSessionHandle", "ZK_TelnetDisconnect"),
]
# What a parameter of each handle type takes: the class, or for MailHandle their common base.
HANDLE_PARAMS = {"FtpSession": "FtpSessionHandle", "MailHandle": "MailSessionHandle",
                 "TelnetHandle": "TelnetSessionHandle"}
RELEASERS = {s[3] for s in SESSIONS}

# Narrow texts passed by address: a message as it arrived (bytes no string conversion may touch)
# and the blocks the library allocated and releases.
POINTER_TEXTS = [(r"ZK_SocketDeleteString|ZK_MailRecvFree", r".*"), (r"ZK_MailGet\w*", r"text")]

# Element types of the plain pointers: arrays the caller passes (pinned, so written in place), or one
# value by reference.
POINTER_ELEMENTS = {"uint8_t": "[In, Out] byte[]", "uint16_t": "[In, Out] ushort[]", "void": "[In, Out] byte[]",
                    "int32_t": "out int"}


def cs_name(name):
    return "@" + name if name in KEYWORDS else name


class Mapper:
    def __init__(self, records, callbacks):
        self.records = records
        self.callbacks = set(callbacks)

    def params(self, proto):
        """The C# parameters of an export, as text."""
        out = []
        ps = proto["params"]
        for i, (base, stars, name) in enumerate(ps):
            # A text pointer followed by its size is a buffer the library writes into.
            buffer = i + 1 < len(ps) and ps[i + 1][1] == 0 and ps[i + 1][2].endswith("size")
            out.append(self.param(proto["name"], base, stars, name, buffer) + " " + cs_name(name))
        return out

    def param(self, export, base, stars, name, buffer):
        if stars == 0 and base in self.callbacks:
            return base
        if stars == 0:
            if base not in INTEGERS:
                sys.exit(f"{export}: no C# type for the parameter {base} {name}")
            return INTEGERS[base]
        if stars > 1:
            sys.exit(f"{export}: no C# type for the parameter {base}{'*' * stars} {name}")
        if base == "zk_wchar_t":
            return "[MarshalAs(UnmanagedType.LPWStr)] " + ("StringBuilder" if buffer else "string")
        if base == "char":
            if any(re.fullmatch(e, export) and re.fullmatch(p, name) for e, p in POINTER_TEXTS):
                return "IntPtr"
            return "[MarshalAs(UnmanagedType.LPStr)] " + ("StringBuilder" if buffer else "string")
        if base in self.records:
            return "ref " + base
        if base in HANDLE_PARAMS:
            return "IntPtr" if export in RELEASERS else HANDLE_PARAMS[base]
        if base == "void" and name == "user":
            return "IntPtr"   # handed back to the callback, never read
        if base in POINTER_ELEMENTS:
            return POINTER_ELEMENTS[base]
        return "IntPtr"       # sockets and anything else: the address itself

    def result(self, proto):
        base, stars = proto["result"]
        if stars:
            for handle, pattern, cls, _ in SESSIONS:
                if base == handle and re.fullmatch(pattern, proto["name"]):
                    return cls
            return "IntPtr"   # sockets, and texts to be released
        if base == "void":
            return "void"
        if base not in INTEGERS:
            sys.exit(f"{proto['name']}: no C# type for the result {base}")
        return INTEGERS[base]


def doc_lines(text, indent):
    out = []
    for line in text.splitlines():
        out.append(f"{indent}// {line}".rstrip())
    return out


def member_lines(ctype, name, dims, indent):
    count = 1
    for d in dims:
        count *= d
    fname = cs_name(name)
    if ctype.endswith("*"):
        return [f"{indent}public IntPtr {fname};"]
    if ctype == "zk_wchar_t" and dims:
        # Read as text up to the first zero; the record's CharSet.Unicode makes it 2 bytes a unit.
        return [f"{indent}[MarshalAs(UnmanagedType.ByValTStr, SizeConst = {count})] public string {fname};"]
    if ctype == "char" and dims:
        # ANSI bytes as they are (code page 932 on Japanese Windows).
        return [f"{indent}[MarshalAs(UnmanagedType.ByValArray, SizeConst = {count})] public byte[] {fname};"]
    if ctype not in INTEGERS:
        sys.exit(f"no C# type for the member {ctype} {name}")
    if dims:
        note = ""
        if len(dims) > 1:
            note = f" // C [{']['.join(map(str, dims))}]: element [i][j] at i * {dims[-1]} + j"
        return [f"{indent}[MarshalAs(UnmanagedType.ByValArray, SizeConst = {count})] "
                f"public {INTEGERS[ctype]}[] {fname};{note}"]
    return [f"{indent}public {INTEGERS[ctype]} {fname};"]


def literal(value):
    if value.startswith('"'):
        return "string", value
    n = int(value, 0)
    if not -2**31 <= n < 2**31:
        sys.exit(f"constant {value} does not fit an int")
    return "int", value if value.lower().startswith("0x") else str(n)


HEAD = """\
// Zknet.cs -- zknet for .NET (C#, and PowerShell through Add-Type): NativeMethods declares every
// export of zknet.dll / libzknet.so with its constants and records; the SafeHandle classes release
// sessions; FtpClient, MailSender and Pop3Client are the friendly layer over them.
// Generated from include/zknet/*.h by tools/make-bindings.py; change the headers and re-run it rather
// than editing this file.
//
// One source for .NET Framework 4.x, .NET 6 and later and Mono, on Windows x86 and x64 and on Linux
// (C# 5, so Windows PowerShell's Add-Type compiles it too). DllImport("zknet") finds zknet.dll on
// Windows and libzknet.so on Linux; put the library of the process's width beside the program or on
// the library path. Every export is stdcall: what the 32-bit DLL needs, and ignored elsewhere. Prefer
// the W forms: their texts go as UTF-16 everywhere. The A forms take the ANSI code page on Windows;
// on Linux .NET passes them as UTF-8 while the library reads code page 932 there, so keep them to
// ASCII. Output buffers are StringBuilders made with the capacity passed as the size.
using System;
using System.Runtime.InteropServices;
using System.Text;
using Microsoft.Win32.SafeHandles;

namespace Zknet
{
"""


def generate(headers):
    """{OUTPUT: the source's text}, and the number of exports declared."""
    records = {r[0]: r for h in headers for r in h.records}
    callbacks = [c for h in headers for c in h.callbacks]
    mapper = Mapper(records, [c["name"] for c in callbacks])
    out = HEAD.splitlines()
    ind = "    "

    for cb in callbacks:
        out += doc_lines(cb["comment"], ind)
        params = ", ".join(f"{INTEGERS[b] if not s else 'IntPtr'} {cs_name(n)}" for b, s, n in cb["params"])
        out.append(f"{ind}[UnmanagedFunctionPointer(CallingConvention.StdCall)]")
        out.append(f"{ind}public delegate {INTEGERS[cb['result'][0]]} {cb['name']}({params});")
        out.append("")

    out.append(f"{ind}// The C interface as it stands: constants, records and one declaration per export.")
    out.append(f"{ind}public static class NativeMethods")
    out.append(f"{ind}{{")
    ind2 = ind * 2
    out.append(f"{ind2}public const string Library = \"zknet\";")
    out.append("")
    out += zkheaders.constant_lines(
        headers, "//", lambda name, value: "public const {} {} = {};".format(literal(value)[0], name, literal(value)[1]),
        60, ind2)

    out.append(f"{ind2}// ---- Records ----")
    for name, (_, members, comment) in records.items():
        out += doc_lines(comment, ind2) if comment else []
        wide = any(t == "zk_wchar_t" for t, _, _ in members)
        charset = ", CharSet = CharSet.Unicode" if wide else ""
        out.append(f"{ind2}[StructLayout(LayoutKind.Sequential{charset})]")
        out.append(f"{ind2}public struct {name}")
        out.append(f"{ind2}{{")
        for t, n, d in members:
            out += member_lines(t, n, d, ind2 + ind)
        out.append(f"{ind2}}}")
        out.append("")

    count = 0
    for h in headers:
        if not any(g[0] == "exports" for g in h.groups):
            continue
        out += doc_lines(textwrap.fill(f"==== {os.path.basename(h.path)}: {h.title}", 96), ind2)
        out.append("")
        for g in h.groups:
            if g[0] == "section":
                out.append(f"{ind2}// ---- {g[1]} ----")
                out += doc_lines(g[2], ind2) if g[2] else []
                out.append("")
                continue
            out += doc_lines(g[2], ind2) if g[2] else []
            for proto in g[1]:
                count += 1
                charset = "Unicode" if proto["name"].endswith("W") else "Ansi"
                out.append(f"{ind2}[DllImport(Library, CallingConvention = CallingConvention.StdCall, "
                           f"CharSet = CharSet.{charset}, ExactSpelling = true)]")
                if proto["name"] in RELEASERS:
                    out.append(f"{ind2}// Called by the session's SafeHandle: dispose of that instead.")
                head = f"{ind2}public static extern {mapper.result(proto)} {proto['name']}("
                params = mapper.params(proto)
                one = head + ", ".join(params) + ");"
                if len(one) <= 120:
                    out.append(one)
                else:
                    out.append(head)
                    out += [f"{ind2}{ind}{p}{',' if i < len(params) - 1 else ');'}" for i, p in enumerate(params)]
            out.append("")
    while out[-1] == "":
        out.pop()
    out.append(f"{ind}}}")
    out.append("")
    out += session_classes(ind)
    friendly = open(FRIENDLY, encoding="utf-8").read()
    # The template's first line says what it is for; the generated file says it above.
    out += friendly.split("\n", 1)[1].rstrip("\n").splitlines()
    out.append("}")
    text = "\n".join(l.rstrip() for l in out) + "\n"
    text.encode("ascii")
    return {OUTPUT: text}, count


def session_classes(ind):
    lines = [f"{ind}// The sessions. A connect's result comes back as one of these, which releases the session when",
             f"{ind}// disposed, or by its finalizer when forgotten; an invalid one (IsInvalid) stands for NULL.",
             f"{ind}public abstract class MailSessionHandle : SafeHandleZeroOrMinusOneIsInvalid",
             f"{ind}{{",
             f"{ind}{ind}protected MailSessionHandle() : base(true) {{ }}",
             f"{ind}}}",
             ""]
    for handle, _, cls, release in SESSIONS:
        base = "MailSessionHandle" if handle == "MailHandle" else "SafeHandleZeroOrMinusOneIsInvalid"
        ctor = "" if handle == "MailHandle" else " : base(true)"
        lines += [f"{ind}public sealed class {cls} : {base}",
                  f"{ind}{{",
                  f"{ind}{ind}public {cls}(){ctor} {{ }}",
                  "",
                  f"{ind}{ind}protected override bool ReleaseHandle()",
                  f"{ind}{ind}{{",
                  f"{ind}{ind}{ind}NativeMethods.{release}(handle);",
                  f"{ind}{ind}{ind}return true;",
                  f"{ind}{ind}}}",
                  f"{ind}}}",
                  ""]
    return lines
