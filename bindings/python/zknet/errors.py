"""errors.py -- the exceptions the friendly classes raise: the family's last error code and reply."""


class ZknetError(Exception):
    """A call of the library failed: `code` is the family's last error code (ZK_FTP_..., ZK_MAIL_...),
    `reply` the server's last reply line, `operation` what was asked."""

    def __init__(self, code, reply="", operation=""):
        self.code = code
        self.reply = reply
        self.operation = operation
        super().__init__(f"{operation or 'zknet'}: code {code}" + (f": {reply}" if reply else ""))


class FtpError(ZknetError):
    """An FTP session's call failed (code from ZK_FtpQueryLastErrorCode)."""


class MailError(ZknetError):
    """An SMTP or POP3 session's call failed (code from ZK_MailQueryLastErrorCode)."""


class FtpCancelled(FtpError):
    """The progress callback cancelled an FTP transfer (code 33)."""


class MailCancelled(MailError):
    """The progress callback cancelled a POP3 retrieval (code 33)."""
