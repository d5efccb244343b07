// local_text.h -- the tool's texts: UTF-8 inside the tool on every system (Windows' command line
// is read in UTF-16 and turned into UTF-8 by main), UTF-16 towards the library, and the user's
// encoding on output (UTF-8 on Linux, the ANSI code page on Windows). Characters an output or a
// message's charset lacks are counted, and the tool says so once at the end.
#ifndef ZK_TOOLS_ZKNET_LOCAL_TEXT_H
#define ZK_TOOLS_ZKNET_LOCAL_TEXT_H

#include <string>

#include "zknet/zkconf.h"

using WideText = std::basic_string<zk_wchar_t>;

// UTF-8 to UTF-16 and back; bytes that form no character become U+FFFD, a lone surrogate '?'
// (counted in *replaced when given).
WideText Utf8ToWide(const std::string &text);
std::string WideToUtf8(const zk_wchar_t *text, size_t *replaced = nullptr);
bool IsValidUtf8(const std::string &text);

// The ANSI code page as the library's A forms read it (932 on Linux, the system's on Windows)
// to UTF-16.
WideText AnsiToWide(const std::string &bytes);
// How many characters of the text the ANSI code page lacks: the library puts '?' for each in a
// message's text, and sends no command that holds one. With `best_fit` (Windows), a character
// the code page writes as a look-alike counts as kept, as message texts take it; commands do not.
size_t CountUnmappableInAnsi(const WideText &text, bool best_fit);

// The tool's UTF-8 in the user's encoding for printing; characters it lacks become '?' and are
// noted under `what` ("the listing").
std::string ForOutput(const std::string &utf8, const char *what);
// A library result in the user's encoding, likewise.
std::string WideForOutput(const zk_wchar_t *text, const char *what);

// Counts characters replaced in `what` (`how`: "printed as ?", "sent as ?").
void NoteReplaced(const std::string &what, const std::string &how, size_t count);
// One warning line on standard error per text that lost characters, then forgets them.
void ReportReplacements();

// An environment variable's value in UTF-8; false when it is not set.
bool EnvironmentText(const char *name, std::string *value);

#endif  // ZK_TOOLS_ZKNET_LOCAL_TEXT_H
