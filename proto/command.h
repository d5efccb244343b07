// command.h -- command lines of the line protocols: formatted within the 1024-character limit
// of the command formatter, refused when a text would start a second line, and sent whole
// after any late reply has been cleared off the connection.
#ifndef ZK_PROTO_COMMAND_H
#define ZK_PROTO_COMMAND_H

#include <cstdint>

#include "proto/transport.h"

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

// The most a command line waits for the connection to take its first byte (and each further one):
// a peer that reads nothing for this long has stopped reading.
constexpr uint32_t kProtoSendSilenceMs = 10000;

// Drops whatever already waits on the connection (the late end of an earlier reply, which
// would otherwise be taken as the answer to the next command), then sends the whole line.
bool ProtoSendCommand(ProtoTransport *connection, const char *line, int32_t length,
                      uint32_t silence_ms = kProtoSendSilenceMs);
// The same without dropping anything: for a command sent while replies to earlier ones are still
// due and will be read (FTP's ABOR).
bool ProtoSendCommandKeepingReplies(ProtoTransport *connection, const char *line, int32_t length,
                                    uint32_t silence_ms = kProtoSendSilenceMs);

#endif  // ZK_PROTO_COMMAND_H
