// interrupt.h -- Ctrl-C (SIGINT on Linux, the console's Ctrl-C event on Windows). While a
// transfer that can be cancelled runs, the first Ctrl-C only asks it to stop (the progress
// callback then tells the library); a second one, or one at any other time, ends the tool at
// once with kExitCancelled, the temporary file behind "-" removed first.
#ifndef ZK_TOOLS_ZKNET_INTERRUPT_H
#define ZK_TOOLS_ZKNET_INTERRUPT_H

// Installed once, by main.
void InstallInterruptHandler();
// Marks the span of a cancellable transfer.
void SetCancellable(bool cancellable);
// Whether Ctrl-C asked the running transfer to stop.
bool InterruptRequested();
// Ends the process as Ctrl-C does (on Linux by SIGINT itself; exit status kExitCancelled), for
// a run that Ctrl-C cancelled. Safe in a signal handler.
[[noreturn]] void EndAsInterrupted();

#endif  // ZK_TOOLS_ZKNET_INTERRUPT_H
