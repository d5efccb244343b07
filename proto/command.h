// command.h -- command lines of the line protocols: formatted within the 1024-character limit
// of the command formatter, refused when a text would start a second line, and sent whole
// after any late reply has been cleared off the connection.
#ifndef ZK_PROTO_COMMAND_H
#define ZK_PROTO_COMMAND_H

#include <cstdint>

#include "zknet/socket.h"

// The most characters a command line holds with its terminator; a longer line would lose its
// CR LF. In the ANSI code page a W line may take up to two bytes a character, so a formatted
// line needs a buffer of kProtoLineBytes.
constexpr int32_t kProtoLineLimit = 1024;
constexpr int32_t kProtoLineBytes = 2 * kProtoLineLimit;

// Whether a text holds a CR or LF (which would end a command line early).
bool HasLineBreakA(const char *text);
bool HasLineBreakW(const zk_wchar_t *text);

// Formats "verb argument\r\n" ("verb\r\n" for a null or empty argument) into `line` (at least
// kProtoLineBytes bytes). Returns its length, or -1 with nothing formatted when a text holds CR
// or LF or the line would not fit the limit. The W form converts to the ANSI code page and also
// refuses a character the code page cannot hold (it would name something else).
int32_t ProtoFormatCommandA(char *line, const char *verb, const char *argument);
int32_t ProtoFormatCommandW(char *line, const zk_wchar_t *verb, const zk_wchar_t *argument);

// Reads and drops whatever already waits on the connection: the late end of an earlier reply,
// which would otherwise be taken as the answer to the next command.
void ProtoDropLate(SocketHandle *connection);

// Sends all `length` bytes, continuing after partial sends. False when the connection fails first,
// or, with `silence_ms` (0: no limit), once the connection has taken no byte for that long: a
// peer that stops reading cannot hold the sender (the thread's error code is then WSAETIMEDOUT).
bool ProtoSendAll(SocketHandle *connection, const char *data, int64_t length, uint32_t silence_ms = 0);

// ProtoDropLate, then ProtoSendAll of the line.
bool ProtoSendCommand(SocketHandle *connection, const char *line, int32_t length, uint32_t silence_ms = 0);

#endif  // ZK_PROTO_COMMAND_H
