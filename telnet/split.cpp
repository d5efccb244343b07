// split.cpp -- a received burst made into NUL-separated lines, and its copy as the last response.
#include <cstring>

#include "platform/platform.h"
#include "telnet/line_text.h"
#include "telnet/telnet_session.h"

namespace {
bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// The arrow that stands for a line break in the last response (Shift_JIS).
constexpr unsigned char kMarkLead = 0x81;
constexpr unsigned char kMarkTrail = 0xAB;
}  // namespace

int32_t StripNulBytes(char *text, int32_t length) {
    int32_t kept = 0;
    for (int32_t i = 0; i < length; ++i) {
        if (text[i] != '\0') text[kept++] = text[i];
    }
    text[kept] = '\0';
    return kept;
}

int32_t SplitLines(char *text, int32_t length) {
    int32_t out = 0;
    int32_t i = 0;
    while (i < length && IsBreak(text[i])) ++i;
    while (i < length) {
        if (IsBreak(text[i])) {
            while (i < length && IsBreak(text[i])) ++i;
            text[out++] = '\0';
        } else {
            text[out++] = text[i++];
        }
    }
    std::memset(text + out, 0, static_cast<size_t>(length - out) + 1);
    return out + 1;
}

void SetTelnetLastResponse(const char *text, int32_t count) {
    std::memset(TelnetLastResponse, 0, sizeof(TelnetLastResponse));
    if (text == nullptr || count < 2) return;
    const int32_t limit = (count < kTelnetResponseSize ? count : kTelnetResponseSize) - 1;
    const int32_t room = kTelnetResponseSize - 1;  // the terminator always fits
    const UINT code_page = win::GetACP();
    int32_t out = 0;
    for (int32_t i = 0; i < limit;) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) {
            if (out + 2 > room) break;
            TelnetLastResponse[out++] = static_cast<char>(kMarkLead);
            TelnetLastResponse[out++] = static_cast<char>(kMarkTrail);
            ++i;
        } else if (win::IsDBCSLeadByteEx(code_page, c) && i + 1 < count && text[i + 1] != '\0') {
            // A double-byte character is copied whole or not at all: half of one would garble
            // the text's last character.
            if (i + 1 >= limit || out + 2 > room) break;
            TelnetLastResponse[out++] = text[i++];
            TelnetLastResponse[out++] = text[i++];
        } else {
            if (out + 1 > room) break;
            TelnetLastResponse[out++] = text[i++];
        }
    }
}
