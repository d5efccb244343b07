"""headers.py -- reads include/zknet/*.h for the binding generators: per header its title, the
#define constants, the records (typedef struct with members), the opaque handles, the callback
types, and the exports grouped as the header groups them, each group with the comment after it.

The headers are written to be read this way: one prototype per ZK_EXPORT statement, a comment
after each group, "---- Title ----" comments for sections.
"""
import os
import re
import sys


class Header:
    def __init__(self, path):
        self.path = path
        self.title = ""
        self.defines = []      # (name, value text, comment)
        self.records = []      # (name, [(ctype, member, dims)], comment)
        self.opaque = []
        self.callbacks = []    # prototypes of the callback types, with their comment
        self.groups = []       # ("section", title, note) or ("exports", [prototype], comment)
        self.last_comment = ""


def clean_comment(text):
    body = re.sub(r"^/\*|\*/$", "", text.strip()).strip()
    lines = [re.sub(r"^\s*\*?\s?", "", l).rstrip() for l in body.splitlines()]
    return "\n".join(l for l in lines).strip()


def parse_header(path):
    h = Header(path)
    text = open(path, encoding="ascii").read()
    token = re.compile(r"/\*.*?\*/|#[^\n]*|typedef\s+struct\s+\w+\s*\{.*?\}\s*\w+\s*;|"
                       r"typedef\s+struct\s+\w+\s+\w+\s*;|typedef\s+\w+\s*\(\s*ZK_API\s*\*\s*\w+\s*\)[^;]*;|"
                       r"ZK_EXPORT\b[^;]*;", re.S)
    pending = None   # exports waiting for the comment that follows them
    first_comment = True
    for m in token.finditer(text):
        t = m.group(0)
        if t.startswith("/*"):
            c = clean_comment(t)
            if first_comment:
                h.title = c.split(" -- ", 1)[-1].replace("\n", " ")
                first_comment = False
                continue
            sec = re.fullmatch(r"-{3,}\s*(.*?)\s*-{3,}(.*)", c, re.S)
            if sec:
                pending = flush(h, pending, "")
                h.groups.append(("section", sec.group(1), sec.group(2).strip()))
                continue
            if pending:
                pending = flush(h, pending, c)
            else:
                h.last_comment = c
            continue
        pending = flush(h, pending, "") if not t.startswith("ZK_EXPORT") else pending
        if t.startswith("#"):
            d = re.match(r"#define\s+((?:ZK|ZKNET)_\w+)\s+(-?(?:0[xX][0-9a-fA-F]+|\d+)|\"[^\"]*\")\s*(/\*(.*?)\*/)?\s*$", t)
            if d:
                h.defines.append((d.group(1), d.group(2), (d.group(4) or "").strip()))
        elif re.match(r"typedef\s+\w+\s*\(", t):
            # A callback's type: the caller passes a function's address (AddressOf).
            cb = parse_prototype(path, re.sub(r"typedef\s+(\w+)\s*\(\s*ZK_API\s*\*\s*(\w+)\s*\)",
                                              r"ZK_EXPORT \1 ZK_API \2", " ".join(t.split())))
            cb["comment"] = h.last_comment
            h.callbacks.append(cb)
        elif t.startswith("typedef"):
            r = re.match(r"typedef\s+struct\s+(\w+)\s*\{(.*?)\}\s*(\w+)\s*;", t, re.S)
            if r:
                members = []
                body = re.sub(r"/\*.*?\*/", "", r.group(2), flags=re.S)
                for decl in body.split(";"):
                    decl = " ".join(decl.split())
                    if not decl:
                        continue
                    md = re.fullmatch(r"(?:const\s+)?([\w\s]*?\w)\s*(\**)\s*(\w+)((?:\[\d+\])*)", decl)
                    if not md:
                        sys.exit(f"{path}: cannot read the member '{decl}' of {r.group(3)}")
                    dims = [int(n) for n in re.findall(r"\[(\d+)\]", md.group(4))]
                    members.append((md.group(1) + md.group(2), md.group(3), dims))
                h.records.append((r.group(3), members, h.last_comment))
            else:
                h.opaque.append(re.match(r"typedef\s+struct\s+\w+\s+(\w+)", t).group(1))
        else:
            proto = parse_prototype(path, t)
            pending = (pending or []) + [proto]
        h.last_comment = ""
    flush(h, pending, "")
    return h


def flush(h, pending, comment):
    if pending:
        h.groups.append(("exports", pending, comment))
    return None


def parse_prototype(path, text):
    t = " ".join(text.split())
    m = re.fullmatch(r"ZK_EXPORT (.+?)\s*ZK_API (\w+)\s*\((.*)\)\s*;", t)
    if not m:
        sys.exit(f"{path}: cannot read the prototype '{t}'")
    params = []
    if m.group(3).strip() not in ("", "void"):
        for p in m.group(3).split(","):
            pm = re.fullmatch(r"\s*(?:const\s+)?(\w+)\s*(\**)\s*(?:const\s+)?(\w+)\s*", p)
            if not pm:
                sys.exit(f"{path}: cannot read the parameter '{p}' of {m.group(2)}")
            params.append((pm.group(1), len(pm.group(2)), pm.group(3)))
    rm = re.fullmatch(r"(?:const\s+)?(\w+)\s*(\**)", m.group(1).strip())
    return {"name": m.group(2), "result": (rm.group(1), len(rm.group(2))), "params": params}


def header_order(include):
    """The family headers in the order zknet.h includes them."""
    main = os.path.join(include, "zknet.h")
    names = re.findall(r'#include\s+"(\w+\.h)"', open(main, encoding="ascii").read())
    rest = sorted(f for f in os.listdir(include) if f.endswith(".h") and f not in names and f != "zknet.h")
    return [os.path.join(include, n) for n in names + rest]


def read(include):
    """Every header of the directory, in the order zknet.h includes them."""
    return [parse_header(p) for p in header_order(include)]


def comment_lines(text, marker, indent=""):
    """A comment's lines in a language's line-comment form (marker "'", "//", "#"). The bindings are
    plain ASCII whatever a header's comment holds: anything else becomes "?"."""
    out = []
    for line in text.splitlines():
        line = line.encode("ascii", "replace").decode()
        out.append(f"{indent}{marker} {line}".rstrip())
    return out


def constant_lines(parsed, marker, declare, column, indent=""):
    """Each header's #define constants as a block headed "---- Constants of file.h ----": one line
    `declare(name, value text)` each, its comment from `column` on."""
    out = []
    for h in parsed:
        if not h.defines:
            continue
        out.append(f"{indent}{marker} ---- Constants of {os.path.basename(h.path)} ----")
        for name, value, comment in h.defines:
            line = indent + declare(name, value)
            out.append(f"{line:<{column}}{marker} {comment}" if comment else line)
        out.append("")
    return out
