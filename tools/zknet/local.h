// local.h -- what the tool asks of this computer itself: whether standard error is a terminal and
// how wide it is, and the size and kind of local files (paths in UTF-8 on every system).
#ifndef ZK_TOOLS_ZKNET_LOCAL_H
#define ZK_TOOLS_ZKNET_LOCAL_H

#include <cstdint>
#include <cstdio>
#include <string>

bool StderrIsTerminal();
// The terminal's width in columns: asked of the terminal, else $COLUMNS, else 80.
int TerminalColumns();
// The file's size in bytes, or -1 when there is no such file.
int64_t LocalFileSize(const std::string &path);
bool IsLocalDirectory(const std::string &path);
// fopen and remove for a UTF-8 path (on Windows through the UTF-16 calls).
FILE *OpenLocalFile(const std::string &path, const char *mode);
int RemoveLocalFile(const std::string &path);
// Whether a regular file can be opened for reading; the reason in *why when not.
bool CanReadLocalFile(const std::string &path, std::string *why);
// Whether a file can be written there (made, or an existing one replaced), leaving no new file
// behind; the reason in *why when not.
bool CanWriteLocalFile(const std::string &path, std::string *why);

#endif  // ZK_TOOLS_ZKNET_LOCAL_H
