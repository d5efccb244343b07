// command_line.h -- a command as it goes out on a Telnet connection.
#ifndef ZK_TELNET_COMMAND_LINE_H
#define ZK_TELNET_COMMAND_LINE_H

#include <cstdint>

// The byte that begins every Telnet command (IAC); as data it is sent twice.
constexpr unsigned char kIacByte = 0xFF;

// Writes the command line into `line` (room for `size` bytes): the command with every 0xFF byte
// doubled, so that the host does not take it for the start of a Telnet command, then CR LF and a
// terminator. Returns the line's length without the terminator, or -1 when the command holds a CR
// or LF (it would end the line early and start a second command of the caller's text) or when the
// line, doubled bytes included, is longer than kMaxCommandLength bytes before its CR LF.
int32_t TelnetCommandLine(const char *command, char *line, int32_t size);

#endif  // ZK_TELNET_COMMAND_LINE_H
