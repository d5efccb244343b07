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
BAS = os.path.join(ROOT, "bindings", "vba", "zknet.bas")

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


class Tree:
    """A copy of the interface files that a case may change."""

    def __init__(self, base):
        self.dir = tempfile.mkdtemp(prefix="zk-vba-")
        shutil.copytree(os.path.join(ROOT, "include", "zknet"), self.path("include/zknet"))
        os.makedirs(self.path("exports"))
        shutil.copy(os.path.join(ROOT, "exports", "zknet.def"), self.path("exports/zknet.def"))
        os.makedirs(self.path("tests/exports"))
        shutil.copy(os.path.join(ROOT, "tests", "exports", "record_layout.c"), self.path("tests/exports/record_layout.c"))
        os.makedirs(self.path("bindings/vba"))
        shutil.copy(os.path.join(ROOT, "bindings", "vba", "example.bas"), self.path("bindings/vba/example.bas"))
        shutil.copy(base, self.path("bindings/vba/zknet.bas"))

    def path(self, rel):
        return os.path.join(self.dir, rel)

    def edit(self, rel, old, new, count=1):
        p = self.path(rel)
        data = open(p, "rb").read().decode("ascii")
        if old not in data:
            raise SystemExit(f"case set-up: '{old}' is not in {rel}")
        open(p, "wb").write(data.replace(old, new, count).encode("ascii"))

    def edit_re(self, rel, pattern, new):
        p = self.path(rel)
        data = open(p, "rb").read().decode("ascii")
        changed, n = re.subn(pattern, new, data, count=1, flags=re.S)
        if not n:
            raise SystemExit(f"case set-up: /{pattern}/ is not in {rel}")
        open(p, "wb").write(changed.encode("ascii"))

    def check(self):
        return run(CHECKER, "--root", self.dir)

    def generate(self):
        return run(GENERATOR, "--include", self.path("include/zknet"), "--root", self.dir, "vba")

    def close(self):
        shutil.rmtree(self.dir)


# 1. The committed module is the generator's output for today's headers, byte for byte.
with tempfile.TemporaryDirectory() as d:
    out = os.path.join(d, "bindings", "vba", "zknet.bas")
    rc, text = run(GENERATOR, "--root", d, "vba")
    same = rc == 0 and open(out, "rb").read() == open(BAS, "rb").read()
    expect(same, "bindings/vba/zknet.bas is what tools/make-bindings.py makes of include/zknet/*.h", text)

# 2. Exports of new shapes (handles and records of the mail family, returned texts, parameter
# names that are VBA words), under names no header uses, generated and checked.
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
t = Tree(BAS)
t.edit("include/zknet/mail.h", "\nZK_EXTERN_C_END\n", MAIL)
t.edit("exports/zknet.def", "; ---- ZK_Telnet ----", MAIL_DEF + "; ---- ZK_Telnet ----")
rc, text = t.check()
expect(rc != 0 and "ZK_MailProbeBoxA (mail.h) is not declared" in text and "re-run `/usr/bin/python3 tools/make-bindings.py vba`" in text,
       "a module older than the headers is refused with the advice to re-run the generator", text)
rc, text = t.generate()
expect(rc == 0, "the generator reads the new prototypes", text)
rc, text = t.check()
expect(rc == 0, "the regenerated module passes the checker", text)
bas = open(t.path("bindings/vba/zknet.bas"), "rb").read().decode("ascii")
bas = re.sub(r" _\r\n\s*", " ", bas)  # a declaration continued over lines, read as one
expect("ByVal toValue As String" in bas and "ByVal typeValue As LongPtr" in bas and "ByVal widthValue As Long" in bas,
       "VBA words among the C parameter names are renamed", "")
expect("Public Declare PtrSafe Function ZK_MailProbeRecv Lib \"zknet.dll\" (ByVal handle As LongPtr, ByVal number As Long)"
       " As LongPtr" in bas, "a returned text comes back as an address", "")
expect("Public Const ZK_PROBE_MASK As Long = 65535" in bas, "a hexadecimal define keeps its value", "")
t.close()

