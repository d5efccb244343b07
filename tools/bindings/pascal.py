"""pascal.py -- the Delphi / Free Pascal binding: bindings/pascal/zknet.pas, one unit declaring every
zknet export (stdcall from zknet.dll on Windows, cdecl from libzknet.so elsewhere), the constants,
the records laid out as C lays them out, the opaque handles as pointer types of their own, the
progress callback's type, and a few helpers for what the library hands out by address.
"""
import os
import sys
import textwrap

import headers as zkheaders

# What this binding writes, relative to the project's root.
OUTPUT = "bindings/pascal/zknet.pas"

# The calling convention of every export and of the callback: ZK_API is stdcall on 32-bit Windows;
# on 64-bit Windows Delphi and Free Pascal ignore stdcall, leaving the one x64 convention.
CALL = "{$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}"

# Words Delphi or Free Pascal keep for themselves, and type names a parameter would hide: a C name
# among them gets "_" appended.
RESERVED = set("""
and array as asm begin case class const constructor destructor dispinterface div do downto else end
except exports file finalization finally for function goto if implementation in inherited
initialization inline interface is label library mod nil not object of or out packed procedure
program property raise record repeat resourcestring set shl shr string then threadvar to try type
unit until uses var while with xor absolute operator reintroduce self result on
byte word integer cardinal pointer boolean char
""".split())

INTEGERS = {"int32_t": "Int32", "uint32_t": "UInt32", "int": "Int32", "int16_t": "Int16",
            "uint16_t": "Word", "uint8_t": "Byte", "int64_t": "Int64"}

# A pointer to one of these: the typed pointer of Delphi's and Free Pascal's System unit.
POINTERS = {"char": "PAnsiChar", "zk_wchar_t": "PWideChar", "void": "Pointer", "uint8_t": "PByte",
            "uint16_t": "PWord", "int32_t": "PInteger", "uint32_t": "PCardinal"}

MEMBERS = {"char": "AnsiChar", "zk_wchar_t": "WideChar"}


def pas_name(c_name):
    return c_name + "_" if c_name.lower() in RESERVED else c_name


class Mapper:
    def __init__(self, records, opaque, callbacks):
        self.records = set(records)
        self.opaque = set(opaque)
        self.callbacks = set(callbacks)

    def type_of(self, base, stars, where):
        if stars == 0 and base in self.callbacks:
            return "T" + base
        if stars == 0 and base in INTEGERS:
            return INTEGERS[base]
        if stars == 1 and (base in self.records or base in self.opaque):
            return "P" + base
        if stars == 1 and base in POINTERS:
            return POINTERS[base]
        if stars == 2 and base == "void":
            return "PPointer"
        sys.exit(f"{where}: no Pascal type for {base}{'*' * stars}")


def comment_lines(text, indent=""):
    return zkheaders.comment_lines(text, "//", indent)


def wrap(head, pieces, tail, indent):
    """head + pieces joined by "; " + tail, broken into lines of at most about 110 characters."""
    one = head + "; ".join(pieces) + tail
    if len(one) <= 110:
        return [one]
    lines, current = [], head
    for i, p in enumerate(pieces):
        last = i == len(pieces) - 1
        piece = p + (tail if last else "; ")
        if len(current) + len(piece) > 110 and current.strip() != head.strip():
            lines.append(current.rstrip())
            current = indent
        current += piece
    lines.append(current)
    return lines


def declaration(proto, mapper):
    name = proto["name"]
    params = [f"{pas_name(n)}: {mapper.type_of(b, s, name)}" for b, s, n in proto["params"]]
    base, stars = proto["result"]
    if (base, stars) == ("void", 0):
        head, result = f"procedure {name}", ""
    else:
        head, result = f"function {name}", ": " + mapper.type_of(base, stars, name)
    head += "(" if params else ""
    tail = (")" if params else "") + result + ";"
    lines = wrap(head, params, tail, "  ")
    lines.append(f"  {CALL}; external ZknetLib name '{name}';")
    return lines


