#!/usr/bin/python3
"""Writes message_cases.inc: messages built and written by Python's email package, or written here
in the styles of other mailers (phones, iPhone Mail, Postfix, qmail, Domino), as a POP3 retrieval
hands them over (CR LF lines), each with what it must read as: the header block, the header fields
decoded, the Date field, and the body decoded from its charset (or -2 where its transfer encoding
is not 7bit). Every field and body is read here by the rules of RFC 5322, 2045 and 2047 with
Python's codecs, and checked against Python's email package and nkf where those read the same
thing; where they differ a note says how. Run with Debian's /usr/bin/python3 (nkf installed by
tools/install-deps.sh). The build runs it (tests/CMakeLists.txt) and compiles what it writes into
every build's mail tests, the Windows ones too; the expectations are made on the build machine.
Usage: make_message_cases.py [OUTPUT]   (default: message_cases.inc beside this script)

Where the library reads a message differently by design, the expectation follows the library and
a note says how Python differs: raw ISO-2022-JP in a field is converted, a Date field is read
tolerantly but its two-digit year stays two digits, and a multipart body comes whole."""
import base64
import datetime
import io
import os
import re
import subprocess
import sys
from email import policy, quoprimime, utils
from email.charset import BASE64, QP, Charset
from email.generator import BytesGenerator
from email.header import Header, decode_header
from email.message import EmailMessage, Message
from email.mime.application import MIMEApplication
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
from email.parser import BytesParser

HERE = os.path.dirname(os.path.abspath(__file__))
CRLF = policy.compat32.clone(linesep="\r\n")
JST = datetime.timezone(datetime.timedelta(hours=9))
DATE = utils.format_datetime(datetime.datetime(2024, 3, 5, 9, 7, 3, tzinfo=JST))  # Tue, 05 Mar 2024 09:07:03 +0900

# Text every code page involved holds the same way (no wave dash, minus or NEC/IBM characters in
# ISO-2022-JP and EUC-JP, where Python's codecs and code page 932 name them differently).
SUBJECT = "会議のお知らせ：来週月曜日10時から第3会議室にて"
LONG_SUBJECT = "【重要】サーバ移行のご案内（第２報）：移行作業は来週末の土曜日午前零時から日曜日の正午までを予定しております"
NAME = "山田 太郎"
BODY = ("お世話になっております。山田です。\n"
        "来週の会議についてご連絡いたします。\n"
        "\n"
        "日時：3月11日（月）10:00-11:30\n"
        "場所：第3会議室\n"
        ".から始まる行もそのまま届きます。\n"
        "以上、よろしくお願いいたします。\n")
KANA = "ｶﾀｶﾅの半角文字とひらがな\n"
NEC = "①②③ ㈱ ㍻\n"  # NEC row 13: code page 932 only
OUTSIDE = "가 (a character code page 932 lacks)\n"

FIELDS = ["Subject:", "From:", "To:", "Cc:", "Date:", "Content-Type:", "Content-Transfer-Encoding:", "Received:",
          "MIME-Version:", "X-Absent:"]

FORMS = {("iso-2022-jp", "b"), ("iso-2022-jp", "q"), ("shift_jis", "b"), ("euc-jp", "b"), ("utf-8", "b")}


def flatten(msg, pol=CRLF):
    fp = io.BytesIO()
    BytesGenerator(fp, policy=pol, mangle_from_=False).flatten(msg)
    return fp.getvalue()


def charset(name, header=BASE64):
    """A charset whose header words are in the given encoding and name the charset itself."""
    c = Charset(name)
    c.header_encoding = header
    c.output_charset = name
    c.output_codec = name
    return c


def encoded(text, cs, maxlinelen=76):
    return Header(text, cs, header_name="Subject").encode(maxlinelen=maxlinelen, linesep="\r\n")


def b_words(text, codec, label, chunk=None, sep=" "):
    """Text in B words of `chunk` characters each, written here as other mailers write them."""
    chunk = chunk or len(text)
    return sep.join("=?%s?B?%s?=" % (label, base64.b64encode(text[i:i + chunk].encode(codec)).decode())
                    for i in range(0, len(text), chunk))


