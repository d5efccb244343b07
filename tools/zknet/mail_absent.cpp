// mail_absent.cpp -- zknet mail in a build without the mail family. A mail.cpp beside this file
// (RunMail and kMailBuiltIn, the mail actions send, list, get, save, rm, show) takes its place:
// the build leaves this file out as soon as that one exists.
#include <cstdio>

#include "cli.h"

const bool kMailBuiltIn = false;

int RunMail(int argc, char **argv) {
    return Failure("mail", "this zknet is built without the mail family (send, list, get, save, rm, show)");
}
