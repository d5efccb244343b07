// send_support.cpp -- shared helpers of the mail sending tests.
#include "send_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/platform.h"
#include "socket/text_helpers.h"

namespace fs = std::filesystem;

std::string MailWork(const std::string &relative) {
#if defined(_WIN32)
    std::string path = std::string("Z:") + ZK_BINARY_DIR + "/mail-peers";
    if (!relative.empty()) path += "/" + relative;
    for (char &c : path) {
        if (c == '/') c = '\\';
    }
    return path;
#else
    std::string path = std::string(ZK_BINARY_DIR) + "/mail-peers";
    return relative.empty() ? path : path + "/" + relative;
#endif
}

std::string ReadFileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> FilesIn(const std::string &folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().string());
    }
    return names;
}

int SinkMessageCount() {
    int n = 0;
    while (fs::exists(MailWork("sink/msg-" + std::to_string(n + 1) + ".env"))) ++n;
    return n;
}

bool ReadSinkMessage(int n, SinkMessage *message) {
    std::string env = ReadFileBytes(MailWork("sink/msg-" + std::to_string(n) + ".env"));
    if (env.empty()) return false;
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t lf; (lf = env.find('\n', start)) != std::string::npos; start = lf + 1) {
        lines.push_back(env.substr(start, lf - start));
    }
    if (lines.size() < 2) return false;
    *message = SinkMessage();
    message->connection = std::atoi(lines[0].c_str());
    message->mail_from = lines[1];
    message->rcpt_to.assign(lines.begin() + 2, lines.end());
    message->content = ReadFileBytes(MailWork("sink/msg-" + std::to_string(n) + ".eml"));
    return true;
}

std::string SinkWire(int n) { return ReadFileBytes(MailWork("sink/conn-" + std::to_string(n) + ".wire")); }

std::u16string Utf16(const char *utf8) {
    std::u16string out;
    const auto *s = reinterpret_cast<const unsigned char *>(utf8);
    while (*s != 0) {
        uint32_t c = *s++;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
        for (; more > 0 && *s != 0; --more) c = (c << 6) | (*s++ & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::string AnsiOf(const std::u16string &text) {
    if (text.empty()) return std::string();
    std::vector<char> out(text.size() * 2 + 1, '\0');
    int32_t n = WideToAnsi(Wz(text), out.data(), static_cast<int32_t>(out.size()));
    return n > 0 ? std::string(out.data(), static_cast<size_t>(n)) : std::string();
}

std::string Utf8Of(const std::u16string &text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {
std::string JsonString(const std::string &utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}
}  // namespace

void ExpectDelivery(const std::string &tag, const std::u16string &subject, const std::u16string &body,
                    const std::u16string &from, const std::vector<std::string> &recipients) {
    std::ofstream out(MailWork("expected/" + tag + ".json"), std::ios::binary | std::ios::trunc);
    out << "{\"tag\": " << JsonString(tag) << ", \"subject\": " << JsonString(Utf8Of(subject))
        << ", \"body\": " << JsonString(Utf8Of(body)) << ", \"from\": " << JsonString(Utf8Of(from))
        << ", \"recipients\": [";
    for (size_t i = 0; i < recipients.size(); ++i) out << (i ? ", " : "") << JsonString(recipients[i]);
    out << "]}\n";
}

std::string LastReply() {
    char reply[ZK_MAIL_RESPONSE_SIZE];
    ZK_MailQueryLastResponseMessageA(reply, sizeof(reply));
    return reply;
}

std::u16string LastReplyW() {
    zk_wchar_t reply[ZK_MAIL_RESPONSE_SIZE];
    ZK_MailQueryLastResponseMessageW(reply, ZK_MAIL_RESPONSE_SIZE);
    return std::u16string(reinterpret_cast<const char16_t *>(reply));
}

uint32_t Now() { return win::GetTickCount(); }
uint32_t Since(uint32_t start) { return win::GetTickCount() - start; }
void SleepMs(uint32_t ms) { win::Sleep(ms); }
