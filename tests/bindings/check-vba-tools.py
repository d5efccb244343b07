#!/usr/bin/python3
"""check-vba-tools.py -- the VBA tools themselves: the committed module is what tools/make-bindings.py
makes of today's headers; the generator copes with exports of every shape the mail family brings
(an opaque session handle, record lists, a returned text, VBA words such as To and Type as
parameter names) and its module passes check-vba.py; and check-vba.py refuses modules with the
faults that would crash or mislead a VBA caller.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
GENERATOR = os.path.join(ROOT, "tools", "make-bindings.py")
CHECKER = os.path.join(ROOT, "tests", "bindings", "check-vba.py")
BAS_FILE = os.path.join(ROOT, "bindings", "vba", "zknet.bas")

failures = []


def run(*args):
    p = subprocess.run([sys.executable, *args], capture_output=True, text=True, timeout=120)
    return p.returncode, p.stdout + p.stderr


def expect(condition, what, output=""):
    print(("ok    " if condition else "FAIL  ") + what)
    if not condition:
        failures.append(what)
        if output:
            print("      " + output.strip().replace("\n", "\n      ")[:3000])


def tree(d, edits=()):
    """A copy of the interface files in d, with the edits (file, old text, new text) made."""
    for rel in ("include/zknet", "exports", "tests/exports", "bindings/vba"):
        shutil.copytree(os.path.join(ROOT, rel), os.path.join(d, rel))
    for rel, old, new in edits:
        data = open(os.path.join(d, rel), "rb").read().decode("ascii")
        if old not in data:
            raise SystemExit(f"case set-up: '{old}' is not in {rel}")
        open(os.path.join(d, rel), "wb").write(data.replace(old, new, -1 if old == "\r\n" else 1).encode("ascii"))
    return d


# 1. The committed module is the generator's output for today's headers, byte for byte.
with tempfile.TemporaryDirectory() as d:
    out = os.path.join(d, "bindings", "vba", "zknet.bas")
    rc, text = run(GENERATOR, "--root", d, "vba")
    same = rc == 0 and open(out, "rb").read() == open(BAS_FILE, "rb").read()
    expect(same, "bindings/vba/zknet.bas is what tools/make-bindings.py makes of include/zknet/*.h", text)

# 2. Exports of new shapes (handles and records of the mail family, returned texts, a hexadecimal
# constant, parameter names that are VBA words), under names no header uses, generated and checked.
MAIL = """
#define ZK_PROBE_NO_SESSION 1  /* null handle */
#define ZK_PROBE_MASK 0xFFFF
ZK_EXPORT MailHandle *ZK_API ZK_MailProbeConnectA(const char *host, const char *user, const char *password,
                                                  int32_t port, uint16_t family);
ZK_EXPORT MailHandle *ZK_API ZK_MailProbeConnectW(const zk_wchar_t *host, const zk_wchar_t *user,
                                                  const zk_wchar_t *password, int32_t port, uint16_t family);
/* Connects and logs in. */
ZK_EXPORT int32_t ZK_API ZK_MailProbeBoxA(MailHandle *handle, MailList *list, uint32_t headers);
ZK_EXPORT void ZK_API ZK_MailProbeListFreeW(MailList *list);
ZK_EXPORT char *ZK_API ZK_MailProbeRecv(MailHandle *handle, int32_t number);
ZK_EXPORT int32_t ZK_API ZK_MailProbeSendA(MailHandle *handle, const char *helo, const char *from, const char *to,
                                           const char *subject, const char *body, int32_t width);
ZK_EXPORT void ZK_API ZK_MailProbeSetTypeW(MailHandle *handle, const zk_wchar_t *type, const zk_wchar_t *charset,
                                           const zk_wchar_t *format, const zk_wchar_t *reply_type);
/* Shapes of new exports. */

ZK_EXTERN_C_END
"""
MAIL_DEF = """    ZK_MailProbeConnectA@20
    ZK_MailProbeConnectW@20
    ZK_MailProbeBoxA@12
    ZK_MailProbeListFreeW@4
    ZK_MailProbeRecv@8
    ZK_MailProbeSendA@28
    ZK_MailProbeSetTypeW@20
