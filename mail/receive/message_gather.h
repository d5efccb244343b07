// message_gather.h -- a retrieved message gathered from the bytes of a POP3 RETR answer (after its
// status line), without sockets, so that it can be tested and fuzzed as a byte stream: the lines
// as they were sent (the server's dot-stuffing removed), each ending in CR LF, up to the line
// holding a single period.
#ifndef ZK_MAIL_RECEIVE_MESSAGE_GATHER_H
#define ZK_MAIL_RECEIVE_MESSAGE_GATHER_H

#include <cstddef>
#include <cstdint>

// The most a gathered message may hold; the rest of a larger one is read and dropped, and the
// message counts as not retrieved (the text's users measure it in 32-bit counts).
constexpr size_t kMostMessageBytes = 1024u * 1024 * 1024;

struct MessageGather {
    char *text = nullptr;  // allocated with malloc, always terminated once it exists
    size_t length = 0;
    size_t capacity = 0;
    size_t lines = 0;
    int grown = 0;          // how often the text was reallocated (it doubles: a few dozen times at most)
    bool line_start = true; // the next byte begins a line
    bool leading_dot = false;   // the current line began with a period (taken off)
    bool line_has_bytes = false;  // the current line holds more than that period and its line end
    bool held_cr = false;       // the line's last byte so far is a CR, not kept yet
    bool line_cut = false;      // a zero byte was met: the rest of the line is dropped
    bool done = false;          // the lone period was read
    bool overflow = false;      // memory ran out or the message passed kMostMessageBytes
};

// Takes the bytes that follow; returns how many of them belong to the message: all of them, or
// up to and including the line end of the lone period, which sets `done`. Each line is kept with
// its CR LF: a line that ends in a bare LF too, a CR elsewhere in the line is kept as it came,
// and a zero byte ends what is kept of its line. A line that begins with a period loses that
// period (the server's stuffing); a line of the period alone ends the message.
size_t GatherMessageBytes(MessageGather *gather, const char *bytes, size_t count);

// The text, handed to the caller (release with free), once the message ended with at least one
// line and fitted; otherwise null. Either way the gather is empty afterwards.
char *TakeGatheredMessage(MessageGather *gather);

// Releases the text gathered so far and keeps nothing more, while still following the lines to
// the message's end (a retrieval cancelled or too large is read to its end and dropped).
void DropGatheredText(MessageGather *gather);

// Releases whatever the gather holds.
void ReleaseGather(MessageGather *gather);

#endif  // ZK_MAIL_RECEIVE_MESSAGE_GATHER_H
