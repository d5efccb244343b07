// cli.h -- what the parts of the zknet command-line tool share: exit statuses, the families'
// entry points and the messages every family prints.
#ifndef ZK_TOOLS_ZKNET_CLI_H
#define ZK_TOOLS_ZKNET_CLI_H

#include <string>

// Exit statuses: done, the operation failed (the library or the server said no), the command
// line was wrong (nothing was sent), Ctrl-C cancelled the run (128 + SIGINT, as shells count).
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCancelled = 130;

// One function per family: argv[0] is the family's name, the rest its actions and options.
int RunFtp(int argc, char **argv);
int RunTelnet(int argc, char **argv);
int RunNic(int argc, char **argv);
int RunMail(int argc, char **argv);
int RunDemo(int argc, char **argv);

// "zknet: WHERE: MESSAGE" on standard error; returns kExitFailed.
int Failure(const std::string &where, const std::string &message);
// The same for a wrong command line, with a pointer to the family's help; returns kExitUsage.
int UsageError(const std::string &where, const std::string &message);

// A server's or host's reply made fit for one line: line breaks become " | ", surrounding space
// goes, and a very long text keeps its end (where the reason usually is).
std::string OneLine(const std::string &text);

// Why a connection to HOST:PORT was not made: "zknet-test port 2999: socket error 10061
// (connection refused)" from the calling thread's last socket error, or only the host and port
// when that error tells nothing (a socket closed after a failed connect reports "not connected").
std::string ConnectFailureText(const std::string &host, int port);

#endif  // ZK_TOOLS_ZKNET_CLI_H
