// text_bench.cpp -- throughput of each text conversion beside glibc iconv doing the same
// conversion, on a mail-sized text and on 10 MB of mixed Japanese text, ending with a table
// of both side by side. Run: zk_bench_text [Google Benchmark flags].
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "text/base64.h"
#include "text/charset.h"
#include "text/encoded_words.h"
#include "text/quoted_printable.h"
#include "text/transfer_charset.h"

namespace {
// ---- The corpora ----

bool Iconv(const char *to, const char *from, const std::string &in, std::string *out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out->assign(in.size() * 4 + 16, '\0');
    char *ip = const_cast<char *>(in.data());
    size_t in_left = in.size();
    char *op = &(*out)[0];
    size_t out_left = out->size();
    bool ok = iconv(cd, &ip, &in_left, &op, &out_left) != static_cast<size_t>(-1) &&
              iconv(cd, nullptr, nullptr, &op, &out_left) != static_cast<size_t>(-1);
    out->resize(out->size() - out_left);
    iconv_close(cd);
    return ok;
}

std::string Must(const char *to, const char *from, const std::string &in) {
    std::string out;
    if (!Iconv(to, from, in, &out)) {
        std::fprintf(stderr, "iconv %s to %s failed\n", from, to);
        std::exit(1);
    }
    return out;
}

// Mail-like lines in ISO-2022-JP: ASCII words, kana and kanji of JIS X 0208, line by line.
std::string MixedJis(size_t bytes) {
    static std::vector<unsigned> kanji;
    if (kanji.empty()) {
        std::string out;
        for (unsigned hi = 0x30; hi <= 0x4F; ++hi) {
            for (unsigned lo = 0x21; lo <= 0x7E; ++lo) {
                std::string one = std::string("\x1B$B") + static_cast<char>(hi) + static_cast<char>(lo) + "\x1B(B";
                if (Iconv("UTF-16LE", "ISO-2022-JP", one, &out)) kanji.push_back(hi << 8 | lo);
            }
        }
    }
    uint32_t seed = 2024;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    static const char *const words[] = {"the", "meeting", "server", "2024", "OK", "-", "ID:", "mail", "(test)"};
    std::string text;
    while (text.size() < bytes) {
        std::string line;
        while (line.size() < 70) {
            if (next(3) == 0) {
                line += words[next(9)];
                line += ' ';
            } else {
                line += "\x1B$B";
                for (uint32_t n = 2 + next(12); n > 0; --n) {
                    uint32_t pick = next(5);
                    unsigned code = pick < 2 ? 0x2421 + next(0x53) : pick == 2 ? 0x2521 + next(0x56)
                                                                              : kanji[next(static_cast<uint32_t>(kanji.size()))];
                    line += static_cast<char>(code >> 8);
                    line += static_cast<char>(code & 0xFF);
                }
                line += "\x1B(B";
            }
        }
        text += line + "\r\n";
    }
    return text;
}

struct Corpus {
    std::string jis, sjis, euc, utf8, wide;  // wide: UTF-16LE bytes with a terminating unit
    std::string jis_b64, euc_b64, utf8_b64, jis_qp, header;
};

std::string Base64Of(const std::string &bytes) {
    std::string out(bytes.size() / 3 * 4 + 8, '\0');
    int32_t n = Base64Encode(bytes.data(), static_cast<int32_t>(bytes.size()), &out[0], static_cast<int32_t>(out.size()));
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
}

std::string QuotedOf(const std::string &bytes) {
    std::string out;
    char hex[4];
    for (unsigned char c : bytes) {
        if (c >= 0x21 && c <= 0x7E && c != '=') {
            out += static_cast<char>(c);
        } else if (c == '\r' || c == '\n') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(hex, sizeof(hex), "=%02X", c);
            out += hex;
        }
    }
    return out;
}

// A header value of UTF-8 and ISO-2022-JP encoded words, as long as the mail corpus.
std::string HeaderOf(const Corpus &c) {
    std::string value = "Re: ";
    size_t at = 0;
    while (value.size() < c.jis.size() && at + 45 < c.utf8.size()) {
        size_t cut = at + 45;
        while (cut > at && (static_cast<unsigned char>(c.utf8[cut]) & 0xC0) == 0x80) --cut;
        value += "=?UTF-8?B?" + Base64Of(c.utf8.substr(at, cut - at)) + "?= ";
        at = cut;
    }
    return value;
}

