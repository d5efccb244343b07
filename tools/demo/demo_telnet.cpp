// demo_telnet.cpp -- the ZK_Telnet family in the demonstration program.
#include <cstdio>

#include "demo.h"
#include "zknet/zknet.h"

int DemoTelnet(int, char **) {
    std::printf("(not built yet)\n");
    return 0;
}
