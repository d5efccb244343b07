// fuzz_transport_lines.cpp -- the line protocols' buffered line reading: the input as what a
// server sent, read once in pieces of the chosen size and once as whole lines cut to that size.
// The pieces must give back every byte but the line ends (CR LF or LF; a CR elsewhere is data),
// and whole lines must each begin where the previous one ended, however long it was.
#include <string>
#include <vector>

#include "fuzz_case.h"
#include "fuzz_pipe.h"
#include "proto/line_reader.h"

namespace {

// The lines the input holds: split at LF, one CR before each LF and one at the input's end
// dropped, a last line without its LF counted when anything of it came.
std::vector<std::string> LinesOf(const char *text, size_t length) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < length) {
        const void *lf = std::memchr(text + from, '\n', length - from);
        size_t end = lf != nullptr ? static_cast<size_t>(static_cast<const char *>(lf) - text) : length;
        size_t body = end > from && text[end - 1] == '\r' ? end - 1 : end;
        lines.emplace_back(text + from, body - from);
        from = end + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (n > 4096 || !ReadFuzzCase(data, n, &c)) return 0;
    const std::vector<std::string> lines = LinesOf(c.text.get(), c.length);
    const int32_t size = c.size < 2 ? 2 : c.size;  // room for at least one byte a piece
    auto out = Exactly<char>(size);

    FuzzPipe pieces;
    if (!OpenFuzzPipe(&pieces, data + 2, n - 2) || FuzzTransport(&pieces) == nullptr) return 0;
    std::vector<std::string> joined(1);
    for (size_t reads = 0; reads <= c.length + 1; ++reads) {
        bool complete = false;
        int32_t got = ProtoReadLinePiece(pieces.transport, out.get(), size, ProtoDeadline::After(1000), &complete);
        if (got < -1 || got >= size) FuzzFail("ProtoReadLinePiece", got);
        if (got < 0) break;
        if (out[got] != '\0') FuzzFail("piece terminator", got);
        if (got == 0 && !complete) FuzzFail("empty incomplete piece", got);
        joined.back().append(out.get(), static_cast<size_t>(got));
        if (complete) joined.emplace_back();
    }
    // A last line that filled a piece exactly as the stream ended has no complete piece.
    if (joined.back().empty()) joined.pop_back();
    if (joined != lines) FuzzFail("pieces differ from the lines sent", static_cast<int32_t>(joined.size()));

    FuzzPipe whole;
    if (!OpenFuzzPipe(&whole, data + 2, n - 2) || FuzzTransport(&whole) == nullptr) return 0;
    for (const std::string &line : lines) {
        bool overlong = false;
        int32_t got = ProtoReadLine(whole.transport, out.get(), size, 1000, &overlong);
        size_t kept = line.size() < static_cast<size_t>(size - 1) ? line.size() : static_cast<size_t>(size - 1);
        if (got != static_cast<int32_t>(kept) || line.compare(0, kept, out.get(), kept) != 0) FuzzFail("ProtoReadLine", got);
        if (overlong != (line.size() > kept)) FuzzFail("overlong", got);
    }
    if (ProtoReadLine(whole.transport, out.get(), size, 1000, nullptr) != -1) FuzzFail("a line after the last", 0);
    return 0;
}