def sjis_word(text, chunk=None):
    """Shift_JIS words as Windows mailers write them: code page 932 text under that name."""
    return b_words(text, "cp932", "Shift_JIS", chunk)


def address(name, addr, cs):
    return "%s <%s>" % (sjis_word(name) if cs == "sjis" else encoded(name, cs), addr)


def raw_message(headers, body_bytes):
    """A message of the given header fields and 8-bit body bytes, as Python writes it."""
    msg = Message()
    for name, value in headers:
        msg[name] = value
    msg.set_payload(body_bytes.decode("ascii", "surrogateescape"))
    return flatten(msg)


def crlf(text):
    return text.replace("\n", "\r\n")


# The charsets the library reads, and Python's codecs for them (ISO-2022-JP with the half-width
# katakana of ESC ( I, which iPhone Mail writes).
CODECS = {"iso-2022-jp": "iso2022_jp_ext", "shift_jis": "cp932", "cp932": "cp932", "windows-31j": "cp932",
          "euc-jp": "euc_jp", "utf-8": "utf-8"}
ENCODED_WORD = re.compile(r"=\?([^?]*)\?([bBqQ])\?(.*?)\?=")


def python_reads(value):
    """The text Python's decoder gets from a header value."""
    parts = []
    for data, cs in decode_header(value):
        if isinstance(data, str):
            parts.append(data)
        elif cs is None:
            parts.append(data.decode("ascii"))
        else:
            parts.append(data.decode(CODECS.get(cs, cs)))
    return "".join(parts)


def unfold(value):
    """Unfolding as the message format defines it: only the line break goes."""
    return re.sub(r"\r\n(?=[ \t])", "", value)


def raw_text(text):
    """Plain header text, with raw ISO-2022-JP (as old mailers write it) read as such."""
    return text.encode("ascii").decode("iso2022_jp_ext") if "\x1b" in text else text


def decode_words(value):
    """A header value as RFC 2047 reads it, for the charsets the library knows: white space
    between two encoded words goes and stays everywhere else, an underscore in a Q word is a
    space, and words of one charset side by side are decoded together (senders split characters
    between them)."""
    out, pending, pos = [], None, 0
    for m in ENCODED_WORD.finditer(value):
        cs = m.group(1).lower()
        if cs not in CODECS:
            continue
        gap = value[pos:m.start()]
        if pending is None or gap.strip(" \t"):
            if pending:
                out.append(pending[1].decode(CODECS[pending[0]]))
                pending = None
            out.append(raw_text(gap))
        data = (base64.b64decode(m.group(3)) if m.group(2) in "bB"
                else quoprimime.header_decode(m.group(3)).encode("latin-1"))
        if pending and pending[0] == cs:
            pending = (cs, pending[1] + data)
        else:
            if pending:
                out.append(pending[1].decode(CODECS[pending[0]]))
            pending = (cs, data)
        pos = m.end()
    if pending:
        out.append(pending[1].decode(CODECS[pending[0]]))
    out.append(raw_text(value[pos:]))
    return "".join(out)


def field_values(values):
    """The occurrences of a field as the library gathers them: unfolded, without the blanks
    after the colon, joined by CR LF; empty ones before the first value leave nothing."""
    texts = []
    for value in values:
        text = unfold(value).lstrip(" \t")
        if text or texts:
            texts.append(text)
    return "\r\n".join(texts)


def nkf(data, *options):
    return subprocess.run(["nkf", "-w", "-x"] + list(options), input=data, stdout=subprocess.PIPE,
                          check=True).stdout.decode("utf-8")


def check_words(value):
    for cs, enc in re.findall(r"=\?([^?]*)\?([bBqQ])\?", value):
        assert cs.lower() in CODECS, "an encoded word the library leaves alone: " + value


def wide(text):
    return [int.from_bytes(text.encode("utf-16-le")[i:i + 2], "little") for i in range(0, len(text.encode("utf-16-le")), 2)]


