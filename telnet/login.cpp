// login.cpp -- logging in as a fixed exchange: user name, password prompt, password, shell prompt.
#include "telnet/line_text.h"
#include "telnet/telnet_session.h"

namespace {

// The two forms differ only in their text type and in the password prompt they wait for.
template <typename Char>
struct LoginOps {
    int32_t(ZK_API *send)(TelnetHandle *, const Char *);
    int32_t(ZK_API *receive)(TelnetHandle *, TelnetLineList *);
    int32_t(ZK_API *search)(const TelnetLineList *, const Char *);
    const Char *password_prompt;
};

template <typename Char>
int32_t Login(TelnetHandle *handle, const Char *user, const Char *password, TelnetLineList *list,
              const Char *prompt, const LoginOps<Char> &ops) {
    if (!ops.send(handle, user)) return 0;
    TelnetLineList answer{0, nullptr};
    if (!ops.receive(handle, &answer)) {
        ReleaseLineList(&answer);
        return 0;
    }
    const bool asked = ops.search(&answer, ops.password_prompt) != 0;
    ReleaseLineList(&answer);
    if (!asked) {
        TelnetLastError = ZK_TELNET_NO_PROMPT;
        return 0;
    }
    handle->traceSecret = true;
    const bool sent = ops.send(handle, password) != 0;
    handle->traceSecret = false;
    if (!sent) {
        TelnetLastError = ZK_TELNET_NOT_SENT;
        return 0;
    }
    // Without a caller's list the answer is still needed to look for the prompt.
    TelnetLineList own{0, nullptr};
    TelnetLineList *target = list != nullptr ? list : &own;
    int32_t logged_in = 0;
    if (ops.receive(handle, target)) {
        logged_in = ops.search(target, prompt);
        if (!logged_in) TelnetLastError = ZK_TELNET_NO_PROMPT;
    }
    ReleaseLineList(&own);
    return logged_in;
}

const zk_wchar_t kPasswordPromptW[] = {'P', 'a', 's', 's', 'w', 'o', 'r', 'd', 0};

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_TelnetLoginA(TelnetHandle *handle, const char *user, const char *password,
                                         TelnetLineList *list, const char *prompt) {
    static const LoginOps<char> ops = {ZK_TelnetCommandSendA, ZK_TelnetCommandRecvA, ZK_TelnetSearchStringA,
                                       "Password:"};
    return Login(handle, user, password, list, prompt, ops);
}

ZK_EXPORT int32_t ZK_API ZK_TelnetLoginW(TelnetHandle *handle, const zk_wchar_t *user, const zk_wchar_t *password,
                                         TelnetLineList *list, const zk_wchar_t *prompt) {
    static const LoginOps<zk_wchar_t> ops = {ZK_TelnetCommandSendW, ZK_TelnetCommandRecvW, ZK_TelnetSearchStringW,
                                             kPasswordPromptW};
    return Login(handle, user, password, list, prompt, ops);
}

}  // extern "C"
