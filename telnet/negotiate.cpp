// negotiate.cpp -- the fixed option negotiation: the client offers terminal type "tv100" and
// agrees to echo and to suppress go-ahead, and refuses every other option.
#include "telnet/negotiate.h"

#include "telnet/peek.h"

namespace {

enum : unsigned char {
    kIac = 255,
    kDont = 254,
    kDo = 253,
    kWont = 252,
    kWill = 251,
    kSb = 250,
    kSe = 240,
    kOptEcho = 1,
    kOptSuppressGoAhead = 3,
    kOptTerminalType = 24,
    kIs = 0,
};

constexpr char kTerminalType[] = "tv100";

// One byte read without a time-out; false when the read fails or the host has closed.
bool ReadByte(SocketHandle *socket, unsigned char *byte) {
    return ZK_SocketRecvOne(socket, byte, 0) == 1;
}

// Replies go out one byte per send; the first byte that cannot be sent ends the negotiation.
bool SendBytes(SocketHandle *socket, const unsigned char *bytes, int count) {
    for (int i = 0; i < count; ++i) {
        if (ZK_SocketSendOne(socket, bytes[i]) != 1) return false;
    }
    return true;
}

bool SendCommand(SocketHandle *socket, unsigned char command, unsigned char option) {
    const unsigned char reply[] = {kIac, command, option};
    return SendBytes(socket, reply, 3);
}

bool SendTerminalType(SocketHandle *socket) {
    const unsigned char head[] = {kIac, kSb, kOptTerminalType, kIs};
    const unsigned char tail[] = {kIac, kSe};
    const int32_t length = static_cast<int32_t>(sizeof(kTerminalType) - 1);
    return SendBytes(socket, head, 4) && ZK_SocketSend(socket, kTerminalType, length) == length &&
           SendBytes(socket, tail, 2);
}

// A subnegotiation is taken to be three bytes after its option (SEND IAC SE); longer ones leave
// their rest in the stream, where it is read as data.
bool AnswerSubnegotiation(SocketHandle *socket, unsigned char option) {
    unsigned char dropped;
    for (int i = 0; i < 3; ++i) {
        if (!ReadByte(socket, &dropped)) return false;
    }
    if (option == kOptTerminalType) return SendTerminalType(socket);
    const unsigned char reply[] = {kIac, kSb, option, kIs, kIac, kSe};
    return SendBytes(socket, reply, 6);
}

bool Answer(SocketHandle *socket, unsigned char command) {
    unsigned char option;
    if (!ReadByte(socket, &option)) return false;
    switch (command) {
        case kDo:
            if (option == kOptEcho || option == kOptTerminalType) return SendCommand(socket, kWill, option);
            return SendCommand(socket, kWont, option);
        case kWill:
            if (option == kOptEcho || option == kOptSuppressGoAhead) return SendCommand(socket, kDo, option);
            return SendCommand(socket, kDont, option);
        case kWont: return SendCommand(socket, kDont, option);
        case kDont: return SendCommand(socket, kWont, option);
        default: return AnswerSubnegotiation(socket, option);
    }
}

}  // namespace

bool NegotiateOptions(SocketHandle *socket) {
    for (;;) {
        // The lead byte is only looked at: when it is data, it is the first byte of the host's
        // text and stays for the first receive.
        char lead;
        if (PeekArrived(socket, &lead, 1) != 1) return false;
        if (static_cast<unsigned char>(lead) != kIac) return true;
        unsigned char iac;
        unsigned char command;
        if (!ReadByte(socket, &iac) || !ReadByte(socket, &command)) return false;
        if (command < kSb || command > kDont) return false;
        if (!Answer(socket, command)) return false;
    }
}