def c_bytes(data):
    out = []
    for b in data:
        if 0x20 <= b < 0x7F and b not in (0x22, 0x5C, 0x3F):
            out.append(chr(b))
        else:
            out.append("\\%03o" % b)  # octal: a hex escape would swallow the letters after it
    text = "".join(out)
    # Long texts as several literals, one per line of the message.
    return '"' + text.replace("\\015\\012", '\\015\\012"\n    "') + '"'


def c_wide(text):
    out = []
    hex_before = False
    for unit in wide(text):
        ch = chr(unit) if unit < 0x80 else ""
        if 0x20 <= unit < 0x7F and ch not in '"\\?':
            if hex_before and ch in "0123456789abcdefABCDEF":
                out.append('" u"')
            out.append(ch)
            hex_before = False
        else:
            out.append("\\x%x" % unit)
            hex_before = True
    return 'u"' + "".join(out).replace("\\xd\\xa", '\\xd\\xa"\n    u"') + '"'


cases = []


def body_charset(content_type):
    """The first charset name the Content-Type holds anywhere, in the library's order."""
    lowered = content_type.lower()
    for cs in ("iso-2022-jp", "shift_jis", "euc-jp", "utf-8"):
        if cs in lowered:
            return cs
    return None


def add(name, data, date=None, notes=()):
    """Records a message and how it must read; `date` gives the library's reading of the Date
    field where it differs from Python's by design."""
    assert b"\n" not in data.replace(b"\r\n", b""), name + ": a bare LF"
    notes = list(notes)
    end = data.find(b"\r\n\r\n")
    header = data if end < 0 else data[:end + 2]
    raw_body = b"" if end < 0 else data[end + 2:]  # with the CR LF of the empty line
    assert header.isascii(), name + ": the tests widen the header byte by byte"
    headers_only = BytesParser(policy=policy.compat32).parsebytes(data, headersonly=True)
    payload = headers_only._payload  # as it stands: get_payload() decodes 8-bit text
    assert (payload or "").encode("ascii", "surrogateescape") == raw_body[2:], name + ": Python splits elsewhere"
    msg = BytesParser(policy=policy.compat32).parsebytes(data)

    fields = []
    for tag in FIELDS:
        values = msg.get_all(tag[:-1]) or []
        for v in values:
            check_words(v)
        raw = field_values(values)
        text = decode_words(raw)
        python_text = "\r\n".join(python_reads(unfold(v)) for v in values)
        if values and text != python_text:
            notes.append("%s Python reads %r" % (tag, python_text))
        nkf_text = nkf(raw.encode("ascii"), "-m") if tag in ("Subject:", "From:", "To:", "Cc:") else text
        if nkf_text != text:
            notes.append("%s nkf reads %r" % (tag, nkf_text if len(nkf_text) < 60 else nkf_text[:60] + "..."))
        ansi = text.encode("cp932", errors="replace")
        fields.append((tag, ansi, ansi.decode("cp932"), len(raw.encode("ascii", "surrogateescape"))))

    date_value = msg["Date"]
    parsed = utils.parsedate_tz(date_value) if date_value is not None else None
    python_date = tuple(parsed[:6]) if parsed else (0, 0, 0, 0, 0, 0)
    if date is None:
        date = python_date
    else:
        notes.append("Date: Python reads %s" % (python_date,))

    encoding = decode_words(field_values(msg.get_all("Content-Transfer-Encoding") or []))
    if encoding and "7bit" not in encoding.lower():
        body_a, body_w = None, None
    else:
        cs = body_charset(decode_words(field_values(msg.get_all("Content-Type") or [])))
        body_w = raw_body.decode(CODECS.get(cs, "cp932"))
        body_a = raw_body if cs in (None, "shift_jis") else body_w.encode("cp932", errors="replace")
        if cs is not None:
            assert nkf(raw_body, "--ic=" + {"shift_jis": "cp932"}.get(cs, cs)) == body_w, name + ": nkf reads otherwise"
        charset_named = msg.get_content_charset()
        if not msg.is_multipart() and charset_named is not None:
            python_text = msg.get_payload(decode=True).decode(CODECS.get(charset_named, charset_named))
            assert "\r\n" + python_text == body_w, name + ": Python decodes the body otherwise"
    cases.append((name, data, header, fields, date, len(raw_body), body_a, body_w, notes))


