"""test_zknet.py -- the installed zknet package against the library and the local servers: vsftpd
(FTP with a Japanese file name, a refused login), Postfix (sending) and dovecot (POP3 listing,
retrieval and deletion of what was sent). Environment: ZKNET_LIBRARY, ZK_MAIL_WORK."""
import os
import time
import uuid

import pytest

import zknet
from zknet import _native

FTP = dict(host="127.0.0.1", user="zkftp", password="zkftp-pass", port=2121, passive=True)
POP3 = dict(host="127.0.0.1", user="zkmail", password="zkmail-pass", port=2110)


def test_the_installed_package_and_the_given_library():
    assert "site-packages" in zknet.__file__
    assert os.path.samefile(zknet.load()._name, os.environ["ZKNET_LIBRARY"])


def test_ftp_round_trip_with_a_japanese_name(tmp_path):
    name = f"日本語ファイル-{uuid.uuid4().hex[:8]}.txt"
    data = "一行目\r\nsecond line\r\n".encode("utf-8") * 50
    up, down = tmp_path / "送信.txt", tmp_path / "受信.txt"
    up.write_bytes(data)
    calls = []
    with zknet.FtpSession(**FTP, progress=lambda done, total: calls.append((done, total))) as ftp:
        ftp.put(up, name)
        assert name in ftp.list("NLST")
        assert ftp.size(name) == len(data)
        ftp.get(name, down)
        ftp.delete(name)
        assert name not in list(ftp.list("NLST"))
        with pytest.raises(zknet.FtpError) as failed:
            ftp.size(name)
        assert failed.value.code == _native.ZK_FTP_FILE_FAILED and failed.value.reply.startswith("550")
    assert ftp.closed and down.read_bytes() == data
    # The put and the get each end with the whole size; the listings with an unknown one.
    assert calls.count((len(data), len(data))) == 2 and all(t == -1 for d, t in calls if d != len(data))
    assert all(0 <= done <= len(data) for done, total in calls if total != -1)


def test_ftp_progress_cancels(tmp_path):
    name = f"cancel-{uuid.uuid4().hex[:8]}.bin"
    up = tmp_path / "big.bin"
    with open(up, "wb") as f:
        f.truncate(1 << 30)  # 1 GiB, sparse: cancelled at the first report, long before its end
    with zknet.FtpSession(**FTP) as ftp:
        ftp.set_progress(lambda done, total: True)
        with pytest.raises(zknet.FtpCancelled) as e:
            ftp.put(up, name)
        assert e.value.code == _native.ZK_FTP_CANCELLED == 33
        ftp.set_progress(None)
        ftp.delete(name) if name in ftp.list("NLST") else None
        assert ftp.pwd().startswith("/")   # the session stays usable


def refused_sender():
    with zknet.SmtpSession("127.0.0.1", port=2525) as smtp:
        smtp.send("<refused@zknet-test>", "<zkmail@zknet-test>", "s", "b")


@pytest.mark.parametrize("call, error, code, reply", [
    (lambda: zknet.FtpSession(**dict(FTP, password="wrong")), zknet.FtpError, _native.ZK_FTP_LOGIN_REFUSED, "530"),
    (lambda: zknet.Pop3Session(**dict(POP3, password="wrong")), zknet.MailError, _native.ZK_MAIL_LOGIN_REFUSED, "-ERR"),
    (refused_sender, zknet.MailError, _native.ZK_MAIL_FROM_FAILED, "554"),
])
def test_a_refusal_raises_its_code_with_the_reply(call, error, code, reply):
    with pytest.raises(error) as failed:
        call()
    assert failed.value.code == code and failed.value.reply.startswith(reply)


def wait_for(pop_args, subject, seconds=60):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        with zknet.Pop3Session(**pop_args) as pop:
            mine = [e for e in pop.mailbox(fetch=True) if e.subject == subject]
            if mine:
                return mine[0]
        time.sleep(1)
    pytest.fail(f"no message with the subject {subject!r} within {seconds} s")


def test_mail_send_list_retrieve_delete():
    subject = f"Python 日本語 {uuid.uuid4().hex[:8]}"
    with zknet.SmtpSession("127.0.0.1", port=2525) as smtp:
        smtp.send("Python <zk-python@zknet-test>", ["<zkmail@zknet-test>"], subject, "\r\n本文 body\r\n")
    assert smtp.closed
    entry = wait_for(POP3, subject)
    assert entry.sender == "Python <zk-python@zknet-test>" and entry.size > 0
    with zknet.Pop3Session(**POP3) as pop:
        number = next(e.number for e in pop.mailbox(fetch=True) if e.subject == subject)
        message = pop.retrieve(number)
        assert b"From: Python <zk-python@zknet-test>" in message and message.endswith(b"\r\n")
        assert len(message) <= entry.size
        pop.delete(number)
    with zknet.Pop3Session(**POP3) as pop:
        assert subject not in [e.subject for e in pop.mailbox(fetch=True)]
