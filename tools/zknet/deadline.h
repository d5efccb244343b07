// deadline.h -- an upper limit on a whole run (--timeout). Some of the library's waits have no
// limit of their own (an FTP server's greeting, a Telnet host's next output): when the limit
// passes, the tool says so and ends itself.
#ifndef ZK_TOOLS_ZKNET_DEADLINE_H
#define ZK_TOOLS_ZKNET_DEADLINE_H

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

struct Deadline {
    bool armed = false;
    bool done = false;
    std::mutex lock;
    std::condition_variable wake;
    std::thread watcher;
};

// Arms the limit (0 seconds: none). On expiry "zknet: WHERE: gave up after N s" goes to standard
// error and the process ends with kExitFailed.
void StartDeadline(Deadline *deadline, double seconds, const std::string &where);
void StopDeadline(Deadline *deadline);

#endif  // ZK_TOOLS_ZKNET_DEADLINE_H
