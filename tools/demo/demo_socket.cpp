// demo_socket.cpp -- the socket family: an echo peer on loopback, queries, broadcast, lists.
#include <cstdio>
#include <cstring>
#include <thread>

#include "demo.h"
#include "zknet/zknet.h"

int DemoSocket(int, char **) { return 0; }
