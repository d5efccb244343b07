"""_session.py -- what the FTP and mail sessions share: closing as a context manager, the progress
callback wrapped for the library, and the family's last error turned into an exception."""
from . import _native, _text

_started = False


def start():
    """Starts the socket service once per process (WSAStartup on Windows; the library's sockets
    refuse to work before it everywhere). It stays up until the process ends."""
    global _started
    if not _started:
        code = _native.ZK_SocketInit()
        if code != 0:
            raise OSError(code, "zknet: ZK_SocketInit failed")
        _started = True


class Progress:
    """A Python callable(done, total) as a ZkProgressProc: a true result cancels the transfer, and so
    does an exception, which the session raises again once the library's call has returned."""

    def __init__(self, callback):
        self.callback = callback
        self.error = None
        self.proc = _native.ZkProgressProc(self._call)

    def _call(self, done, total, user):
        try:
            return 1 if self.callback(done, total) else 0
        except BaseException as e:  # noqa: B902 -- carried to the caller, never across C
            self.error = e
            return 1

    def reraise(self):
        error, self.error = self.error, None
        if error is not None:
            raise error


class Family:
    """The last error of one family: its query and clear functions and its exception classes."""

    def __init__(self, prefix, error, cancelled, cancel_code):
        self.prefix = prefix
        self.error = error
        self.cancelled = cancelled
        self.cancel_code = cancel_code

    def clear(self):
        getattr(_native, f"ZK_{self.prefix}ClearLastErrorCode")()

    def fail(self, operation):
        code = getattr(_native, f"ZK_{self.prefix}QueryLastErrorCode")()
        buf = _text.wbuffer(1024)
        n = getattr(_native, f"ZK_{self.prefix}QueryLastResponseMessageW")(buf, len(buf))
        reply = _text.from_units(buf, n).rstrip("\r\n")
        kind = self.cancelled if code == self.cancel_code else self.error
        return kind(code, reply, operation)


class Session:
    """A handle with close(): `with` closes it, and so does garbage collection as a last resort."""

    _handle = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def __del__(self):
        try:
            self.close()
        except Exception:
            pass

    @property
    def closed(self):
        return not self._handle

    def close(self):
        handle, self._handle = self._handle, None
        if handle:
            self._release(handle)

    def _require(self):
        if not self._handle:
            raise ValueError("the session is closed")
        return self._handle
