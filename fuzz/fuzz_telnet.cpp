// fuzz_telnet.cpp -- the Telnet option negotiation over a connection that delivers the fuzz input
// (its answers must be well formed and it must end at the input's end), then the line splitting,
// the last-response copy and the line lists of what follows, and the command line builder.
#include <string>
#include <thread>

#include "fuzz_case.h"
#include "fuzz_pipe.h"
#include "telnet/command_line.h"
#include "telnet/line_text.h"
#include "telnet/negotiate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (n > 4096 || !ReadFuzzCase(data, n, &c)) return 0;
    {
        FuzzPipe pipe;
        if (!OpenFuzzPipe(&pipe, data + 2, n - 2)) return 0;
        // The answers are read while they are sent, as a host would: hundreds of small sends
        // would otherwise fill the socket pair's buffer and block the negotiation.
        std::string answers;
        std::thread host([&pipe, &answers] {
            char piece[4096];
            ssize_t r;
            while ((r = ::recv(pipe.writer, piece, sizeof(piece), 0)) > 0) answers.append(piece, static_cast<size_t>(r));
        });
        (void)NegotiateOptions(pipe.reader);
        ::shutdown(pipe.reader->socket, SHUT_WR);
        host.join();
        // Every answer begins with IAC and is one of the fixed forms.
        const ssize_t got = static_cast<ssize_t>(answers.size());
        for (ssize_t i = 0; i < got;) {
            if (static_cast<unsigned char>(answers[i]) != 255 || i + 2 >= got) FuzzFail("negotiation answer", static_cast<int32_t>(i));
            if (static_cast<unsigned char>(answers[i + 1]) == 250) {
                while (i < got && !(static_cast<unsigned char>(answers[i]) == 255 && i + 1 < got &&
                                    static_cast<unsigned char>(answers[i + 1]) == 240)) {
                    ++i;
                }
                if (i >= got) FuzzFail("subnegotiation end", static_cast<int32_t>(got));
                i += 2;
            } else {
                unsigned char verb = static_cast<unsigned char>(answers[i + 1]);
                if (verb < 251) FuzzFail("negotiation verb", verb);
                i += 3;
            }
        }
    }

    // The text as a received burst: NULs removed, split into lines, copied, listed.
    std::unique_ptr<char[]> burst(new char[c.length + 1]);
    std::memcpy(burst.get(), c.text.get(), c.length + 1);
    int32_t kept = StripNulBytes(burst.get(), static_cast<int32_t>(c.length));
    if (kept < 0 || static_cast<size_t>(kept) > c.length) FuzzFail("StripNulBytes", kept);
    int32_t count = kept > 0 ? SplitLines(burst.get(), kept) : 0;
    if (count < 0 || count > kept + 1) FuzzFail("SplitLines", count);
    SetTelnetLastResponse(burst.get(), count);
    TelnetLineList narrow{0, nullptr};
    TelnetLineList wide{0, nullptr};
    if (count > 0) {
        BuildLineListA(burst.get(), count, &narrow);
        BuildLineListW(burst.get(), count, &wide);
    }
    for (int32_t i = 0; i < narrow.count; ++i) {
        if (static_cast<const char *>(narrow.items[i])[0] == '\0') FuzzFail("empty line", i);
    }
    ReleaseLineList(&narrow);
    ReleaseLineList(&wide);

    auto line = Exactly<char>(c.size);
    int32_t length = TelnetCommandLine(c.text.get(), line.get(), c.size);
    if (length < -1 || length >= c.size) FuzzFail("TelnetCommandLine", length);
    if (length >= 0) {
        for (int32_t i = 0; i + 2 < length; ++i) {
            if (line[i] == '\r' || line[i] == '\n') FuzzFail("line break inside", i);
        }
    }
    return 0;
}