def jis_message(subject_cs=None, maxlinelen=76):
    cs = subject_cs or Charset("iso-2022-jp")
    msg = MIMEText(BODY, "plain", "iso-2022-jp")
    msg["Subject"] = encoded(SUBJECT, cs, maxlinelen)
    msg["From"] = address(NAME, "taro@example.jp", cs)
    msg["To"] = "hanako@example.jp"
    msg["Date"] = DATE
    msg["Message-ID"] = "<20240305090703.1@example.jp>"
    return msg


# The usual Japanese mail: ISO-2022-JP in 7bit, encoded-word subject and sender.
add("iso2022jp_7bit", flatten(jis_message()))
add("iso2022jp_q_words", flatten(jis_message(charset("iso-2022-jp", QP))),
    notes=["Q words, as some mailers write them"])
msg = jis_message(maxlinelen=40)
msg.replace_header("Subject", encoded(LONG_SUBJECT, Charset("iso-2022-jp"), 40))
add("iso2022jp_long_subject_folded", flatten(msg))

# Charset names in other spellings, and lower-case field names.
add("iso2022jp_unquoted_upper", raw_message(
    [("Subject", encoded("日本語の件名", Charset("iso-2022-jp"))), ("From", "taro@example.jp"), ("Date", DATE),
     ("MIME-Version", "1.0"), ("Content-Type", "text/plain; charset=ISO-2022-JP"),
     ("Content-Transfer-Encoding", "7BIT")],
    crlf(BODY).encode("iso-2022-jp")))
add("lower_case_field_names", raw_message(
    [("subject", "plain ascii subject"), ("from", "taro@example.jp"), ("date", DATE),
     ("content-type", 'text/plain;\r\n\tcharset="iso-2022-jp"'), ("content-transfer-encoding", "7bit")],
    crlf(BODY).encode("iso-2022-jp")))

# Shift_JIS: Base64 and 8bit bodies are refused, a body labelled 7bit comes as it is.
for cte in ("base64", "8bit", "7bit"):
    body = crlf(BODY + KANA + NEC).encode("cp932")
    if cte == "base64":
        body = crlf(MIMEApplication(body).get_payload()).encode()
    add("shift_jis_" + cte, raw_message(
        # One long word, which Python folds onto a line of its own after an empty first line.
        [("Subject", sjis_word(SUBJECT + "①", None if cte == "base64" else 12)),
         ("From", address(NAME, "taro@example.jp", "sjis")), ("To", "hanako@example.jp"),
         ("Date", DATE), ("MIME-Version", "1.0"), ("Content-Type", 'text/plain; charset="Shift_JIS"'),
         ("Content-Transfer-Encoding", cte)], body))

# EUC-JP in the same three forms.
for cte in ("base64", "8bit", "7bit"):
    body = crlf(BODY + KANA).encode("euc_jp")
    if cte == "base64":
        body = crlf(MIMEApplication(body).get_payload()).encode()
    add("euc_jp_" + cte, raw_message(
        [("Subject", encoded(SUBJECT, charset("euc-jp"))), ("From", address(NAME, "taro@example.jp", charset("euc-jp"))),
         ("To", "hanako@example.jp"), ("Date", DATE), ("MIME-Version", "1.0"),
         ("Content-Type", "text/plain; charset=euc-jp"), ("Content-Transfer-Encoding", cte)], body))

# UTF-8 as Python's current API writes it (8bit, quoted-printable, base64, 7bit for ASCII), and a
# UTF-8 body labelled 7bit.
for cte in ("8bit", "quoted-printable", "base64", "7bit"):
    msg = EmailMessage(policy=policy.SMTP)
    msg["Subject"] = SUBJECT if cte != "7bit" else "Weekly report"
    msg["From"] = "taro@example.jp"
    msg["To"] = "hanako@example.jp, jiro@example.jp"
    msg["Date"] = DATE
    msg.set_content("Weekly report\nAll fine.\n" if cte == "7bit" else BODY + KANA + NEC, cte=cte)
    add("utf8_" + cte.replace("-", "_"), flatten(msg, policy.SMTP))
