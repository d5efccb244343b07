// line_peer.cpp -- the scripted line-protocol server of the tests.
#include "support/line_peer.h"

#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

const char *const kAnyLine = "\x01(any line)";
const char *const kNoLine = "\x01(no line)";
const char *const kData = "\x01(message data)";
const char *const kClientCloses = "\x01(client closes)";
const char *const kCloseNow = "\x01(close)";

namespace {

// What one receive asks for: a whole message block at a time, not a byte per system call (a
// loaded machine running the client under Wine must not make a step outlast its limit).
constexpr int kBlockBytes = 64 * 1024;

// Takes the client's next block into link.unread within what is left of the limit: 1, 0 when
// the client closed, -1 on time-out.
int Fill(LinePeerLink &link, uint32_t start, uint32_t limit_ms) {
    if (link.control == nullptr) return 0;
    uint32_t spent = win::GetTickCount() - start;
    if (spent >= limit_ms) return -1;
    int ready = win::WaitReadable(link.control->socket, limit_ms - spent);
    if (ready == 0) return -1;
    if (ready < 0) return 0;
    char block[kBlockBytes];
    int n = win::recv(link.control->socket, block, sizeof(block), 0);
    if (n <= 0) return 0;  // closed or failed: either way nothing more comes
    link.unread.erase(0, link.taken);
    link.taken = 0;
    link.unread.append(block, static_cast<size_t>(n));
    link.bytes.append(block, static_cast<size_t>(n));
    return 1;
}

// The next byte within what is left of the limit: 1, 0 when the client closed, -1 on time-out.
int NextByte(LinePeerLink &link, uint32_t start, uint32_t limit_ms, char *c) {
    while (link.taken == link.unread.size()) {
        int n = Fill(link, start, limit_ms);
        if (n != 1) return n;
    }
    *c = link.unread[link.taken++];
    return 1;
}

bool Matches(const std::string &expect, const std::string &line) {
    if (expect == kAnyLine) return true;
    if (!expect.empty() && expect.back() == '*') return line.compare(0, expect.size() - 1, expect, 0, expect.size() - 1) == 0;
    return line == expect;
}

}  // namespace

void StartLinePeer(LinePeer &peer, uint16_t family, LineScript script) {
    peer.listener = ListenAnyPort(family);
    peer.link = LinePeerLink();
    peer.link.family = family;
    peer.thread = std::thread([&peer, script] {
        peer.link.control = AcceptWithin(peer.listener.handle, 10000);
        if (peer.link.control != nullptr) script(peer.link);
        if (peer.link.control != nullptr) ZK_SocketClose(peer.link.control);
        peer.link.control = nullptr;
    });
}

void StartLinePeer(LinePeer &peer, uint16_t family, std::vector<LineStep> steps) {
    StartLinePeer(peer, family, [steps](LinePeerLink &link) { RunSteps(link, steps); });
}

void FinishLinePeer(LinePeer &peer) {
    if (peer.thread.joinable()) peer.thread.join();
    if (peer.listener.handle != nullptr) ZK_SocketClose(peer.listener.handle);
    peer.listener.handle = nullptr;
}

std::string ExpectLine(LinePeerLink &link, uint32_t limit_ms, int *got) {
    if (got != nullptr) *got = 1;
    std::string line;
    uint32_t start = win::GetTickCount();
    char c = 0;
    for (;;) {
        int n = NextByte(link, start, limit_ms, &c);
        if (n != 1) {
            if (got != nullptr) *got = n;
            return "";
        }
        if (c == '\n') break;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    } else {
        link.bare_line_end = true;
    }
    link.commands.push_back(line);
    return line;
}

void SendRaw(LinePeerLink &link, const std::string &bytes) {
    if (link.control != nullptr) SendAll(link.control, bytes);
}

void SendLine(LinePeerLink &link, const std::string &line) { SendRaw(link, line + "\r\n"); }

bool ExpectData(LinePeerLink &link, uint32_t limit_ms) {
    std::string block;
    uint32_t start = win::GetTickCount();
    char c = 0;
    size_t line_start = 0;
    // The end mark is a line holding a single period; the block's first line may be it too.
    for (;;) {
        if (NextByte(link, start, limit_ms, &c) != 1) return false;
        block.push_back(c);
        if (c != '\n') continue;
        size_t line_length = block.size() - line_start;
        bool crlf = line_length >= 2 && block[block.size() - 2] == '\r';
        if (!crlf) link.bare_line_end = true;
        if (line_length == (crlf ? 3u : 2u) && block[line_start] == '.') {
            block.erase(line_start);
            link.messages.push_back(block);
            return true;
        }
        line_start = block.size();
    }
}

void RunSteps(LinePeerLink &link, const std::vector<LineStep> &steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const LineStep &step = steps[i];
        if (step.expect == kClientCloses) {
            if (!AwaitClose(link, step.limit_ms)) {
                link.mismatches.push_back("step " + std::to_string(i) + ": the client did not close");
            }
            continue;
        }
        if (step.expect == kData) {
            if (!ExpectData(link, step.limit_ms)) {
                link.mismatches.push_back("step " + std::to_string(i) + ": the message data did not end");
                return;
            }
        } else if (step.expect != kNoLine) {
            int got = 0;
            std::string line = ExpectLine(link, step.limit_ms, &got);
            if (got != 1) {
                link.mismatches.push_back("step " + std::to_string(i) + ": expected '" + step.expect +
                                          "', the client " + (got == 0 ? "closed" : "sent nothing"));
                return;
            }
            if (!Matches(step.expect, line)) {
                link.mismatches.push_back("step " + std::to_string(i) + ": expected '" + step.expect + "', got '" +
                                          line + "'");
            }
        }
        if (step.pause_ms > 0) win::Sleep(step.pause_ms);
        if (step.reply == kCloseNow) {
            ZK_SocketClose(link.control);
            link.control = nullptr;
            return;
        }
        if (step.drip_ms > 0) {
            for (size_t k = 0; k < step.reply.size() && link.control != nullptr; ++k) {
                if (k > 0) win::Sleep(step.drip_ms);
                if (!SendAll(link.control, step.reply.substr(k, 1))) break;
            }
        } else if (!step.reply.empty()) {
            SendRaw(link, step.reply);
        }
    }
}

bool AwaitClose(LinePeerLink &link, uint32_t limit_ms) {
    uint32_t start = win::GetTickCount();
    char c = 0;
    for (;;) {
        int n = NextByte(link, start, limit_ms, &c);
        if (n == 0) return true;
        if (n < 0) return false;
    }
}
