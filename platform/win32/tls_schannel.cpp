// tls_schannel.cpp -- the TLS seam over Schannel (SSPI): to be written.
#include "platform/tls.h"

namespace tls {

struct Session {};

Session *Open(SOCKET, const Setup &, char *why, int why_size) {
    if (why != nullptr && why_size > 0) lstrcpynA(why, "TLS is not available yet", why_size);
    return nullptr;
}
Step Handshake(Session *, char *, int) { return Step::kFailed; }
Step Read(Session *, char *, int, int *count, bool *clean) {
    *count = 0;
    *clean = false;
    return Step::kFailed;
}
Step Write(Session *, const char *, int, int *count) {
    *count = 0;
    return Step::kFailed;
}
bool Pending(Session *) { return false; }
Step Shutdown(Session *) { return Step::kDone; }
bool Resumed(Session *) { return false; }
const char *Version(Session *) { return ""; }
void Close(Session *) {}

}  // namespace tls