add("utf8_labelled_7bit", raw_message(
    [("Subject", encoded(SUBJECT + " 가", charset("utf-8"))), ("From", address(NAME, "taro@example.jp", charset("utf-8"))),
     ("Date", DATE), ("MIME-Version", "1.0"), ("Content-Type", "text/plain; charset=UTF-8"),
     ("Content-Transfer-Encoding", "7bit")], crlf(BODY + KANA + NEC + OUTSIDE).encode()),
    notes=["a character code page 932 lacks becomes ? in the subject and in the A body, not in the W body"])

# Encoded words of every form side by side, and with plain text around them.
add("encoded_words_mixed", raw_message(
    [("Subject", "Re: " + encoded("【重要】", charset("utf-8")) + " " + encoded("サーバ移行", charset("euc-jp"))),
     ("From", address("佐藤 花子", "hanako@example.jp", "sjis")),
     ("To", address("山田", "taro@example.jp", charset("euc-jp")) + ", jiro@example.jp"),
     ("Cc", address("鈴木", "suzuki@example.jp", charset("iso-2022-jp", QP))),
     ("Date", DATE), ("Content-Type", "text/plain"), ("Content-Transfer-Encoding", "7bit")],
    b"\r\nplain ascii body\r\n"))
add("raw_iso2022jp_subject", raw_message(
    [("Subject", "日本語の件名".encode("iso-2022-jp").decode("ascii")), ("From", "taro@example.jp"), ("Date", DATE),
     ("Content-Type", 'text/plain; charset="ISO-2022-JP"'), ("Content-Transfer-Encoding", "7bit")],
    crlf("本文\n").encode("iso-2022-jp")),
    notes=["raw ISO-2022-JP in a field, as old mailers write it; Python leaves the escapes in"])

# Repeated and folded fields.
msg = MIMEText("body\n", "plain", "us-ascii")
for hop in range(3):
    msg["Received"] = ("from relay%d.example.jp (relay%d.example.jp [192.0.2.%d]) by mx.example.jp (Postfix) "
                       "with ESMTP id 4Tq%dXYZ for <taro@example.jp>; %s" % (hop, hop, hop + 1, hop, DATE))
msg["Subject"] = "Received lines joined by CR LF, folded lines without their break"
msg["Date"] = DATE
add("received_repeated_folded", flatten(msg))

# Date forms: Python's own, Postfix's padded day, qmail's missing weekday, blanks, missing seconds,
# obsolete zones; every one read as Python reads it, but a two-digit year as written and a day
# its month lacks not at all.
for i, (value, library) in enumerate([
        (utils.formatdate(784887151, localtime=False), None),
        (utils.formatdate(784887151, usegmt=True), None),
        ("Tue, 15 Nov 1994 17:12:31 +0900 (JST)", None),
        ("tue, 5 nov 1994 08:12:31 +0900", None),
        ("Tue, 15 Nov 1994 08:12 +0900", None),
        ("Tue, 15 Nov 94 08:12:31 +0900", (94, 11, 15, 8, 12, 31)),
        ("15 Nov 1994 08:12:31 +0900", None),
        ("Tue,  5 Nov 1994 08:12:31 +0900", None),
        ("Tue,   15  Nov 1994\t08:12:31   EST", None),
        ("Tuesday, 15 November 1994 08:12:31 Z", None),
        ("Tue, 31 Apr 1994 08:12:31 +0900", (0, 0, 0, 0, 0, 0)),
        ("last Tuesday", None),
]):
    add("date_form_%d" % i, raw_message([("Subject", "date form"), ("Date", value), ("Content-Transfer-Encoding", "7bit")],
                                        b"\r\nx\r\n"), date=library)

