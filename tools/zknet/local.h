// local.h -- what the tool asks of this computer itself: whether standard error is a terminal,
// and the size and kind of local files (paths in the ANSI code page on Windows).
#ifndef ZK_TOOLS_ZKNET_LOCAL_H
#define ZK_TOOLS_ZKNET_LOCAL_H

#include <cstdint>
#include <string>

bool StderrIsTerminal();
// The file's size in bytes, or -1 when there is no such file.
int64_t LocalFileSize(const std::string &path);
bool IsLocalDirectory(const std::string &path);
// Whether a regular file can be opened for reading; the reason in *why when not.
bool CanReadLocalFile(const std::string &path, std::string *why);
// Whether a file can be written there (made, or an existing one replaced), leaving no new file
// behind; the reason in *why when not.
bool CanWriteLocalFile(const std::string &path, std::string *why);

#endif  // ZK_TOOLS_ZKNET_LOCAL_H
