// base64.cpp -- Base64 encoding and decoding with the MIME alphabet.
#include "text/base64.h"

#include <cstring>

#include "text/decode_span.h"
#include "text/output_buffer.h"

namespace {
constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPadding = '=';

constexpr int8_t kNotInAlphabet = -1;
constexpr int8_t kPad = -2;

struct DecodeTable {
    int8_t value[256];
};

// The decoder's view of the same alphabet, one entry per byte value.
constexpr DecodeTable MakeDecodeTable() {
    DecodeTable t{};
    for (int i = 0; i < 256; ++i) t.value[i] = kNotInAlphabet;
    for (int i = 0; i < 64; ++i) t.value[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<int8_t>(i);
    t.value[static_cast<unsigned char>(kPadding)] = kPad;
    return t;
}
constexpr DecodeTable kDecode = MakeDecodeTable();

void EncodeGroup(const unsigned char *in, int64_t count, char *out) {
    uint32_t bits = static_cast<uint32_t>(in[0]) << 16;
    if (count > 1) bits |= static_cast<uint32_t>(in[1]) << 8;
    if (count > 2) bits |= in[2];
    out[0] = kBase64Alphabet[bits >> 18];
    out[1] = kBase64Alphabet[(bits >> 12) & 0x3F];
    out[2] = count > 1 ? kBase64Alphabet[(bits >> 6) & 0x3F] : kPadding;
    out[3] = count > 2 ? kBase64Alphabet[bits & 0x3F] : kPadding;
}
}  // namespace

int32_t Base64Encode(const void *data, int32_t length, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    if (length < 0 || (length > 0 && data == nullptr)) {
        ClearOutput(output, size);
        return -1;
    }
    const auto *in = static_cast<const unsigned char *>(data);
    int64_t groups = (static_cast<int64_t>(length) + 2) / 3;
    int64_t room = (static_cast<int64_t>(size) - 1) / 4;  // whole groups that fit with the terminator
    int64_t whole = groups < room ? groups : room;
    for (int64_t g = 0; g < whole; ++g) {
        int64_t left = length - g * 3;
        EncodeGroup(in + g * 3, left < 3 ? left : 3, output + g * 4);
    }
    FinishOutput(output, size, whole * 4);
    if (groups > room) return -1;
    return static_cast<int32_t>(groups * 4);
}

int64_t Base64DecodeSpan(const char *text, size_t length, char *output, int64_t size) {
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    const unsigned char *end = s + length;
    int64_t w = 0;
    for (;;) {
        // Whole groups of four alphabet characters, the usual case.
        while (end - s >= 4) {
            int a = kDecode.value[s[0]], b = kDecode.value[s[1]], c = kDecode.value[s[2]], d = kDecode.value[s[3]];
            if ((a | b | c | d) < 0) break;
            if (w + 4 > size) {
                output[w] = '\0';
                return -1;
            }
            uint32_t bits = static_cast<uint32_t>(a) << 18 | static_cast<uint32_t>(b) << 12 |
                            static_cast<uint32_t>(c) << 6 | static_cast<uint32_t>(d);
            output[w] = static_cast<char>(bits >> 16);
            output[w + 1] = static_cast<char>(bits >> 8);
            output[w + 2] = static_cast<char>(bits);
            w += 3;
            s += 4;
        }
        // Any other group: padding, a short group at the end, or characters to pass over.
        int value[4];
        int count = 0;
        while (s < end && count < 4) {
            int v = kDecode.value[*s++];
            if (v != kNotInAlphabet) value[count++] = v;
        }
        if (count < 2 || value[0] == kPad || value[1] == kPad) break;  // nothing decodable is left
        if (w + 4 > size) {
            output[w] = '\0';
            return -1;
        }
        uint32_t bits = static_cast<uint32_t>(value[0]) << 18 | static_cast<uint32_t>(value[1]) << 12;
        output[w++] = static_cast<char>(bits >> 16);
        if (count < 3 || value[2] == kPad) continue;
        bits |= static_cast<uint32_t>(value[2]) << 6;
        output[w++] = static_cast<char>(bits >> 8);
        if (count < 4 || value[3] == kPad) continue;
        bits |= static_cast<uint32_t>(value[3]);
        output[w++] = static_cast<char>(bits);
    }
    output[w] = '\0';
    return w;
}

int32_t Base64Decode(const char *text, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    ClearOutput(output, size);  // decoded bytes may hold zeros: cleared first, not after
    if (text == nullptr || text[0] == '\0') return 0;
    return static_cast<int32_t>(Base64DecodeSpan(text, std::strlen(text), output, size));
}