# Messages in the styles of other mailers, written here.
KANA_SUBJECT = "ｶﾞｲﾄﾞ(=ﾟωﾟ)ﾉ 半角ｶﾅ"
add("postfix_delivered", (
    "Return-Path: <taro@example.jp>\r\nDelivered-To: hanako@example.jp\r\n"
    "Received: from mx.example.jp (mx.example.jp [192.0.2.25])\r\n\tby mail.example.jp (Postfix) with ESMTP id 4F1A2B\r\n"
    "\tfor <hanako@example.jp>; Thu,  1 Jul 2014 09:05:07 +0900 (JST)\r\n"
    "Date: Thu,  1 Jul 2014 09:05:07 +0900 (JST)\r\nFrom: taro@example.jp\r\nTo: hanako@example.jp\r\n"
    "Subject: a plain subject\r\nMessage-Id: <20140701000507.4F1A2B@mail.example.jp>\r\n\r\nhello\r\n").encode())
add("qmail_bounce", (
    "Date: 1 Jul 2014 00:05:07 -0000\r\nFrom: MAILER-DAEMON@mx.example.jp\r\nTo: taro@example.jp\r\n"
    "Subject: failure notice\r\n\r\nHi. This is the qmail-send program at mx.example.jp.\r\n"
    "I'm afraid I wasn't able to deliver your message to the following addresses.\r\n").encode(),
    notes=["no weekday and no Content-Transfer-Encoding: 7bit"])
add("domino_bounce", (
    "Date:   Tue, 15 Nov 1994 08:12 +0900\r\nFrom: Mail Router <postmaster@example.jp>\r\n"
    "To: " + encoded("山田 太郎", Charset("iso-2022-jp")) + "\r\n <taro@example.jp>\r\n"
    "Subject: DELIVERY FAILURE: User taro (taro@example.jp) not listed in\r\n Domino Directory\r\n"
    "Content-Type:text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding:7bit\r\n\r\n"
    "Your message was not delivered.\r\n").encode(),
    notes=["blanks after Date:, no seconds, no blank after the colon, folds inside plain text"])
add("iphone_half_width_katakana", (
    "Content-Type: text/plain;\r\n\tcharset=iso-2022-jp\r\nContent-Transfer-Encoding: 7bit\r\n"
    "Mime-Version: 1.0 (1.0)\r\nDate: Sat, 12 Oct 2024 21:03:45 +0900\r\n"
    "Subject:" + b_words(KANA_SUBJECT, "iso2022_jp_ext", "iso-2022-jp", 6, "\r\n ") + "\r\n"
    "From: " + b_words("ﾊﾅｺ", "iso2022_jp_ext", "iso-2022-jp") + " <hanako@example.jp>\r\nTo: taro@example.jp\r\nX-Mailer: iPhone Mail (21H16)\r\n\r\n").encode() +
    crlf(KANA + "(=ﾟωﾟ)ﾉｼ\n").encode("iso2022_jp_ext"))
for cs in ("iso-2022-jp", "shift_jis"):
    add("phone_no_transfer_encoding_" + cs.replace("-", "_"), raw_message(
        [("Subject", encoded("お知らせ", Charset(cs))), ("From", "taro@docomo.example.jp"), ("Date", DATE),
         ("Content-Type", "text/plain; charset=%s" % cs)], crlf(BODY).encode(CODECS[cs])),
        notes=["no Content-Transfer-Encoding, as phones send it: 7bit"])
add("value_on_continuation_line", (
    "Subject:\r\n " + encoded(SUBJECT, Charset("iso-2022-jp"), 60).replace("\r\n", "\r\n") + "\r\n"
    "Date:\r\n\tTue, 15 Nov 1994\r\n 08:12:31 +0900\r\nContent-Transfer-Encoding:\r\n 7bit\r\n\r\nx\r\n").encode())
LONG_KANJI = ("日本語の長い件名" * 40)[:300]
for cs, enc in (("utf-8", BASE64), ("utf-8", QP), ("euc-jp", QP)):
    add("long_subject_%s_%s" % (cs.replace("-", ""), "b" if enc == BASE64 else "q"), raw_message(
        [("Subject", encoded("Re: " + LONG_KANJI + " end", charset(cs, enc))), ("Date", DATE),
         ("From", address("佐藤 花子", "hanako@example.jp", charset(cs, enc))),
         ("Content-Type", "text/plain; charset=us-ascii")], b"\r\nlong\r\n"))
