// line_peer.h -- a server of a line protocol (FTP, SMTP, POP3) played by a thread of the test
// program, for what real servers will not do. It runs a table of steps (the line it expects,
// the reply it gives) or a script of its own, records every line the client sends and every
// byte, and notes each line that differs from the table. Every wait is bounded and the peer
// closes its end at last, so no test can hang on it.
#ifndef ZK_TESTS_SUPPORT_LINE_PEER_H
#define ZK_TESTS_SUPPORT_LINE_PEER_H

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/net_peer.h"

// What a script works with.
struct LinePeerLink {
    uint16_t family = ZK_AF_INET;
    SocketHandle *control = nullptr;
    std::vector<std::string> commands;  // each line the client sent, without its line end
    std::string bytes;                  // everything the client sent, exactly
    std::vector<std::string> messages;  // the data blocks read by kData steps, as sent (dot-stuffed)
    std::vector<std::string> mismatches;
    bool bare_line_end = false;         // some line ended in LF without CR
    std::string unread;                 // received in a block but not yet taken by a step
    size_t taken = 0;                   // how much of `unread` the steps have taken
};

// One step of a table. `expect` is the line the client should send next: compared exactly, or
// by its start when it ends in '*'; kAnyLine takes any line; kNoLine expects none (the step
// only replies); kData reads a message block up to the line holding a single period;
// kClientCloses expects the client to close its end within the limit (a step's way of checking
// a close: the peer's link belongs to its own thread until FinishLinePeer).
// `reply` is sent after it as it stands (several lines, each with CR LF), after `pause_ms`;
// kCloseNow in place of a reply closes the connection. `limit_ms` bounds the wait for the
// step's line (a client that is itself waiting out a time-out sends its next line late). With
// `drip_ms` the reply goes out one byte at a time, that long apart, each byte a segment of its
// own, until it is all sent or the client has gone.
struct LineStep {
    std::string expect;
    std::string reply;
    uint32_t pause_ms = 0;
    uint32_t limit_ms = 5000;
    uint32_t drip_ms = 0;
};
extern const char *const kAnyLine;
extern const char *const kNoLine;
extern const char *const kData;
extern const char *const kClientCloses;
extern const char *const kCloseNow;

using LineScript = std::function<void(LinePeerLink &link)>;

struct LinePeer {
    Listener listener;
    std::thread thread;
    LinePeerLink link;
};

// Listens on a free loopback port of the family and runs the script (or the table) for the
// first connection that comes within 10 s; then closes it.
void StartLinePeer(LinePeer &peer, uint16_t family, LineScript script);
void StartLinePeer(LinePeer &peer, uint16_t family, std::vector<LineStep> steps);
// Waits for the script to end (it must end by itself) and closes what is left.
void FinishLinePeer(LinePeer &peer);

// Script steps. ExpectLine returns the next line, "" when none came within the limit or the
// client closed; `*got` (optional) tells which: 1 a line, 0 the client closed, -1 time-out.
// SendLine adds CR LF; SendRaw sends the bytes as given.
std::string ExpectLine(LinePeerLink &link, uint32_t limit_ms = 5000, int *got = nullptr);
void SendLine(LinePeerLink &link, const std::string &line);
void SendRaw(LinePeerLink &link, const std::string &bytes);
// Reads a message block up to and including the line holding a single period and adds it to
// link.messages without that line (as sent: dot-stuffed, line ends as they came). False when
// the block did not end within the limit.
bool ExpectData(LinePeerLink &link, uint32_t limit_ms = 5000);
// Runs a table of steps; differences go to link.mismatches.
void RunSteps(LinePeerLink &link, const std::vector<LineStep> &steps);
// Waits up to `limit_ms` for the client to close its end; true when it did. For scripts, on the
// peer's thread.
bool AwaitClose(LinePeerLink &link, uint32_t limit_ms);

#endif  // ZK_TESTS_SUPPORT_LINE_PEER_H
