// block_reader.h -- reading a multi-line answer (a POP3 message up to its lone period) in large
// blocks instead of line by line, still taking no byte beyond the answer's end: each block is
// handed to its reader as received, and only what the reader says belongs to the answer is
// taken; the rest stays in the connection's buffer.
#ifndef ZK_PROTO_BLOCK_READER_H
#define ZK_PROTO_BLOCK_READER_H

#include <cstddef>
#include <cstdint>

#include "proto/transport.h"

// Handed each block as it arrives; returns how many of its first bytes belong to the answer
// (all of them unless the answer ends inside the block) and sets *end once it has seen the
// answer's end.
using ProtoBlockSink = size_t (*)(void *context, const char *bytes, size_t count, bool *end);

// Feeds the sink block by block until it reports the end. Each wait for a block lasts at most
// `timeout_ms` (0: no limit). Returns true at the end; false when the peer closed, the connection
// failed or a wait ran out first.
bool ProtoReadBlocks(ProtoTransport *connection, uint32_t timeout_ms, ProtoBlockSink sink, void *context);

#endif  // ZK_PROTO_BLOCK_READER_H