def record_block(name, members, comment, mapper):
    lines = comment_lines(comment, "  ") if comment else []
    lines.append(f"  P{name} = ^T{name};")
    lines.append(f"  T{name} = record")
    for ctype, member, dims in members:
        if ctype.endswith("*"):
            base = ctype.rstrip("*")
            ptype = mapper.type_of(base, len(ctype) - len(base), name)
        elif ctype in MEMBERS:
            ptype = MEMBERS[ctype]
        elif ctype in INTEGERS:
            ptype = INTEGERS[ctype]
        else:
            sys.exit(f"no Pascal type for the member {ctype} {member} of {name}")
        if dims:
            ptype = f"array[{', '.join(f'0..{d - 1}' for d in dims)}] of {ptype}"
        lines.append(f"    {pas_name(member)}: {ptype};")
    lines.append("  end;")
    return lines


def constant(name, value, comment):
    literal = value if not value.startswith('"') else "'" + value[1:-1].replace("'", "''") + "'"
    if value.lower().startswith("0x"):
        literal = "$" + value[2:].upper()
    line = f"  {name} = {literal};"
    return f"{line:<40}// {comment}" if comment else line


HEAD = """\
// zknet.pas -- declarations of every export of zknet for Delphi and Free Pascal: constants,
// records, handle types, the progress callback's type and one external declaration per export.
// Generated from include/zknet/*.h by tools/make-bindings.py; change the headers and re-run it
// rather than editing this file.
//
// Windows: loads zknet.dll (the 32-bit DLL for 32-bit programs, stdcall; the 64-bit one for 64-bit
// programs). Linux: links libzknet.so (Free Pascal: -Fl with its folder; at run time it must be
// found, as through LD_LIBRARY_PATH). Free Pascal compiles the unit in Delphi mode whatever the
// program's mode; Delphi needs XE2 or later.
//
// Texts: the A forms take PAnsiChar in the ANSI code page (932 on Japanese Windows; Shift_JIS on
// Linux as well), the W forms PWideChar, UTF-16: PWideChar(s) of a UnicodeString s. Output buffers are arrays of AnsiChar or WideChar passed with their length in characters.
// Records go by address (@rec); nil where the C interface takes NULL. Lists the library fills are
// released by it: ZK_SocketDeleteMStringA/W, ZK_MailListFreeA/W, ZK_TelnetDelListA/W, texts with
// ZK_SocketDeleteString or ZK_MailRecvFree.
unit zknet;

{$IFDEF FPC}
  {$MODE DELPHI}
  {$PACKRECORDS C}
{$ELSE}
  {$ALIGN 8}
{$ENDIF}

interface

const
{$IFDEF MSWINDOWS}
  ZknetLib = 'zknet.dll';
{$ELSE}
  {$IFDEF FPC}
  ZknetLib = 'zknet';        // links libzknet.so
  {$ELSE}
  ZknetLib = 'libzknet.so';
  {$ENDIF}
{$ENDIF}
"""

HELPERS_INTERFACE = """\
// ---- Helpers: what the library hands out by address ----

// Slot i (from 0) of a list's items (TMStringList, TTelnetLineList): a PAnsiChar from the A forms,
// a PWideChar from the W forms.
function ZkItem(items: PPointer; i: Int32): Pointer;
"""

REPLY_INTERFACE = """\
// The family's last server reply (ZK_FtpQueryLastResponseMessageW, ZK_MailQueryLastResponseMessageW),
// to go with its last error code in a message.
function ZkFtpLastReply: UnicodeString;
function ZkMailLastReply: UnicodeString;
"""

REPLY_IMPLEMENTATION = """\
function ZkFtpLastReply: UnicodeString;
var
  reply: array[0..1023] of WideChar;
begin
  ZK_FtpQueryLastResponseMessageW(@reply[0], Length(reply));
  Result := PWideChar(@reply[0]);
end;

function ZkMailLastReply: UnicodeString;
var
  reply: array[0..1023] of WideChar;
begin
  ZK_MailQueryLastResponseMessageW(@reply[0], Length(reply));
  Result := PWideChar(@reply[0]);
end;
"""