split = "Re: 【重要】 가 ok".encode()
add("thunderbird_utf8_split", raw_message(
    # Characters split between the words, as Thunderbird splits them.
    [("Subject", " ".join("=?UTF-8?B?%s?=" % base64.b64encode(part).decode()
                          for part in (split[:9], split[9:19], split[19:]))),
     ("Date", DATE), ("Content-Type", "text/plain; charset=UTF-8; format=flowed"),
     ("Content-Transfer-Encoding", "7bit")], crlf("plain\n").encode()),
    notes=["a character code page 932 lacks becomes ?"])
add("outlook_q_words", raw_message(
    [("Subject", "=?utf-8?Q?RE:_=E4=BC=9A=E8=AD=B0_=28=E6=9C=88=29?= =?windows-31j?Q?=89=EF=8Bc?="),
     ("From", "=?CP932?B?%s?= <taro@example.jp>" % base64.b64encode("山田".encode("cp932")).decode()),
     ("Date", DATE), ("Content-Type", "text/plain; charset=us-ascii"), ("Content-Transfer-Encoding", "7bit")],
    b"\r\nbody\r\n"))

# Multipart bodies come whole when the message says 7bit or names no encoding (7bit too).
for cte in (None, "7bit"):
    msg = MIMEMultipart(boundary="zk-boundary-0001")
    msg["Subject"] = encoded("添付ファイル", Charset("iso-2022-jp"))
    msg["From"] = "taro@example.jp"
    msg["Date"] = DATE
    msg.attach(MIMEText("添付します。\n", "plain", "iso-2022-jp"))
    part = MIMEApplication(bytes(range(256)) * 4, Name="data.bin")
    msg.attach(part)
    if cte:
        msg["Content-Transfer-Encoding"] = cte
    add("multipart_" + (cte or "no_encoding"), flatten(msg))
msg = EmailMessage(policy=policy.SMTP)
msg["Subject"] = "alternative"
msg["Date"] = DATE
msg.set_content(BODY, charset="iso-2022-jp")
msg.add_alternative("<p>%s</p>\n" % BODY, subtype="html", charset="iso-2022-jp")
msg.set_boundary("zk-boundary-0002")
add("multipart_alternative", flatten(msg, policy.SMTP))

# Shapes at the edges: no empty line, nothing after it, a long unfoldable line, dotted lines.
add("header_only", raw_message([("Subject", "no body"), ("Content-Transfer-Encoding", "7bit")], b"").rstrip(b"\r\n") + b"\r\n")
add("empty_body", raw_message([("Subject", "empty body"), ("Content-Transfer-Encoding", "7bit")], b""))
add("long_header_line", raw_message(
    [("X-Long", "x" * 6000), ("Subject", encoded(SUBJECT, Charset("utf-8"))), ("Date", DATE),
     ("Content-Type", "text/plain; charset=us-ascii"), ("Content-Transfer-Encoding", "7bit")],
    b"\r\n..\r\n.\r\n.dot\r\n"))

output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "message_cases.inc")
os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
with open(output, "w") as out:
    out.write("// Generated by make_message_cases.py from Python's email package; do not edit.\n")
    out.write("// name, message, header, fields {tag, A value, W value, raw length}, date, body length as it\n")
    out.write("// stands, A body and W body (null: not 7bit)\n")
    for name, data, header, fields, date, body_length, body_a, body_w, notes in cases:
        out.write("// %s\n" % name)
        for note in notes:
            out.write("//   %s\n" % note.encode("unicode_escape").decode("ascii"))
        out.write("{%s,\n %s,\n %s,\n {" % (c_bytes(name.encode()), c_bytes(data), c_bytes(header)))
        for tag, ansi, text, raw_length in fields:
            out.write("{%s, %s, %s, %d},\n  " % (c_bytes(tag.encode()), c_bytes(ansi), c_wide(text), raw_length))
        out.write("},\n {%s},\n %d,\n %s,\n %s},\n" % (
            ", ".join(str(x) for x in date), body_length,
            "nullptr" if body_a is None else c_bytes(body_a),
            "nullptr" if body_w is None else c_wide(body_w)))
print("%s: %d messages" % (os.path.basename(output), len(cases)))
