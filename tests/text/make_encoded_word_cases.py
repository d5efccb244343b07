#!/usr/bin/python3
"""Writes encoded_word_cases.inc: header values whose encoded words Python's email package made,
with the text Python's own decoder reads from them, as the Shift_JIS bytes DecodeEncodedWords
must give. Run with Debian's /usr/bin/python3 after changing the cases; the output is checked in
so that the Windows tests, which cannot run Python, read the same cases."""
import base64
import os
from email.charset import BASE64, QP, Charset
from email.header import Header, decode_header

HERE = os.path.dirname(os.path.abspath(__file__))

SAMPLES = [
    "日本語の件名",
    "会議のお知らせ：来週月曜日10時から第3会議室にて",
    "ｶﾀｶﾅとひらがなと漢字",
    "Re: 【重要】サーバ移行のご案内（第２報）",
    "①②③ ㈱ ≒≡∫",
]


def charset(name, codec, encoding=BASE64):
    c = Charset(name)
    c.header_encoding = encoding
    c.output_charset = name
    c.output_codec = codec
    return c


FORMS = {
    "jis_b": (lambda: Charset("iso-2022-jp"), "iso-2022-jp"),
    "jis_q": (lambda: charset("iso-2022-jp", "iso-2022-jp", QP), "iso-2022-jp"),
    "sjis_b": (lambda: charset("Shift_JIS", "shift_jis"), "cp932"),
    "sjis_q": (lambda: charset("Shift_JIS", "shift_jis", QP), "cp932"),
    "cp932_b": (lambda: charset("CP932", "cp932"), "cp932"),
    "windows31j_q": (lambda: charset("cp932", "cp932", QP), "cp932"),  # relabelled below
    "euc_q": (lambda: charset("EUC-JP", "euc-jp", QP), "euc_jp"),
    "utf8_q": (lambda: charset("utf-8", "utf-8", QP), "utf-8"),
    "euc_b": (lambda: charset("EUC-JP", "euc-jp"), "euc_jp"),
    "utf8_b": (lambda: Charset("utf-8"), "utf-8"),
}


def python_reads(value):
    """The text Python's decoder gets from a header value."""
    parts = []
    for data, cs in decode_header(value):
        if isinstance(data, str):
            parts.append(data)
        elif cs is None:
            parts.append(data.decode("ascii"))
        else:
            parts.append(data.decode({"shift_jis": "cp932", "windows-31j": "cp932"}.get(cs, cs)))
    return "".join(parts)


def unfold(value):
    """Folded lines joined with nothing between the words, as some mailers write them: the line
    break and the blanks that begin the continuation line are dropped."""
    lines = value.replace("\r\n", "\n").split("\n")
    return lines[0] + "".join(line.lstrip(" \t") for line in lines[1:])


def c_string(data):
    out = []
    for b in data:
        if 0x20 <= b < 0x7F and b not in (0x22, 0x5C, 0x3F):
            out.append(chr(b))
        else:
            out.append("\\%03o" % b)  # octal: a hex escape would swallow the letters after it
    return '"' + "".join(out) + '"'


cases = []


def add(name, value, expected_text=None, expected_bytes=None, note=None):
    if expected_bytes is None:
        text = python_reads(value) if expected_text is None else expected_text
        expected_bytes = text.encode("cp932")
    cases.append((name, value.encode("ascii", "surrogateescape") if isinstance(value, str) else value,
                  expected_bytes, note))


for form, (make, codec) in FORMS.items():
    for i, sample in enumerate(SAMPLES):
        if form == "jis_q" or form == "jis_b":
            sample = sample.replace("ｶﾀｶﾅ", "カタカナ")  # ISO-2022-JP has no half-width katakana
        if form in ("jis_b", "jis_q", "sjis_b", "sjis_q", "euc_b", "euc_q") and any(ch in sample for ch in "①②③㈱"):
            continue  # NEC row 13 exists in code page 932 only
        h = Header(sample, make(), header_name="Subject")
        folded = h.encode(maxlinelen=60)
        if form == "windows31j_q":
            folded = folded.replace("=?cp932?", "=?windows-31j?")  # a name Python has no codec for
        add("%s_%d_folded_unfolded" % (form, i), unfold(folded), python_reads(folded))
        add("%s_%d_space_separated" % (form, i), folded.replace("\n", ""), python_reads(folded))
        add("%s_%d_with_prefix" % (form, i), "Re: " + folded.replace("\n", ""))

# Characters split between adjacent words, as some mailers write them.
for i, sample in enumerate(SAMPLES[:3]):
    data = sample.encode("utf-8")
    for cut in (1, 2, 4, 7):
        words = ["=?UTF-8?B?%s?=" % base64.b64encode(part).decode()
                 for part in (data[:cut], data[cut:]) if part]
        add("utf8_split_%d_at_%d" % (i, cut), " ".join(words))
        add("utf8_split_%d_at_%d_folded" % (i, cut), "\r\n ".join(words).replace("\r\n ", ""))
jis = "日本語の件名".encode("iso-2022-jp")
for cut in (3, 4, 6, 9, len(jis) - 3):
    words = ["=?ISO-2022-JP?B?%s?=" % base64.b64encode(part).decode() for part in (jis[:cut], jis[cut:])]
    add("jis_split_at_%d" % cut, " ".join(words))
    q = "=?iso-2022-jp?q?%s?=" % "".join("=%02X" % b for b in jis[:cut])
    q += " =?iso-2022-jp?q?%s?=" % "".join("=%02X" % b for b in jis[cut:])
    add("jis_q_split_at_%d" % cut, q)

# Charsets outside the Japanese ones and UTF-8 stay exactly as they stand in the header.
for value in ("=?iso-8859-1?q?caf=E9?=", "=?windows-1252?b?Y2Fm6Q==?="):
    add("untouched_" + value.split("?")[1] + "_" + value.split("?")[2], value, expected_text=value,
        note="not a charset the library reads; Python decodes it")

# Different forms side by side, each converted on its own.
mixed = " ".join([
    Header("日本", "utf-8").encode(),
    Header("語", Charset("iso-2022-jp")).encode(),
    "=?EUC-JP?B?%s?=" % base64.b64encode("です".encode("euc_jp")).decode(),
])
add("mixed_forms", mixed)

# JIS X 0212 in EUC-JP has no Shift_JIS form: the geta mark stands for it.
euc = "鷗外と森".encode("euc_jp")
add("euc_jis_x_0212", "=?EUC-JP?B?%s?=" % base64.b64encode(euc).decode(), expected_text="〓外と森",
    note="Python reads the JIS X 0212 character itself")

with open(os.path.join(HERE, "encoded_word_cases.inc"), "w") as out:
    out.write("// Generated by make_encoded_word_cases.py from Python's email package; do not edit.\n")
    out.write("// name, header value, Shift_JIS text expected\n")
    for name, value, expected, note in cases:
        if note:
            out.write("// %s: %s\n" % (name, note))
        out.write("{%s, %s, %s},\n" % (c_string(name.encode()), c_string(value), c_string(expected)))
print("%d cases" % len(cases))
