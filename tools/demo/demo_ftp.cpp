// demo_ftp.cpp -- the ZK_Ftp family in the demonstration program.
#include <cstdio>

#include "demo.h"
#include "zknet/zknet.h"

int DemoFtp(int, char **) {
    std::printf("(not built yet)\n");
    return 0;
}