"""
with tempfile.TemporaryDirectory() as d:
    tree(d, [("include/zknet/mail.h", "\nZK_EXTERN_C_END\n", MAIL),
             ("exports/zknet.def", "; ---- ZK_Telnet ----", MAIL_DEF + "; ---- ZK_Telnet ----")])
    rc, text = run(CHECKER, "--root", d)
    expect(rc != 0 and "ZK_MailProbeBoxA (mail.h) is not declared" in text
           and "re-run `/usr/bin/python3 tools/make-bindings.py vba`" in text,
           "a module older than the headers is refused with the advice to re-run the generator", text)
    rc, text = run(GENERATOR, "--include", os.path.join(d, "include/zknet"), "--root", d, "vba")
    expect(rc == 0, "the generator reads the new prototypes", text)
    rc, text = run(CHECKER, "--root", d)
    expect(rc == 0, "the regenerated module passes the checker", text)
    bas = open(os.path.join(d, "bindings/vba/zknet.bas"), "rb").read().decode("ascii")
    bas = re.sub(r" _\r\n\s*", " ", bas)  # a declaration continued over lines, read as one
    expect(all(p in bas for p in ("ByVal toValue As String", "ByVal typeValue As LongPtr", "ByVal widthValue As Long")),
           "VBA words among the C parameter names are renamed", "")

# 3. Faults the checker must refuse: (what, expected words in the report, [(file, old, new)]).
BAS = "bindings/vba/zknet.bas"
CASES = [
    ("a W text passed as String", "not UTF-16",
     [(BAS, 'ZK_SocketOpenClientW Lib "zknet.dll" (ByVal kind As Long, _\r\n        ByVal host As LongPtr',
       'ZK_SocketOpenClientW Lib "zknet.dll" (ByVal kind As Long, _\r\n        ByVal host As String')]),
    ("an integer passed ByRef", "integers go ByVal",
     [(BAS, 'ZK_SocketOpen Lib "zknet.dll" (ByVal family As Integer',
       'ZK_SocketOpen Lib "zknet.dll" (family As Integer')]),
    ("a 16-bit family declared Long", "argument 1 of ZK_SocketOpen",
     [(BAS, 'ZK_SocketOpen Lib "zknet.dll" (ByVal family As Integer',
       'ZK_SocketOpen Lib "zknet.dll" (ByVal family As Long')]),
    ("a 64-bit handle declared Long", "cuts a 64-bit address in half",
     [(BAS, 'ZK_FtpDisconnect Lib "zknet.dll" (ByVal session As LongPtr)',
       'ZK_FtpDisconnect Lib "zknet.dll" (ByVal session As Long)')]),
    ("a handle result declared Long", "ZK_SocketAccept returns",
     [(BAS, "ByVal listener As LongPtr) As LongPtr", "ByVal listener As LongPtr) As Long")]),
    ("a missing argument", "takes 2 arguments",
     [(BAS, 'ZK_SocketConnectServer Lib "zknet.dll" (ByVal handle As LongPtr, _\r\n        ByVal port As Long)',
       'ZK_SocketConnectServer Lib "zknet.dll" (ByVal handle As LongPtr)')]),
    ("a void export declared as a Function", "must be a Sub",
     [(BAS, 'Public Declare PtrSafe Sub ZK_FtpClearLastErrorCode Lib "zknet.dll" ()',
       'Public Declare PtrSafe Function ZK_FtpClearLastErrorCode Lib "zknet.dll" () As Long')]),
    ("a missing export", "ZK_NicGetNicNumber (nic.h) is not declared",
     [(BAS, "Declare PtrSafe Function ZK_NicGetNicNumber Lib", "Declare PtrSafe Function ZK_NicGetNicNumberX Lib")]),
    ("a Declare without PtrSafe under VBA7", "needs PtrSafe",
     [(BAS, "Public Declare PtrSafe Function ZK_NicGetNicNumber", "Public Declare Function ZK_NicGetNicNumber")]),
    ("LongPtr in the VB6 branch", "knows no LongPtr",
     [(BAS, 'Public Declare Sub ZK_FtpDisconnect Lib "zknet.dll" (ByVal session As Long)',
       'Public Declare Sub ZK_FtpDisconnect Lib "zknet.dll" (ByVal session As LongPtr)')]),
    ("a record member of the wrong width", "FtpFileDate.month lies at 4",
     [(BAS, "Public Type FtpFileDate\r\n    year As Integer", "Public Type FtpFileDate\r\n    year As Long")]),
    ("a fixed-length String for a char array", "fixed-length String",
     [(BAS, "    from(0 To 639) As Byte", "    from As String * 640")]),
    ("a char array one short", "MacAddressList.addresses lies at 4 and takes 95 bytes",
     [(BAS, "    addresses(0 To 95) As Byte", "    addresses(0 To 94) As Byte")]),
    ("a pointer member declared Long under VBA7", "Type MStringList is 8 bytes, the C record 16",
     [(BAS, "    items As LongPtr", "    items As Long")]),
    ("a constant of another value", "the constant ZK_FTP_CHMOD_FAILED is 22, 23 in the headers",
     [("include/zknet/ftp.h", "#define ZK_FTP_CHMOD_FAILED    22", "#define ZK_FTP_CHMOD_FAILED    23")]),
    ("a hexadecimal literal that VBA reads as a negative Integer", "ZKNET_VERNUM is -4096, 61440 in the headers",
     [("include/zknet/zkconf.h", "#define ZKNET_VERNUM 0x1000", "#define ZKNET_VERNUM 0xF000"),
      (BAS, "Public Const ZKNET_VERNUM As Long = 4096", "Public Const ZKNET_VERNUM As Long = &HF000")]),
    ("a stack size the .def disagrees with", "passes 8 bytes, zknet.def says @12",
     [("exports/zknet.def", "ZK_NicResolveAddress@8", "ZK_NicResolveAddress@12")]),
    ("a declaration after a procedure", "after the first procedure",
     [(BAS, "End Function\r\n", "End Function\r\nPublic Const ZK_LATE As Long = 1\r\n")]),
    ("LF line ends", "CR LF", [(BAS, "\r\n", "\n")]),
    ("record_layout.c asserting another layout", "the checker is wrong",
     [("tests/exports/record_layout.c", "sizeof(MacAddressList) == 100", "sizeof(MacAddressList) == 104")]),
    ("an example calling what the module lacks", "ZK_FtpCloseSession",
     [("bindings/vba/example.bas", "ZK_FtpDisconnect session", "ZK_FtpCloseSession session")]),
    ("nothing: the unchanged interface passes, so the refusals above come from the faults", None, []),
]
for what, words, edits in CASES:
    with tempfile.TemporaryDirectory() as d:
        rc, text = run(CHECKER, "--root", tree(d, edits))
    expect(rc == 0 if words is None else rc != 0 and words in text, f"the checker refuses {what}", text)

if failures:
    print(f"{len(failures)} of the VBA tool checks failed")
    sys.exit(1)
print("VBA tools: generator up to date and complete, checker refuses every fault case")
