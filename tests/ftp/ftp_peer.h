// ftp_peer.h -- an FTP server played by a thread of the test program, for what vsftpd will not do
// (odd greetings and replies, missing lines, connections closed at awkward moments). Every step
// is bounded in time and the peer closes everything at the end, so no test can hang on it.
#ifndef ZK_TESTS_FTP_FTP_PEER_H
#define ZK_TESTS_FTP_FTP_PEER_H

#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "support/line_peer.h"

// What a script works with: the control connection and every command line the client sent (as
// the shared line peer records them), and the data listener a PASV/EPSV reply named.
struct FtpPeerLink : LinePeerLink {
    Listener passive;
};

using FtpScript = std::function<void(FtpPeerLink &link)>;

struct FtpPeer {
    Listener listener;
    std::thread thread;
    FtpPeerLink link;
};

// Listens on a free loopback port of the family and runs the script for the first connection.
void StartFtpPeer(FtpPeer &peer, uint16_t family, FtpScript script);
// Waits for the script to end (it must end by itself) and closes what it left open.
void FinishFtpPeer(FtpPeer &peer);

// The next command line, recorded in link.commands; "" when none came within the limit.
inline std::string Expect(FtpPeerLink &link, uint32_t limit_ms = 5000) { return ExpectLine(link, limit_ms); }
// One reply line; CR LF is added.
inline void Reply(FtpPeerLink &link, const std::string &line) { SendLine(link, line); }
// Takes one command for each reply and answers it with that reply, in order.
void Answer(FtpPeerLink &link, std::initializer_list<std::string> replies);
// 220, then USER answered by 331 and PASS by 230.
void Login(FtpPeerLink &link);
// Reads QUIT (if it comes) and answers 221.
void Quit(FtpPeerLink &link);

// Passive side: a data listener and the PASV/EPSV reply naming it (PASV with `host` as its
// address numbers, EPSV with `delimiter` around the port); the accept waits at most `limit_ms`.
std::string OpenPassive(FtpPeerLink &link, const std::string &host = "127,0,0,1", char delimiter = '|');
SocketHandle *AcceptData(FtpPeerLink &link, uint32_t limit_ms = 5000);
// A passive data phase up to its start: PASV/EPSV answered from a fresh listener (the last one
// closed), the data connection accepted, the transfer command answered by `start`. The data
// connection (null when none came).
SocketHandle *ServePassive(FtpPeerLink &link, const std::string &start, const std::string &host = "127,0,0,1",
                           char delimiter = '|');
// Active side: connects to the address a PORT or EPRT line names (on loopback).
SocketHandle *ConnectActive(FtpPeerLink &link, const std::string &command);
// The port a PORT or EPRT line names; -1 when unreadable.
int AnnouncedPort(const std::string &command);

// Everything the client sends on a data connection until it closes (at most `limit_ms`).
std::string DrainData(SocketHandle *data, uint32_t limit_ms = 5000);

// The client's session against a peer: host and port of the peer's control listener.
FtpSession *ConnectToPeer(FtpPeer &peer, uint32_t passive);

// The last reply the family recorded.
std::string LastReply();

// Sleeps inside a script.
void Pause(uint32_t ms);

// Milliseconds since `start` (a GetTickCount value).
uint32_t Since(uint32_t start);
uint32_t Now();

#endif  // ZK_TESTS_FTP_FTP_PEER_H
