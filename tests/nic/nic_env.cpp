// nic_env.cpp -- reading the namespace's interfaces for the adapter tests.
#include "nic/nic_env.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#if defined(_WIN32)
#  include <windows.h>
#endif

namespace {

constexpr unsigned kLoopbackFlag = 0x8;

bool ParseMac(const std::string &text, Mac *mac) {
    unsigned b[6];
    if (std::sscanf(text.c_str(), "%x:%x:%x:%x:%x:%x", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5]) != 6) return false;
    for (int i = 0; i < 6; ++i) (*mac)[i] = static_cast<uint8_t>(b[i]);
    return true;
}

bool ParseList(const std::string &text, std::vector<Interface> *interfaces) {
    interfaces->clear();
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        std::istringstream fields(line);
        Interface i;
        std::string mac, flags;
        if (!(fields >> i.index >> i.name >> mac >> i.address_length >> flags >> i.ipv4_addresses)) return false;
        i.flags = static_cast<unsigned>(std::strtoul(flags.c_str(), nullptr, 0));
        if (i.address_length == 6 && !ParseMac(mac, &i.mac)) return false;
        interfaces->push_back(i);
    }
    return !interfaces->empty();
}

}  // namespace

bool CurrentInterfaces(std::vector<Interface> *interfaces, std::string *why) {
    std::string text;
#if defined(_WIN32)
    std::string path = std::string("Z:") + ZK_BINARY_DIR + "/nic-peers/adapters.txt";
    std::ifstream file(path);
    if (!file) {
        *why = "no adapter list at " + path + " (made by the nic-peers fixture)";
        return false;
    }
    std::stringstream all;
    all << file.rdbuf();
    text = all.str();
#else
    std::string command = std::string("bash ") + ZK_TEST_SOURCE_DIR + "/tests/nic/peers.sh list";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        *why = "cannot run " + command;
        return false;
    }
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, n);
    if (pclose(pipe) != 0) {
        *why = command + " failed";
        return false;
    }
#endif
    if (!ParseList(text, interfaces)) {
        *why = "unreadable adapter list:\n" + text;
        return false;
    }
    return true;
}

std::vector<Mac> HardwareAdapterMacs(const std::vector<Interface> &interfaces) {
    std::vector<Mac> macs;
    for (const Interface &i : interfaces) {
        if (i.address_length == 6 && (i.flags & kLoopbackFlag) == 0) macs.push_back(i.mac);
    }
    return macs;
}

bool Shell(const std::string &command) {
#if defined(_WIN32)
    (void)command;
    return false;
#else
    return std::system(command.c_str()) == 0;
#endif
}

std::string MacText(const Mac &mac) {
    char text[18];
    std::snprintf(text, sizeof(text), "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}
