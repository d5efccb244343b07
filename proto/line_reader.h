// line_reader.h -- reading the lines of a line protocol (FTP and SMTP replies, POP3 replies and
// messages) without ever taking a byte beyond the line's end, so that whatever follows (a later
// reply, the next message) stays in the connection's buffer for whoever reads next.
#ifndef ZK_PROTO_LINE_READER_H
#define ZK_PROTO_LINE_READER_H

#include <cstdint>

#include "proto/deadline.h"
#include "proto/transport.h"

// Reads at most size-1 bytes of the current line into `buffer` (terminated), stopping after the
// line's LF. `*complete` tells whether the LF was reached: the line's CR LF (or bare LF) is then
// not stored; otherwise the line goes on in the next piece. A CR inside a line is kept.
// Returns the bytes stored; -1 when nothing arrived before the deadline, the peer closed before
// sending anything, or the connection failed. A last line cut short by the peer's close counts
// as complete.
int32_t ProtoReadLinePiece(ProtoTransport *connection, char *buffer, int32_t size, const ProtoDeadline &deadline,
                           bool *complete);

// Reads one whole line: as much as fits into `buffer`, the rest of an overlong line read and
// dropped (a line's rest left on the connection would answer the next command). `*overlong`
// (optional) tells whether anything was dropped. Returns the bytes stored, or -1 as above. The
// line, its dropped rest included, must arrive within `timeout_ms` (0: no limit), or within
// `deadline` in the second form.
int32_t ProtoReadLine(ProtoTransport *connection, char *buffer, int32_t size, uint32_t timeout_ms, bool *overlong);
int32_t ProtoReadLineBy(ProtoTransport *connection, char *buffer, int32_t size, const ProtoDeadline &deadline,
                        bool *overlong);

#endif  // ZK_PROTO_LINE_READER_H
