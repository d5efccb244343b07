#!/usr/bin/python3
"""check_delivery.py -- reads back what Postfix delivered to the test user's Maildir and compares
it with what the mail tests sent (WORK/expected/TAG.json: the tag in the From address, the
subject and the body as they must read, and where given the From field as it must read and the
recipients, each of which must have its own copy). Each message is parsed with Python's email
package; its subject (raw ISO-2022-JP in the header, or encoded words in ISO-2022-JP or UTF-8),
its From field and its body (7bit ISO-2022-JP, or UTF-8 in Base64) are decoded and compared.

ISO-2022-JP is read the way Windows writes it (code page 50220): JIS X 0208 plus NEC row 13 and
the NEC-selected IBM extensions, through the arithmetic between JIS and Shift_JIS and code page
932. Where Python's own iso-2022-jp codec can read a text, both readings must agree.

Usage: check_delivery.py WORK_FOLDER          (waits up to 60 s for deliveries to arrive)
       check_delivery.py --show WORK_FOLDER   (prints what was delivered, decoded)
"""
import email
import email.header
import email.policy
import glob
import json
import os
import sys
import time


def jis_to_text(data):
    """ISO-2022-JP bytes to text, double-byte codes mapped to Shift_JIS and read as code page 932."""
    out = bytearray()
    double = False
    i = 0
    while i < len(data):
        if data[i] == 0x1B and data[i + 1:i + 3] in (b"$B", b"$@"):
            double, i = True, i + 3
        elif data[i] == 0x1B and data[i + 1:i + 3] in (b"(B", b"(J"):
            double, i = False, i + 3
        elif double and data[i] not in (0x0A, 0x0D):
            hi, lo = data[i], data[i + 1]
            row = (hi - 0x21) >> 1
            lead = row + 0x81 if row < 31 else row + 0xC1
            if hi & 1:
                trail = lo + 0x1F if lo < 0x60 else lo + 0x20
            else:
                trail = lo + 0x7E
            out += bytes([lead, trail])
            i += 2
        else:
            out.append(data[i])
            i += 1
    text = out.decode("cp932")
    try:
        python_reading = bytes(data).decode("iso-2022-jp")
    except UnicodeDecodeError:
        python_reading = None
    if python_reading is not None and python_reading != text:
        raise ValueError("readings differ: %r / %r" % (text, python_reading))
    return text


def decoded_subject(message):
    parts = []
    for value, charset in email.header.decode_header(message["Subject"] or ""):
        raw = value if isinstance(value, bytes) else value.encode("latin-1")
        parts.append(raw.decode("utf-8") if charset == "utf-8" else jis_to_text(raw))
    return "".join(parts)


def decoded_from(message):
    return str(email.header.make_header(email.header.decode_header(message["From"] or "")))


def decoded_body(message):
    raw = (message.get_payload(decode=True) or b"").replace(b"\r\n", b"\n")
    charset = message.get_content_charset()
    if charset == "utf-8":
        if message["Content-Transfer-Encoding"] != "base64":
            raise ValueError("UTF-8 body in %r" % message["Content-Transfer-Encoding"])
        return raw.decode("utf-8")
    if charset != "iso-2022-jp" or message["Content-Transfer-Encoding"] != "7bit":
        raise ValueError("charset %r, %r" % (charset, message["Content-Transfer-Encoding"]))
    return jis_to_text(raw)


def check(item, message):
    """What differs between a delivered message and what it must read as; None when nothing."""
    subject, body = decoded_subject(message), decoded_body(message)
    if subject != item["subject"]:
        return "subject %r, expected %r" % (subject, item["subject"])
    if body != item["body"]:
        return "body %r, expected %r" % (body, item["body"])
    if item.get("from") and decoded_from(message) != item["from"]:
        return "From %r, expected %r" % (decoded_from(message), item["from"])
    return None


def main(work):
    expected = {}
    for path in sorted(glob.glob(os.path.join(work, "expected", "*.json"))):
        with open(path, encoding="utf-8") as f:
            item = json.load(f)
        expected[item["tag"]] = item
    if not expected:
        print("check_delivery: the mail tests recorded no message sent through Postfix (skipped)")
        return 77
    found = {}  # tag -> {recipient: (path, message)}
    wanted = sum(len(item.get("recipients") or [None]) for item in expected.values())
    deadline = time.monotonic() + 60
    while True:
        for path in delivered(work):
            with open(path, "rb") as f:
                message = email.message_from_binary_file(f, policy=email.policy.compat32)
            for tag in expected:
                if tag + "@" in (message["From"] or ""):
                    found.setdefault(tag, {})[message["X-Original-To"]] = (path, message)
        copies = sum(min(len(found.get(tag, {})), len(item.get("recipients") or [None]))
                     for tag, item in expected.items())
        if copies >= wanted or time.monotonic() > deadline:
            break
        time.sleep(0.5)
    failed = 0
    for tag, item in sorted(expected.items()):
        copies = found.get(tag, {})
        for recipient in item.get("recipients") or [None]:
            name = tag if recipient is None else "%s to %s" % (tag, recipient)
            copy = next(iter(copies.values()), None) if recipient is None else copies.get(recipient)
            if copy is None:
                print("FAILED %s: not delivered" % name)
                failed += 1
                continue
            path, message = copy
            try:
                problem = check(item, message)
            except (ValueError, UnicodeDecodeError) as e:
                problem = "%s (%s)" % (e, path)
            if problem:
                print("FAILED %s: %s" % (name, problem))
                failed += 1
            else:
                print("ok %s: %d characters of subject, %d of body" % (name, len(item["subject"]), len(item["body"])))
    print("%d passed, %d failed" % (wanted - failed, failed))
    return 1 if failed else 0


def delivered(work):
    return sorted(glob.glob(os.path.join(work, "mail", "zkmail", "new", "*")) +
                  glob.glob(os.path.join(work, "mail", "zkmail", "cur", "*")))


def show(work):
    """Prints each delivered message's sender, subject and body as Python's email package reads them."""
    deadline = time.monotonic() + 20
    while not delivered(work) and time.monotonic() < deadline:
        time.sleep(0.2)
    time.sleep(1)  # a second message may still be on its way
    paths = delivered(work)
    print("== the test user's Maildir: %d message(s) delivered ==" % len(paths))
    for path in paths:
        with open(path, "rb") as f:
            message = email.message_from_binary_file(f, policy=email.policy.compat32)
        print("From:    %s" % message["From"])
        print("Subject: %s   (on the wire: %s)" % (decoded_subject(message), message["Subject"]))
        print("Body (%s, %s):" % (message.get_content_charset(), message["Content-Transfer-Encoding"]))
        for line in decoded_body(message).split("\n"):
            print("  | " + line)
    return 0 if paths else 1


if __name__ == "__main__":
    if sys.argv[1] == "--show":
        sys.exit(show(sys.argv[2]))
    sys.exit(main(sys.argv[1]))
