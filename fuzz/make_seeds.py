#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora (seeds/<target>/) from the inputs the text tests use,
including the header values of tests/text/encoded_word_cases.inc and the messages of
tests/mail/make_message_cases.py. Each seed is two bytes of output size (little-endian) followed by
the text. Run again after the tests gain cases."""
import ast
import base64
import os
import re
import shutil
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = os.path.join(HERE, "..", "tests", "text", "encoded_word_cases.inc")
MAKE_MESSAGES = os.path.join(HERE, "..", "tests", "mail", "make_message_cases.py")

JIS = [b"\x1b$B0!\x1b(B", b"a\x1b$B0!\x1b(Bb\x1b$B0!0!\x1b(B", b"\x1b$@0!\x1b(B", b"\x1b&@\x1b$B0!\x1b(Bx",
       b"\x1b$(D0!\x1b(B", b"\x1b$B0!\x1b(I12", b"\x1b$B0!\x1b(Jab", b"ab\x1b$B", b"\x1b$B\x1b(Babc",
       b"\x1b$B0!0", b"\x1b$B\r\n0!\x1b(B", "日本語の件名、ｶﾀｶﾅ".encode("iso-2022-jp-ext")]
EUC = [b"\xb0\xa1", b"a\xb0\xa1b", b"\x8e\xb1\x8e\xb2", b"\x8f\xb0\xa1z", b"a\xb0", b"a\x8f\xb0",
       "会議のお知らせ ｶﾀｶﾅ 鷗外".encode("euc_jp")]
SJIS = [b"Hello", b"\x88\x9f", b"a\x88\x9fb\x88\x9f\x88\x9f", b"\xb1\xb2x", b"a\x88", b"\x88 a",
        b"a\x88\x9f\xfa\x40b", b"\x87\x40", "会議のお知らせ①ｶﾀｶﾅ".encode("cp932")]
BODY = [b"", b"x", b".\n", b"\n.\n..two\r.three\r\nend", b"a\tb\x01c", b"\x93\xfa\x96\x7b\n.\x93\xfa",
        b"123456789\x93\xfa", b"\xfa\x40\xfb\xfc\xf0\x40", b"abc\x93", b"\xb1\xb2\x80\xfd",
        "これは、折り返しの試験です。abc日本語の文章とASCII text、混在。\n.\n二行目。".encode("cp932")]
HEADER_TEXTS = ["山田 太郎 <taro@example.jp>, \"佐藤, 次郎\" <j@x>, c@z (C, 係)".encode("cp932"),
                "ｶﾞｷﾞﾊﾟ ﾃｽﾄの件名".encode("cp932"), ("長い件名" * 40).encode("cp932"), b"=?x?= <a\x88>",
                "\"表\" <a@b>, 山田 t@x".encode("cp932")]
UTF8 = [b"\xe4\xba\x9c", b"a\xe3\x81\x82", b"\xe2\x91\xa0", b"\xf0\x9f\x98\x80", b"\xe6\x97", b"\xed\xa0\x80",
        "日本語 text ｶﾀｶﾅ".encode()]
QP = [b"a=3Db=3d", b"ab=\r\ncd", b"ab=\ncd", b"=1B$B0!=1B(B", b"a_b", b"a=\rb=G0=4", b"ab="]


def b64(items):
    return [base64.b64encode(x) for x in items] + [b"TW\r\nFu T\tWE=", b"TWFuTWE", b"TWFu==AA", b"TQ==TQ=="]


def header_values():
    values = [b"Hello", b"=?UTF-8?B?5pel?= =?UTF-8?B?5pys?=", b"=?ISO-2022-JP?Q?a_b?=", b"=?UTF-8?B?5pel",
              b"ab=?UTF-8?B?", b"=?ISO-2022-JP?B?GyRCMA==?= =?ISO-2022-JP?B?IRsoQg==?="]
    with open(CASES) as f:
        for line in f:
            m = re.match(r'\{("(?:[^"\\]|\\.)*"), ("(?:[^"\\]|\\.)*"), ', line)
            if m:
                text = re.sub(r"\\([0-7]{3})", lambda o: "\\x%02x" % int(o.group(1), 8), m.group(2))
                values.append(ast.literal_eval(text).encode("latin-1"))
    return values


def c_literal(text):
    text = re.sub(r"\\([0-7]{3})", lambda o: "\\x%02x" % int(o.group(1), 8), text)
    return ast.literal_eval(text).encode("latin-1")


def messages():
    """The message texts of the mail corpus: the second item of each case, its literals joined."""
    with tempfile.TemporaryDirectory() as d:
        made = os.path.join(d, "message_cases.inc")
        subprocess.run(["/usr/bin/python3", MAKE_MESSAGES, made], check=True, stdout=subprocess.DEVNULL)
        with open(made) as f:
            source = "".join(line for line in f if not line.lstrip().startswith("//"))
    found = []
    for case in re.split(r"^\{", source, flags=re.M)[1:]:
        literals = re.findall(r'(u?"(?:[^"\\]|\\.)*")|(,)', case)
        items, current = [], b""
        for literal, comma in literals:
            if comma:
                items.append(current)
                current = b""
                if len(items) == 2:
                    break
            else:
                current += c_literal(literal)
        found.append(items[1])
    return found


def mail_texts():
    shapes = [b"Subject: abc\r\n\r\nbody", b"Subject: a\r\n\tb\r\nSubject:\r\n c\r\n",
              b"Subject:\x93\xfa\r\nX: " + b"q" * 1100 + b"\r\n\r\n", b"A: 1\rB: 2\r\n\r", b"\r\n\r\nx"]
    return shapes + messages()


DATES = [b"Date: " + d + b"\r\n" for d in (b"Tue, 15 Nov 1994 08:12:31 +0900", b"tue, 5 nov 94 8:1:2 GMT",
                                            b"15 Nov 1994 08:12:31", b"Tue,  5 Nov 1994 08:12", b"Tue, 15",
                                            b"Tue, -1 Foo 99999999999 -3:-4:-5 (x)", b"\x93\xfa, 1 \x93\xfa 2")]

POP3 = [b"Subject: x\r\n\r\nhello\r\n.\r\n", b"a\r\n..\r\n...\r\n..x\r\n.y\r\n.\r\n+OK next\r\n",
        b"A: b\n\nbody\n.\n", b"a\rb\r\nc\x00d\r\n.\x00\r\n.\r\r\n", b".\r\n", b"x\r\n..\r\n",
        b"L" * 3000 + b"\r\n.\r\n"]

TARGETS = {
    "fuzz_jis_to_sjis": JIS,
    "fuzz_euc": EUC,
    "fuzz_sjis_to_jis": SJIS,
    "fuzz_utf8": UTF8,
    "fuzz_base64": b64(JIS + EUC + UTF8),
    "fuzz_quoted_printable": QP,
    "fuzz_encoded_words": header_values(),
    "fuzz_mail_header": mail_texts(),
    "fuzz_mail_body": mail_texts(),
    "fuzz_mail_date": DATES + messages(),
    "fuzz_fold": SJIS + BODY,
    "fuzz_body": BODY,
    "fuzz_header_words": SJIS + HEADER_TEXTS,
    "fuzz_pop3_message": POP3,
    "fuzz_transport_lines": POP3 + [b"220 a\r\n220 b\nc\rd\r\r\n\r\n", b"x" * 10 + b"\r", b"\r\n\n\r"],
}

for target, inputs in TARGETS.items():
    folder = os.path.join(HERE, "seeds", target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for i, text in enumerate(inputs):
        text = text[:4094]  # the targets run with inputs of at most 4096 bytes
        if target in ("fuzz_pop3_message", "fuzz_transport_lines"):
            sizes = {1, 7, 4096}  # the size of the pieces the stream arrives in
        elif target == "fuzz_mail_date":
            sizes = {len(text) + 1}
        elif target.startswith("fuzz_mail"):
            sizes = {len(text) + 1, 64}  # a message's own size, and one it does not fit
        else:
            sizes = {len(text) + 1, 3 * len(text) + 1, 4096}
        for size in sorted(sizes):
            with open(os.path.join(folder, "%03d_%d" % (i, size)), "wb") as out:
                out.write(bytes([(size - 1) & 0xFF, (size - 1) >> 8]) + text)
print("seeds written")
