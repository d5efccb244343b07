// block_reader.cpp -- blocks handed to their reader, then taken as far as they belong.
#include "proto/block_reader.h"

bool ProtoReadBlocks(ProtoTransport *connection, uint32_t timeout_ms, ProtoBlockSink sink, void *context) {
    if (connection == nullptr || sink == nullptr) return false;
    for (;;) {
        // The silence bound holds for each block: a large message may take long in all.
        if (ProtoFill(connection, ProtoDeadline::After(timeout_ms), nullptr) <= 0) return false;
        int32_t waiting = 0;
        const char *bytes = ProtoBuffered(connection, &waiting);
        bool end = false;
        size_t used = sink(context, bytes, static_cast<size_t>(waiting), &end);
        if (used > static_cast<size_t>(waiting)) used = static_cast<size_t>(waiting);
        ProtoTake(connection, static_cast<int32_t>(used));
        if (end) return true;
        // A sink that takes nothing without reaching the end would make no progress.
        if (used == 0) return false;
    }
}
