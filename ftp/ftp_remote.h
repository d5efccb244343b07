// ftp_remote.h -- helpers of the remote file commands that the transfers use as well.
#ifndef ZK_FTP_FTP_REMOTE_H
#define ZK_FTP_FTP_REMOTE_H

#include <cstdint>

#include "zknet/ftp.h"

// Gives a local file the time as its last-access and last-write time (taken as it is, no
// local-time conversion). Nonzero on success; a time that is no calendar time leaves the file's
// times unchanged and fails.
int SetLocalFileTimeA(const char *path, const FtpFileDate *date);
int SetLocalFileTimeW(const zk_wchar_t *path, const FtpFileDate *date);

// Reads a signed decimal number as strtol would, saturating at the 32-bit limits.
int32_t ParseSaturatedInt32(const char *text);

// The six fields of an MDTM time text YYYYMMDDhhmmss (anything after it ignored); false when
// the text does not begin with fourteen digits.
bool ParseFtpTime(const char *text, FtpFileDate *date);

// Adds nine hours; the day does not carry into the month.
void ShiftNineHours(FtpFileDate *date);

#endif  // ZK_FTP_FTP_REMOTE_H
