// text_checks.cpp -- byte dumps for the text tests' failure messages.
#include "text_checks.h"

#include <cstdio>

std::string Hex(const std::string &bytes) {
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof(b), "%02X ", c);
        out += b;
    }
    return out;
}

std::string HexW(const std::basic_string<zk_wchar_t> &units) {
    std::string out;
    char b[8];
    for (zk_wchar_t u : units) {
        std::snprintf(b, sizeof(b), "%04X ", static_cast<unsigned>(u));
        out += b;
    }
    return out;
}
