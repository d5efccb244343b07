"""ftp.py -- FtpSession: an FTP session over the W exports, raising FtpError with the last code and
reply on every failure, and releasing every listing the library makes."""
import ctypes
import os

from . import _native, _text
from ._session import Family, Progress, Session, start
from .errors import FtpCancelled, FtpError

_FTP = Family("Ftp", FtpError, FtpCancelled, _native.ZK_FTP_CANCELLED)


class FtpSession(Session):
    """with FtpSession(host, user, password, port=21, passive=True) as ftp: ...

    `progress` (or set_progress) is a callable(done, total) for transfers and listings; a true
    result cancels them (FtpCancelled)."""

    def __init__(self, host, user, password, port=21, passive=True, family=_native.ZK_AF_INET, progress=None):
        self._progress = None
        start()
        _FTP.clear()
        handle = _native.ZK_FtpConnectW(_text.wtext(host), _text.wtext(user), _text.wtext(password),
                                        1 if passive else 0, port, family)
        if not handle:
            raise _FTP.fail(f"connect to {host}:{port}")
        self._handle = handle
        if progress is not None:
            self.set_progress(progress)

    def _release(self, handle):
        _native.ZK_FtpDisconnect(handle)
        self._progress = None

    def _call(self, function, operation, *args, ok=lambda r: r == 1):
        _FTP.clear()
        result = function(self._require(), *args)
        if self._progress is not None:
            self._progress.reraise()
        if not ok(result):
            raise _FTP.fail(operation)
        return result

    def set_progress(self, callback):
        """Reports transfers to callback(done, total) (total -1 when unknown); None stops it."""
        progress = Progress(callback) if callback is not None else None
        self._call(_native.ZK_FtpSetProgressCallback, "set progress callback",
                   progress.proc if progress else _native.ZkProgressProc(), None)
        self._progress = progress

    def get(self, remote, local, binary=True):
        self._call(_native.ZK_FtpGetFileW, f"get {remote}", _text.wtext(remote), _text.wtext(os.fspath(local)),
                   1 if binary else 0)

    def put(self, local, remote, binary=True):
        self._call(_native.ZK_FtpPutFileW, f"put {remote}", _text.wtext(os.fspath(local)), _text.wtext(remote),
                   1 if binary else 0)

    def list(self, command="NLST"):
        """The lines of a listing command ("NLST", "LIST", "NLST dir"), as a list of str."""
        lines = _native.MStringList()
        self._call(_native.ZK_FtpListFileW, command, ctypes.byref(lines), _text.wtext(command))
        try:
            items = ctypes.cast(lines.items, ctypes.POINTER(ctypes.c_void_p))
            return [_text.from_address(items[i]) for i in range(lines.count)]
        finally:
            _native.ZK_SocketDeleteMStringW(ctypes.byref(lines))

    def size(self, name):
        return self._call(_native.ZK_FtpGetFileSize64W, f"size {name}", _text.wtext(name), ok=lambda r: r >= 0)

    def delete(self, name):
        self._call(_native.ZK_FtpDeleteFileW, f"delete {name}", _text.wtext(name))

    def rename(self, old, new):
        self._call(_native.ZK_FtpRenameFileW, f"rename {old}", _text.wtext(old), _text.wtext(new))

    def cd(self, directory):
        self._call(_native.ZK_FtpSetDirectoryW, f"cd {directory}", _text.wtext(directory))

    def mkdir(self, directory):
        self._call(_native.ZK_FtpCreateDirectoryW, f"mkdir {directory}", _text.wtext(directory))

    def rmdir(self, directory):
        self._call(_native.ZK_FtpDeleteDirectoryW, f"rmdir {directory}", _text.wtext(directory))

    def pwd(self):
        buf = _text.wbuffer(1024)
        self._call(_native.ZK_FtpGetDirectoryW, "PWD", buf, len(buf), _text.wtext("PWD"))
        return _text.from_units(buf)
