// interrupt.cpp -- the Ctrl-C handler of each system: a flag for a running transfer, else the end.
#include "interrupt.h"

#include <csignal>
#include <cstdlib>

#include "cli.h"
#include "local_stream.h"

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <unistd.h>
#endif

namespace {

volatile std::sig_atomic_t g_cancellable = 0;
volatile std::sig_atomic_t g_requested = 0;

// True when the interrupt is taken as a request to the running transfer; otherwise the caller
// ends the process.
bool TakeAsRequest() {
    if (g_cancellable != 0 && g_requested == 0) {
        g_requested = 1;
        return true;
    }
    RemoveTemporaryFileNow();
    return false;
}

const char kInterrupted[] = "\nzknet: interrupted\n";

#if defined(_WIN32)

BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT) {
        if (TakeAsRequest()) return TRUE;
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), kInterrupted, sizeof(kInterrupted) - 1, &written, nullptr);
        ExitProcess(kExitCancelled);
    }
    // Ctrl-Break, the window closing, the user logging off: the default ending, without the file.
    RemoveTemporaryFileNow();
    return FALSE;
}

#else

void OnInterrupt(int) {
    if (TakeAsRequest()) return;
    ssize_t ignored = write(STDERR_FILENO, kInterrupted, sizeof(kInterrupted) - 1);
    (void)ignored;
    EndAsInterrupted();
}

#endif

}  // namespace

void InstallInterruptHandler() {
#if defined(_WIN32)
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    struct sigaction current {};
    // An interrupt the caller ignores (a background job of a shell without job control) stays so.
    if (sigaction(SIGINT, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // the library's waits go on; the callback asks it to stop
    sigaction(SIGINT, &action, nullptr);
#endif
}

void SetCancellable(bool cancellable) {
    g_requested = 0;
    g_cancellable = cancellable ? 1 : 0;
}

bool InterruptRequested() { return g_requested != 0; }

void EndAsInterrupted() {
#if !defined(_WIN32)
    // Ended by the signal itself, so that a calling shell script stops as well (status 130).
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
#endif
    std::_Exit(kExitCancelled);
}