Corpus MakeCorpus(size_t bytes) {
    Corpus c;
    c.jis = MixedJis(bytes);
    c.sjis = Must("SHIFT_JIS", "ISO-2022-JP", c.jis);  // JIS X 0208 as it is: the same bytes as code page 932
    c.euc = Must("EUC-JP", "ISO-2022-JP", c.jis);
    c.utf8 = Must("UTF-8", "ISO-2022-JP", c.jis);
    c.wide = Must("UTF-16LE", "ISO-2022-JP", c.jis) + std::string(2, '\0');
    c.jis_b64 = Base64Of(c.jis);
    c.euc_b64 = Base64Of(c.euc);
    c.utf8_b64 = Base64Of(c.utf8);
    c.jis_qp = QuotedOf(c.jis);
    return c;
}

const Corpus &Mail() {
    static const Corpus c = [] {
        Corpus m = MakeCorpus(4 * 1024);
        m.header = HeaderOf(m);
        return m;
    }();
    return c;
}

const Corpus &Large() {
    static const Corpus c = MakeCorpus(10 * 1024 * 1024);
    return c;
}

// ---- One conversion, two ways ----

using Narrowing = int32_t (*)(const char *, char *, int32_t);
using Widening = int32_t (*)(const char *, zk_wchar_t *, int32_t);
using Field = const std::string Corpus::*;

struct Conversion {
    const char *name;
    Field input;
    Narrowing narrow;
    Widening wide;
    int32_t (*from_wide)(const zk_wchar_t *, char *, int32_t);
    const char *iconv_from;  // null: no iconv counterpart
    const char *iconv_to;
    Narrowing first_stage;  // decoding iconv cannot do, run before it on the iconv side
    int growth;             // output size for the library: input length times this, as callers give
};

const Conversion kConversions[] = {
    {"SjisToJis", &Corpus::sjis, SjisToJis, nullptr, nullptr, "SHIFT_JIS", "ISO-2022-JP", nullptr, 3},
    {"JisToSjis", &Corpus::jis, JisToSjis, nullptr, nullptr, "ISO-2022-JP", "CP932", nullptr, 1},
    {"EucToJis", &Corpus::euc, EucToJis, nullptr, nullptr, "EUC-JP", "ISO-2022-JP", nullptr, 3},
    {"EucToSjis", &Corpus::euc, EucToSjis, nullptr, nullptr, "EUC-JP", "CP932", nullptr, 1},
    {"Utf8ToAnsi", &Corpus::utf8, Utf8ToAnsi, nullptr, nullptr, "UTF-8", "CP932", nullptr, 1},
    {"JisToWide", &Corpus::jis, nullptr, JisToWide, nullptr, "ISO-2022-JP", "UTF-16LE", nullptr, 1},
    {"EucToWide", &Corpus::euc, nullptr, EucToWide, nullptr, "EUC-JP", "UTF-16LE", nullptr, 1},
    {"Utf8ToWide", &Corpus::utf8, nullptr, Utf8ToWide, nullptr, "UTF-8", "UTF-16LE", nullptr, 1},
    {"WideToJis", &Corpus::wide, nullptr, nullptr, WideToJis, "UTF-16LE", "ISO-2022-JP", nullptr, 3},
    {"Base64JisToSjis", &Corpus::jis_b64, Base64JisToSjis, nullptr, nullptr, "ISO-2022-JP", "CP932", Base64Decode, 1},
    {"Base64EucToSjis", &Corpus::euc_b64, Base64EucToSjis, nullptr, nullptr, "EUC-JP", "CP932", Base64Decode, 1},
    {"Base64Utf8ToAnsi", &Corpus::utf8_b64, Base64Utf8ToAnsi, nullptr, nullptr, "UTF-8", "CP932", Base64Decode, 1},
    {"QpJisToSjis", &Corpus::jis_qp, QpJisToSjis, nullptr, nullptr, "ISO-2022-JP", "CP932", QpDecode, 1},
    {"DecodeEncodedWords", &Corpus::header, DecodeEncodedWords, nullptr, nullptr, nullptr, nullptr, nullptr, 1},
};