MAIL_INTERFACE = """\
// Entry i (from 0) of a mailbox listing made by ZK_MailBoxA / ZK_MailBoxW.
function ZkMailEntryA(const list: TMailList; i: Int32): PMailListEntryA;
function ZkMailEntryW(const list: TMailList; i: Int32): PMailListEntryW;
"""

HELPERS_IMPLEMENTATION = """\
function ZkItem(items: PPointer; i: Int32): Pointer;
begin
  Result := PPointer(PAnsiChar(items) + i * SizeOf(Pointer))^;
end;
"""

MAIL_IMPLEMENTATION = """\
function ZkMailEntryA(const list: TMailList; i: Int32): PMailListEntryA;
begin
  Result := PMailListEntryA(PAnsiChar(list.entries) + i * SizeOf(TMailListEntryA));
end;

function ZkMailEntryW(const list: TMailList; i: Int32): PMailListEntryW;
begin
  Result := PMailListEntryW(PAnsiChar(list.entries) + i * SizeOf(TMailListEntryW));
end;
"""


def generate(headers):
    """{OUTPUT: the unit's text}, and the number of exports declared."""
    records = {r[0]: r for h in headers for r in h.records}
    opaque = [o for h in headers for o in h.opaque]
    callbacks = [c for h in headers for c in h.callbacks]
    mapper = Mapper(records, opaque, [c["name"] for c in callbacks])
    out = HEAD.splitlines() + [""]

    for h in headers:
        if not h.defines:
            continue
        out.append(f"// ---- Constants of {os.path.basename(h.path)} ----")
        out.append("const")
        out += [constant(*d) for d in h.defines]
        out.append("")

    out.append("type")
    out.append("  // The handles: addresses of records the library keeps to itself.")
    for name in opaque:
        out.append(f"  T{name} = record end;")
        out.append(f"  P{name} = ^T{name};")
    out.append("")
    for cb in callbacks:
        out += comment_lines(cb["comment"], "  ")
        params = [f"{pas_name(n)}: {mapper.type_of(b, s, cb['name'])}" for b, s, n in cb["params"]]
        out += wrap(f"  T{cb['name']} = function(", params, f"): {mapper.type_of(*cb['result'], cb['name'])};",
                    "    ")
        out.append(f"    {CALL};")
        out.append("")
    for name, members, comment in records.values():
        out += record_block(name, members, comment, mapper) + [""]

    for h in headers:
        family = [g for g in h.groups if g[0] == "exports"]
        if not family:
            continue
        out += comment_lines(textwrap.fill(f"==== {os.path.basename(h.path)}: {h.title}", 98))
        out.append("")
        for g in h.groups:
            if g[0] == "section":
                out.append(f"// ---- {g[1]} ----")
                out += comment_lines(g[2])
                out.append("")
                continue
            for proto in g[1]:
                out += declaration(proto, mapper)
            out += comment_lines(g[2], "  ")
            out.append("")

    mail = {"MailList", "MailListEntryA", "MailListEntryW"} <= set(records)
    names = {p["name"] for h in headers for g in h.groups if g[0] == "exports" for p in g[1]}
    replies = {"ZK_FtpQueryLastResponseMessageW", "ZK_MailQueryLastResponseMessageW"} <= names
    out += HELPERS_INTERFACE.splitlines() + (MAIL_INTERFACE.splitlines() if mail else [])
    out += REPLY_INTERFACE.splitlines() if replies else []
    out += ["", "implementation", ""]
    out += HELPERS_IMPLEMENTATION.splitlines() + ([""] + MAIL_IMPLEMENTATION.splitlines() if mail else [])
    out += [""] + REPLY_IMPLEMENTATION.splitlines() if replies else []
    out += ["", "end."]
    text = "\n".join(l.rstrip() for l in out) + "\n"
    text.encode("ascii")
    return {OUTPUT: text}, sum(len(g[1]) for h in headers for g in h.groups if g[0] == "exports")
