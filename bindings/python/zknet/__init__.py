"""zknet -- FTP, SMTP and POP3 sessions of the zknet library (zknet.dll, libzknet.so) through ctypes.

    with zknet.FtpSession("ftp.example", "user", "password") as ftp:
        ftp.put("report.csv", "report.csv")
        for name in ftp.list("NLST"):
            print(name, ftp.size(name))

zknet._native holds every export's declaration; ZKNET_LIBRARY names the library to load.
"""
from ._native import load
from .errors import FtpCancelled, FtpError, MailCancelled, MailError, ZknetError
from .ftp import FtpSession
from .mail import MailEntry, Pop3Session, SmtpSession

__all__ = ["FtpSession", "SmtpSession", "Pop3Session", "MailEntry", "ZknetError", "FtpError", "MailError",
           "FtpCancelled", "MailCancelled", "load"]
__version__ = "1.0.0"