void RunLibrary(benchmark::State &state, const Conversion &conv, const Corpus &corpus) {
    const std::string &in = corpus.*conv.input;
    int32_t size = static_cast<int32_t>(in.size() * static_cast<size_t>(conv.growth) + 64);
    std::vector<char> out(static_cast<size_t>(size));
    std::vector<zk_wchar_t> wide(static_cast<size_t>(size));
    for (auto _ : state) {
        int32_t r;
        if (conv.narrow) r = conv.narrow(in.c_str(), out.data(), size);
        else if (conv.wide) r = conv.wide(in.c_str(), wide.data(), size);
        else r = conv.from_wide(reinterpret_cast<const zk_wchar_t *>(in.data()), out.data(), size);
        if (r <= 0) {
            state.SkipWithError("conversion failed");
            break;
        }
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.size()));
}

void RunIconv(benchmark::State &state, const Conversion &conv, const Corpus &corpus) {
    const std::string &in = corpus.*conv.input;
    size_t in_size = conv.from_wide ? in.size() - 2 : in.size();
    std::vector<char> decoded(in.size() * 2 + 16);
    std::vector<char> out(in.size() * 4 + 64);
    iconv_t cd = iconv_open(conv.iconv_to, conv.iconv_from);
    for (auto _ : state) {
        char *ip = const_cast<char *>(in.data());
        size_t in_left = in_size;
        if (conv.first_stage) {
            int32_t n = conv.first_stage(in.c_str(), decoded.data(), static_cast<int32_t>(decoded.size()));
            ip = decoded.data();
            in_left = n > 0 ? static_cast<size_t>(n) : 0;
        }
        char *op = out.data();
        size_t out_left = out.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &ip, &in_left, &op, &out_left) == static_cast<size_t>(-1)) {
            state.SkipWithError("iconv failed");
            break;
        }
        benchmark::DoNotOptimize(op);
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.size()));
}

// Keeps each run's throughput for the table at the end, and prints as usual.
class TableReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> rate;  // benchmark name to bytes per second
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (!run.error_occurred && it != run.counters.end()) rate[run.run_name.function_name] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};
}  // namespace

int main(int argc, char **argv) {
    struct Size {
        const char *name;
        const Corpus &(*corpus)();
    } sizes[] = {{"mail", Mail}, {"10MB", Large}};
    for (const Size &s : sizes) {
        for (const Conversion &conv : kConversions) {
            if (conv.input == &Corpus::header && s.corpus != Mail) continue;  // headers are mail-sized
            std::string base = std::string(conv.name) + "/" + s.name;
            const Corpus &(*corpus)() = s.corpus;
            benchmark::RegisterBenchmark((base + "/zknet").c_str(), [&conv, corpus](benchmark::State &st) {
                RunLibrary(st, conv, corpus());
            })->MinTime(0.2);
            if (conv.iconv_from) {
                benchmark::RegisterBenchmark((base + "/iconv").c_str(), [&conv, corpus](benchmark::State &st) {
                    RunIconv(st, conv, corpus());
                })->MinTime(0.2);
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-20s %-6s %12s %12s %8s\n", "conversion", "text", "zknet MB/s", "iconv MB/s", "ratio");
    for (const Size &s : sizes) {
        for (const Conversion &conv : kConversions) {
            std::string base = std::string(conv.name) + "/" + s.name;
            auto ours = reporter.rate.find(base + "/zknet");
            if (ours == reporter.rate.end()) continue;
            auto theirs = reporter.rate.find(base + "/iconv");
            double a = ours->second / 1e6;
            if (theirs == reporter.rate.end()) {
                std::printf("%-20s %-6s %12.1f %12s %8s\n", conv.name, s.name, a, "-", "-");
            } else {
                double b = theirs->second / 1e6;
                std::printf("%-20s %-6s %12.1f %12.1f %7.2fx\n", conv.name, s.name, a, b, a / b);
            }
        }
    }
    std::printf("(throughput counts input bytes; the Base64 and quoted-printable rows give iconv the\n"
                " library's own decoder as its first stage)\n");
    return 0;
}
