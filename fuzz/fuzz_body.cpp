// fuzz_body.cpp -- the body as it goes out (PrepareBody: folding, ISO-2022-JP, CR LF, dot-
// stuffing, the end of the data; PrepareUtf8Body: folding, Base64 lines after the empty line that
// ends the header) and the wire text on its own: every line ends in CR LF, the only line holding a
// single period is the end mark, and no other line begins with a lone period.
#include <string>

#include "fuzz_case.h"
#include "mail/send/message_text.h"

namespace {
void CheckWire(const std::string &wire, bool with_mark) {
    for (size_t i = 0; i < wire.size(); ++i) {
        if (wire[i] == '\n' && (i == 0 || wire[i - 1] != '\r')) FuzzFail("bare LF", static_cast<int32_t>(i));
        if (wire[i] == '\r' && (i + 1 >= wire.size() || wire[i + 1] != '\n')) FuzzFail("bare CR", static_cast<int32_t>(i));
    }
    size_t end = wire.size();
    if (with_mark) {
        // The mark stands on a line of its own: the whole wire, or after the last line's CR LF.
        bool alone = wire == ".\r\n";
        if (!alone && (wire.size() < 5 || wire.compare(wire.size() - 5, 5, "\r\n.\r\n") != 0)) FuzzFail("end mark", 0);
        end = wire.size() - 3;  // the mark's line itself
    }
    for (size_t start = 0; start < end;) {
        size_t lf = wire.find("\r\n", start);
        if (lf == std::string::npos || lf >= end) lf = end;
        if (wire[start] == '.' && (start + 1 >= lf || wire[start + 1] != '.')) FuzzFail("unstuffed period", 0);
        start = lf + 2;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    const int32_t width = c.size % 3 == 0 ? -1 : c.size % 40 - 6;
    std::string wire;
    if (!PrepareBody(c.text.get(), c.length, width, &wire)) FuzzFail("PrepareBody", width);
    CheckWire(wire, true);
    if (!PrepareUtf8Body(std::string(c.text.get(), c.length), width, &wire)) FuzzFail("PrepareUtf8Body", width);
    CheckWire(wire, true);
    if (wire.compare(0, 2, "\r\n") != 0) FuzzFail("no empty line before the Base64 body", 0);
    // The wire text of any bytes, zero bytes and all.
    std::string raw;
    bool line_start = true;
    AppendWireText(raw, reinterpret_cast<const char *>(data), n, &line_start);
    if (!raw.empty() && raw.back() != '\n') raw += "\r\n";
    CheckWire(raw, false);
    return 0;
}
