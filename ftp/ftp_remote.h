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


// Reads a SIZE reply's number: blanks, the decimal digits, then the end of the text or a blank.
// False (and 0) for anything else: no digits, a sign, a number glued to other text, or one past
// 2^63 - 1.
bool ParseFileSize(const char *text, uint64_t *size);

// TYPE I then SIZE, as the size query does, with the whole 64-bit size. 1, or 0 with code 16, 11,
// 3 or 4. `wide` chooses the name form.
int FtpQueryFileSize(FtpSession *session, const char *file_a, const zk_wchar_t *file_w, bool wide, uint64_t *size);

// The six fields of an MDTM time text YYYYMMDDhhmmss (anything after it ignored); false when
// the text does not begin with fourteen digits.
bool ParseFtpTime(const char *text, FtpFileDate *date);

// Adds nine hours; the day does not carry into the month.
void ShiftNineHours(FtpFileDate *date);

#endif  // ZK_FTP_FTP_REMOTE_H
