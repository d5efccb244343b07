"""mail.py -- SmtpSession and Pop3Session over the W exports, raising MailError with the last code
and reply on every failure, and releasing every listing and message text the library makes."""
import ctypes
from dataclasses import dataclass

from . import _native, _text
from ._session import Family, Progress, Session, start
from .errors import MailCancelled, MailError

_MAIL = Family("Mail", MailError, MailCancelled, _native.ZK_MAIL_CANCELLED)


def _check(result, operation):
    if result != 1:
        raise _MAIL.fail(operation)


class SmtpSession(Session):
    """An SMTP connection: SmtpSession(host, port=25).send(from_, to, subject, body); `with` closes it."""

    def __init__(self, host, port=25, family=_native.ZK_AF_INET, helo=None):
        start()
        _MAIL.clear()
        handle = _native.ZK_MailConnectSmtpW(_text.wtext(host), port, family)
        if not handle:
            raise _MAIL.fail(f"connect to {host}:{port}")
        self._handle = handle
        self.helo = helo or "localhost"

    def _release(self, handle):
        _native.ZK_MailDisconnectSmtp(handle)

    def send(self, from_, to, subject, body, width=-1, utf8=False):
        """Sends one message; `to` is one address text or a list of them. utf8=True sends it as
        UTF-8 (every character kept) rather than ISO-2022-JP."""
        if not isinstance(to, str):
            to = ", ".join(to)
        handle = self._require()
        if utf8:
            _native.ZK_MailSetContentTypeW(handle, _text.wtext("text/plain"), _text.wtext("UTF-8"), None, None)
        _MAIL.clear()
        _check(_native.ZK_MailSendW(handle, _text.wtext(self.helo), _text.wtext(from_), _text.wtext(to),
                                    _text.wtext(subject), _text.wtext(body), width), f"send to {to}")


@dataclass(frozen=True)
class MailEntry:
    """One message of a mailbox listing; sender and subject are "" unless headers were fetched."""
    number: int
    size: int
    sender: str
    subject: str


class Pop3Session(Session):
    """with Pop3Session(host, user, password, port=110) as pop: ... (deletions take effect on close)."""

    def __init__(self, host, user, password, port=110, family=_native.ZK_AF_INET, progress=None):
        self._progress = None
        start()
        _MAIL.clear()
        handle = _native.ZK_MailConnectPop3W(_text.wtext(host), _text.wtext(user), _text.wtext(password),
                                             port, family)
        if not handle:
            raise _MAIL.fail(f"connect to {host}:{port}")
        self._handle = handle
        if progress is not None:
            self.set_progress(progress)

    def _release(self, handle):
        _native.ZK_MailDisconnectPop3(handle)
        self._progress = None

    def _after(self, ok, operation):
        if self._progress is not None:
            self._progress.reraise()
        if not ok:
            raise _MAIL.fail(operation)

    def set_progress(self, callback):
        """Reports retrievals to callback(done, total); a true result cancels (MailCancelled)."""
        progress = Progress(callback) if callback is not None else None
        _MAIL.clear()
        proc = progress.proc if progress else _native.ZkProgressProc()   # a null function pointer
        _check(_native.ZK_MailSetProgressCallback(self._require(), proc, None),
               "set progress callback")
        self._progress = progress

    def mailbox(self, fetch=False):
        """The messages as MailEntry items; fetch=True retrieves each to read its From and Subject."""
        listing = _native.MailList()
        _MAIL.clear()
        try:
            ok = _native.ZK_MailBoxW(self._require(), ctypes.byref(listing), 1 if fetch else 0)
            entries = ctypes.cast(listing.entries, ctypes.POINTER(_native.MailListEntryW))
            items = [MailEntry(e.number, e.size, _text.from_units(e.from_), _text.from_units(e.subject))
                     for e in (entries[i] for i in range(listing.count))]
        finally:
            _native.ZK_MailListFreeW(ctypes.byref(listing))
        self._after(ok == 1, "list the mailbox")
        return items

    def __iter__(self):
        return iter(self.mailbox())

    def retrieve(self, number):
        """Message `number` as the bytes the server holds (CR LF lines)."""
        _MAIL.clear()
        address = _native.ZK_MailRecv(self._require(), number)
        try:
            data = ctypes.string_at(address) if address else None
        finally:
            _native.ZK_MailRecvFree(address)
        self._after(data is not None, f"retrieve message {number}")
        return data

    def delete(self, number):
        """Marks message `number` for deletion when the session closes."""
        _MAIL.clear()
        self._after(_native.ZK_MailDelete(self._require(), number) == 1, f"delete message {number}")
