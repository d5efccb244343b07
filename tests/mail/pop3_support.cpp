// pop3_support.cpp -- shared helpers of the POP3 tests.
#include "pop3_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "send_support.h"

namespace fs = std::filesystem;

const char *const kPop3User = "zkpop";
const char *const kPop3Password = "zkpop-pass";
const char *const kMaildirUser = "zkmail";
const char *const kMaildirPassword = "zkmail-pass";

void FillPop3Box(const std::string &folder, const std::vector<std::string> &messages) {
    std::string box = MailWork(folder);
    std::error_code ec;
    for (fs::directory_iterator it(box, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory()) {
            for (const std::string &name : FilesIn(it->path().string())) fs::remove(name, ec);
        } else {
            fs::remove(it->path(), ec);
        }
    }
    for (size_t i = 0; i < messages.size(); ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "%010u.M%uP1.zknet-test", 1000000000u + static_cast<unsigned>(i),
                      static_cast<unsigned>(i));
        std::ofstream out((fs::path(box) / "new" / name).string(), std::ios::binary | std::ios::trunc);
        out << messages[i];
    }
}

std::string CrLf(const std::string &lf_text) {
    std::string out;
    out.reserve(lf_text.size() + lf_text.size() / 16);
    for (char c : lf_text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string ListingA(const MailList &list, bool headers) {
    std::string out;
    const auto *entries = static_cast<const MailListEntryA *>(list.entries);
    for (int32_t i = 0; i < list.count; ++i) {
        if (!out.empty()) out += " ";
        out += std::to_string(entries[i].number) + "/" + std::to_string(entries[i].size);
        if (headers) out += std::string(" ") + entries[i].from + "|" + entries[i].subject;
    }
    return out;
}

std::string ListingW(const MailList &list, bool headers) {
    std::string out;
    const auto *entries = static_cast<const MailListEntryW *>(list.entries);
    for (int32_t i = 0; i < list.count; ++i) {
        if (!out.empty()) out += " ";
        out += std::to_string(entries[i].number) + "/" + std::to_string(entries[i].size);
        if (headers) {
            out += " " + Utf8Of(reinterpret_cast<const char16_t *>(entries[i].from)) + "|" +
                   Utf8Of(reinterpret_cast<const char16_t *>(entries[i].subject));
        }
    }
    return out;
}

std::string TakeMessage(char *text) {
    if (text == nullptr) return "(null)";
    std::string out(text);
    ZK_MailRecvFree(text);
    return out;
}
