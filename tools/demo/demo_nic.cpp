// demo_nic.cpp -- the ZK_Nic family in the demonstration program.
#include <cstdio>

#include "demo.h"
#include "zknet/zknet.h"

int DemoNic(int, char **) {
    std::printf("(not built yet)\n");
    return 0;
}
