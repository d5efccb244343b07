// fuzz_pop3_message.cpp -- the POP3 message reader fed as a byte stream, in pieces of the size the
// input's first two bytes choose: the same message whatever the pieces, equal to a plain line-by-
// line reading (stuffing removed, CRs dropped, a zero byte ending what is kept of its line, the
// lone period ending it all), every line ending in CR LF, nothing taken beyond the end.
#include <cstdlib>
#include <string>

#include "fuzz_case.h"
#include "mail/receive/message_gather.h"

namespace {

struct Reading {
    bool done = false;
    bool has_text = false;
    std::string text;
    size_t used = 0;
};

Reading InPieces(const char *bytes, size_t n, size_t piece) {
    MessageGather g;
    Reading r;
    for (size_t at = 0; at < n && !g.done; at += piece) {
        size_t count = piece < n - at ? piece : n - at;
        size_t used = GatherMessageBytes(&g, bytes + at, count);
        if (used > count || (used < count && !g.done)) FuzzFail("bytes left before the end", static_cast<int32_t>(used));
        r.used += used;
    }
    r.done = g.done;
    if (g.text != nullptr && std::strlen(g.text) != g.length) FuzzFail("length", static_cast<int32_t>(g.length));
    char *text = TakeGatheredMessage(&g);
    if (text != nullptr) {
        r.has_text = true;
        r.text = text;
        std::free(text);
    }
    return r;
}

// The same, line by line, as plainly as it can be said.
Reading ByLines(const char *bytes, size_t n) {
    Reading r;
    size_t lines = 0;
    for (size_t start = 0; start < n;) {
        size_t lf = start;
        while (lf < n && bytes[lf] != '\n') ++lf;
        if (lf == n) {
            r.used = n;
            return r;  // no end yet
        }
        std::string raw(bytes + start, lf - start);
        start = lf + 1;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        bool dot = !raw.empty() && raw[0] == '.';
        std::string content = dot ? raw.substr(1) : raw;
        if (dot && content.empty()) {
            r.done = true;
            r.used = start;
            r.has_text = lines > 0;
            if (!r.has_text) r.text.clear();
            return r;
        }
        r.text += content.substr(0, content.find('\0')) + "\r\n";
        ++lines;
    }
    r.used = n;
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    const char *bytes = c.text.get();
    Reading whole = InPieces(bytes, c.length, c.length + 1);
    Reading pieces = InPieces(bytes, c.length, static_cast<size_t>(c.size));
    Reading single = InPieces(bytes, c.length, 1);
    Reading plain = ByLines(bytes, c.length);
    for (const Reading *r : {&pieces, &single, &plain}) {
        if (r->done != whole.done || r->used != whole.used) FuzzFail("end or bytes taken differ", static_cast<int32_t>(r->used));
        if (whole.done && (r->has_text != whole.has_text || r->text != whole.text)) FuzzFail("texts differ", 0);
    }
    if (whole.has_text) {
        const std::string &t = whole.text;
        for (size_t i = 0; i < t.size(); ++i) {
            if (t[i] == '\n' && (i == 0 || t[i - 1] != '\r')) FuzzFail("bare LF", static_cast<int32_t>(i));
        }
        if (t.size() < 2 || t.compare(t.size() - 2, 2, "\r\n") != 0) FuzzFail("last line end", 0);
    }
    return 0;
}
