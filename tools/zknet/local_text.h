// local_text.h -- text as this computer's terminal and files hold it (UTF-8, or the ANSI code page
// on Windows) turned into the library's UTF-16 and back, so that Japanese subjects and bodies
// read correctly in either place.
#ifndef ZK_TOOLS_ZKNET_LOCAL_TEXT_H
#define ZK_TOOLS_ZKNET_LOCAL_TEXT_H

#include <string>

#include "zknet/zkconf.h"

using WideText = std::basic_string<zk_wchar_t>;

// Local text to UTF-16; bytes that form no character become U+FFFD.
WideText LocalToWide(const std::string &text);
// UTF-16 to local text; characters the local form lacks become '?'.
std::string WideToLocal(const zk_wchar_t *text);

// UTF-8 to UTF-16 and back on every system (the local form on Linux), for texts written into
// the program itself.
WideText Utf8ToWide(const std::string &text);
std::string WideToUtf8(const zk_wchar_t *text);

#endif  // ZK_TOOLS_ZKNET_LOCAL_TEXT_H
