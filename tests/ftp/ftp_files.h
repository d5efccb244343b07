// ftp_files.h -- files for the FTP tests: the local folder, the server's home (read directly to
// compare what arrived), content made to measure and hashes to compare it by.
#ifndef ZK_TESTS_FTP_FTP_FILES_H
#define ZK_TESTS_FTP_FTP_FILES_H

#include <cstdint>
#include <string>

#include "zknet/zknet.h"

// The vsftpd that tests/ftp/start.sh runs (pyftpdlib and proftpd listen on 2122 and 2123).
constexpr int kFtpPort = 2121;
extern const char *const kFtpUser;
extern const char *const kFtpPassword;

// Folders as this program's file calls name them (Z:\... under Wine): the local side, made
// empty once per run, and a server's home (vsftpd's unless named: "pyftpd-home", "proftpd-home").
std::string LocalDir();
std::string ServerDir(const std::string &home = "home");
// A file the FTP servers' start made beside their homes: "certs/ca.pem", "ftps-peer/stall.log".
std::string PeerFile(const std::string &relative);
std::string Join(const std::string &dir, const std::string &name);

// Whole files in and out; WriteBytes makes the folders on the way.
bool WriteBytes(const std::string &path, const std::string &bytes);
std::string ReadBytes(const std::string &path, bool *ok = nullptr);
bool Exists(const std::string &path);
void RemoveTree(const std::string &path);

// A file of `size` pseudo-random bytes (seeded), written in pieces; its hash.
uint64_t WritePattern(const std::string &path, uint64_t size, uint32_t seed);

// FNV-1a 64 of a file's bytes, read in pieces; 0 when it cannot be read.
uint64_t HashFile(const std::string &path);
uint64_t HashBytes(const std::string &bytes);

// The file's last-write time as seconds since 1970 (UTC); -1 when unknown.
int64_t ModifiedSeconds(const std::string &path);
// The same for an FtpFileDate taken as UTC.
int64_t DateSeconds(const FtpFileDate &date);

// A name unique to this run for the test's files, with a suffix.
std::string Unique(const std::string &stem);

#endif  // ZK_TESTS_FTP_FTP_FILES_H
