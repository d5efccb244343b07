// nic.cpp -- zknet nic: the local adapters and their MAC addresses, ARP resolution and
// Wake-on-LAN, through the ZK_Nic family (and the socket family for a magic packet to a port
// other than the library's own, 7).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "args.h"
#include "cli.h"
#include "local_text.h"
#include "zknet/zknet.h"

namespace {

const char kHelp[] =
    "usage: zknet nic list\n"
    "       zknet nic arp ADDRESS\n"
    "       zknet nic wake MAC [--broadcast ADDRESS] [--port N]\n"
    "\n"
    "  list   this computer's adapters and their MAC addresses (the first 16)\n"
    "  arp    the MAC address of a host on a local link, asked by ARP (ADDRESS: IPv4 or a name)\n"
    "  wake   send a Wake-on-LAN magic packet for MAC (aa:bb:cc:dd:ee:ff or aa-bb-cc-dd-ee-ff)\n"
    "\n"
    "options:\n"
    "  --broadcast ADDRESS  wake: where the packet goes (default 255.255.255.255, this link);\n"
    "                       a subnet's broadcast address (192.168.1.255) reaches a routed link\n"
    "  --port N             wake: the UDP port (default 7; 9 is the other usual one)\n"
    "  -q, --quiet          wake: no confirmation line\n"
    "  -h, --help           this text\n"
    "\n"
    "Exit status: 0 done; 1 failed (no answer, nothing sent); 2 a wrong command line.\n";

const std::vector<OptionSpec> kOptions = {
    kHelpOption,
    kQuietOption,
    {"broadcast", 0, true},
    {"port", 0, true},
};

constexpr int kLibraryWakePort = 7;
constexpr int kMagicPacketLength = 102;  // 6 bytes of 0xFF, then the MAC address 16 times

std::string MacText(const uint8_t *mac) {
    char text[24];
    std::snprintf(text, sizeof(text), "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Six pairs of hex digits, all separated by ':' or all by '-', or twelve digits in a row.
bool ParseMac(const std::string &text, uint8_t (&mac)[6]) {
    bool separated = text.size() == 17;
    if (!separated && text.size() != 12) return false;
    char separator = separated ? text[2] : 0;
    if (separated && separator != ':' && separator != '-') return false;
    size_t step = separated ? 3 : 2;
    for (size_t i = 0; i < 6; ++i) {
        size_t at = i * step;
        int high = HexDigit(text[at]), low = HexDigit(text[at + 1]);
        if (high < 0 || low < 0) return false;
        if (separated && i < 5 && text[at + 2] != separator) return false;
        mac[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

bool ParseIpv4(const std::string &text, uint8_t (&address)[4]) {
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        size_t digits = 0;
        unsigned value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || value > 255) return false;
        address[part] = static_cast<uint8_t>(value);
        if (part < 3) {
            if (at >= text.size() || text[at] != '.') return false;
            ++at;
        }
    }
    return at == text.size();
}

// An IPv4 address, or a name the library's look-up turns into one.
bool ResolveIpv4(const std::string &text, uint8_t (&address)[4], std::string *dotted) {
    if (ParseIpv4(text, address)) {
        *dotted = text;
        return true;
    }
    zk_wchar_t found[64] = {0}, name[256], short_name[256];
    if (ZK_SocketGetAddressInfoExW(Utf8ToWide(text).c_str(), ZK_AF_INET, found, 64, name, 256, short_name, 256) != 1 ||
        !ParseIpv4(WideToUtf8(found), address)) {
        return false;
    }
    *dotted = WideToUtf8(found);
    return true;
}

int List() {
    int32_t count = ZK_NicGetNicNumber();
    if (count < 0) return Failure("nic list", "the adapters cannot be listed on this computer");
    MacAddressList list;
    if (ZK_NicGetMacAddress(&list) != 1) {
        return Failure("nic list", "the adapters' addresses could not be read (" + std::to_string(list.count) +
                                       " read before the failure)");
    }
    for (uint32_t i = 0; i < list.count; ++i) std::printf("adapter %u  %s\n", i, MacText(list.addresses[i]).c_str());
    if (list.count == 0) std::printf("no adapters\n");
    if (count > 16) std::printf("(%d adapters; the first 16 are shown)\n", static_cast<int>(count));
    return kExitOk;
}

int Arp(const std::string &host) {
    uint8_t address[4], mac[6];
    std::string dotted;
    if (!ResolveIpv4(host, address, &dotted)) return Failure("nic arp", "no IPv4 address for " + host);
    if (ZK_NicResolveAddress(address, mac) != 1) {
        return Failure("nic arp", "no answer from " + dotted + " (not on a local link, or not there)");
    }
    std::printf("%s\n", MacText(mac).c_str());
    return kExitOk;
}

// The library sends to port 7 only; any other port gets the same packet through a datagram
// socket of the socket family.
bool SendToPort(const uint8_t (&mac)[6], const std::string &dotted, int port) {
    uint8_t packet[kMagicPacketLength];
    std::memset(packet, 0xFF, 6);
    for (int i = 1; i <= 16; ++i) std::memcpy(packet + 6 * i, mac, 6);
    SocketHandle *socket = ZK_SocketOpen(ZK_AF_INET, ZK_SOCK_DGRAM);
    if (socket == nullptr) return false;
    int32_t sent = ZK_SocketSendBroadcastA(socket, dotted.c_str(), port, packet, kMagicPacketLength);
    ZK_SocketClose(socket);
    return sent == kMagicPacketLength;
}

int Wake(const std::string &mac_text, const Args &args) {
    uint8_t mac[6];
    if (!ParseMac(mac_text, mac)) return UsageError("nic wake", "bad MAC address " + mac_text + " (aa:bb:cc:dd:ee:ff)");
    int port = kLibraryWakePort;
    if (const std::string *p = OptionValue(args, "port")) {
        if (!ParsePort(*p, &port)) return UsageError("nic wake", "bad --port " + *p + " (1 to 65535)");
    }
    uint8_t address[4] = {255, 255, 255, 255};
    std::string dotted = "255.255.255.255";
    const std::string *broadcast = OptionValue(args, "broadcast");
    if (broadcast != nullptr && !ResolveIpv4(*broadcast, address, &dotted)) {
        return UsageError("nic wake", "no IPv4 address for --broadcast " + *broadcast);
    }
    bool sent = port == kLibraryWakePort ? ZK_NicSendMagicPacket(mac, broadcast != nullptr ? address : nullptr) == 1
                                         : SendToPort(mac, dotted, port);
    std::string where = "to " + dotted + " port " + std::to_string(port);
    if (!sent) {
        return Failure("nic wake", "magic packet not sent to " + ConnectFailureText(dotted, port));
    }
    if (!HasOption(args, "quiet")) std::printf("magic packet for %s sent %s\n", MacText(mac).c_str(), where.c_str());
    return kExitOk;
}

}  // namespace

int RunNic(int argc, char **argv) {
    Args args;
    std::string error;
    if (!ParseArgs(argc - 1, argv + 1, kOptions, &args, &error)) return UsageError("nic", error);
    if (HasOption(args, "help")) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    const std::vector<std::string> &operands = args.operands;
    if (operands.empty()) return UsageError("nic", "no action (list, arp, wake)");
    const std::string &action = operands[0];
    bool wake = action == "wake";
    if (!wake && (HasOption(args, "broadcast") || HasOption(args, "port"))) {
        return UsageError("nic " + action, "--broadcast and --port go with wake");
    }
    if (action == "list") {
        if (operands.size() != 1) return UsageError("nic list", "takes no arguments");
        return List();
    }
    if (action == "arp") {
        if (operands.size() != 2) return UsageError("nic arp", "give one ADDRESS");
        return Arp(operands[1]);
    }
    if (wake) {
        if (operands.size() != 2) return UsageError("nic wake", "give one MAC address");
        return Wake(operands[1], args);
    }
    return UsageError("nic", "unknown action " + action);
}