# 3. Faults the checker must refuse: (what, file, old, new, expected words in the report).
VBA7 = "bindings/vba/zknet.bas"
CASES = [
    ("a W text passed as String", VBA7,
     "ZK_SocketOpenClientW Lib \"zknet.dll\" (ByVal kind As Long, _\r\n        ByVal host As LongPtr",
     "ZK_SocketOpenClientW Lib \"zknet.dll\" (ByVal kind As Long, _\r\n        ByVal host As String",
     "not UTF-16"),
    ("an integer passed ByRef", VBA7, "ZK_SocketOpen Lib \"zknet.dll\" (ByVal family As Integer",
     "ZK_SocketOpen Lib \"zknet.dll\" (family As Integer", "integers go ByVal"),
    ("a 16-bit family declared Long", VBA7, "ZK_SocketOpen Lib \"zknet.dll\" (ByVal family As Integer",
     "ZK_SocketOpen Lib \"zknet.dll\" (ByVal family As Long", "argument 1 of ZK_SocketOpen"),
    ("a 64-bit handle declared Long", VBA7, "ZK_FtpDisconnect Lib \"zknet.dll\" (ByVal session As LongPtr)",
     "ZK_FtpDisconnect Lib \"zknet.dll\" (ByVal session As Long)", "cuts a 64-bit address in half"),
    ("a handle result declared Long", VBA7, "ByVal listener As LongPtr) As LongPtr",
     "ByVal listener As LongPtr) As Long", "ZK_SocketAccept returns"),
    ("a missing argument", VBA7, "ZK_SocketConnectServer Lib \"zknet.dll\" (ByVal handle As LongPtr, _\r\n"
     "        ByVal port As Long)", "ZK_SocketConnectServer Lib \"zknet.dll\" (ByVal handle As LongPtr)",
     "takes 2 arguments"),
    ("a void export declared as a Function", VBA7, "Public Declare PtrSafe Sub ZK_FtpClearLastErrorCode Lib \"zknet.dll\" ()",
     "Public Declare PtrSafe Function ZK_FtpClearLastErrorCode Lib \"zknet.dll\" () As Long", "must be a Sub"),
    ("a missing export", VBA7, "Public Declare PtrSafe Function ZK_NicGetNicNumber Lib", "Public Declare PtrSafe Function ZK_NicGetNicNumberX Lib",
     "ZK_NicGetNicNumber (nic.h) is not declared"),
    ("a Declare without PtrSafe under VBA7", VBA7, "Public Declare PtrSafe Function ZK_NicGetNicNumber",
     "Public Declare Function ZK_NicGetNicNumber", "needs PtrSafe"),
    ("LongPtr in the VB6 branch", VBA7, "Public Declare Sub ZK_FtpDisconnect Lib \"zknet.dll\" (ByVal session As Long)",
     "Public Declare Sub ZK_FtpDisconnect Lib \"zknet.dll\" (ByVal session As LongPtr)", "knows no LongPtr"),
    ("a record member of the wrong width", VBA7, "Public Type FtpFileDate\r\n    year As Integer",
     "Public Type FtpFileDate\r\n    year As Long", "FtpFileDate.month lies at 4"),
    ("a fixed-length String for a char array", VBA7, "    from(0 To 639) As Byte", "    from As String * 640",
     "fixed-length String"),
    ("a char array one short", VBA7, "    addresses(0 To 95) As Byte", "    addresses(0 To 94) As Byte",
     "MacAddressList.addresses lies at 4 and takes 95 bytes"),
    ("a pointer member declared Long under VBA7", VBA7, "    items As LongPtr", "    items As Long",
     "Type MStringList is 8 bytes, the C record 16"),
    ("a constant of another value", "include/zknet/ftp.h", "#define ZK_FTP_CHMOD_FAILED    22",
     "#define ZK_FTP_CHMOD_FAILED    23", "ZK_FTP_CHMOD_FAILED is 22 in the module, 23 in the headers"),
    ("a hexadecimal literal that VBA reads as a negative Integer",
     [("include/zknet/zkconf.h", "#define ZKNET_VERNUM 0x1000", "#define ZKNET_VERNUM 0xF000"),
      (VBA7, "Public Const ZKNET_VERNUM As Long = 4096", "Public Const ZKNET_VERNUM As Long = &HF000")],
     None, None, "ZKNET_VERNUM is -4096 in the module, 61440 in the headers"),
    ("a stack size the .def disagrees with", "exports/zknet.def", "ZK_NicResolveAddress@8", "ZK_NicResolveAddress@12",
     "passes 8 bytes, zknet.def says @12"),
    ("a declaration after a procedure", VBA7, "End Function\r\n", "End Function\r\nPublic Const ZK_LATE As Long = 1\r\n",
     "after the first procedure"),
    ("LF line ends", VBA7, "\r\n", "\n", "CR LF"),
    ("record_layout.c asserting another layout", "tests/exports/record_layout.c", "sizeof(MacAddressList) == 100",
     "sizeof(MacAddressList) == 104", "the checker is wrong"),
    ("an example calling what the module lacks", "bindings/vba/example.bas", "ZK_FtpDisconnect session",
     "ZK_FtpCloseSession session", "ZK_FtpCloseSession"),
]
for what, rel, old, new, words in CASES:
    t = Tree(BAS)
    for rel, old, new in (rel if isinstance(rel, list) else [(rel, old, new)]):
        t.edit(rel, old, new, count=-1 if old == "\r\n" else 1)
    rc, text = t.check()
    expect(rc != 0 and words in text, f"the checker refuses {what}", text)
    t.close()

# The unchanged copy passes, so the refusals above come from the faults.
t = Tree(BAS)
rc, text = t.check()
expect(rc == 0, "the unchanged interface passes", text)
t.close()

if failures:
    print(f"{len(failures)} of the VBA tool checks failed")
    sys.exit(1)
print("VBA tools: generator up to date and complete, checker refuses every fault case")
