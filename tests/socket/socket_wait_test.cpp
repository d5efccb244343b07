// socket_wait_test.cpp -- waits on sockets answer for what holds now, the same on every system: a
// peer's close that an earlier wait already reported still makes the next wait return at once.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/socket_wait.h"
#include "socket/socket_handle.h"
#include "socket_pair.h"

namespace {

using Clock = std::chrono::steady_clock;

class SocketWaitTest : public ::testing::TestWithParam<uint16_t> {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs the private test network (tools/netns.sh)";
        pair_ = ConnectedPair(GetParam());
        ASSERT_NE(nullptr, pair_.client);
        ASSERT_NE(nullptr, pair_.server);
    }
    void TearDown() override { ClosePair(pair_); }

    // One wait for readability of the client side, as the FTP worker makes it; the result, the
    // readiness seen, and the time it took.
    int Wait(int *ready, long long *ms, bool nonblocking) {
        win::SocketWait wait{pair_.client->socket, win::kWaitReadable, 0, nonblocking};
        auto start = Clock::now();
        int rc = win::WaitSockets(&wait, 1, nullptr, 3000);
        *ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        *ready = wait.ready;
        return rc;
    }
    SocketPair pair_;
};

TEST_P(SocketWaitTest, ACloseReportedOnceStillEndsTheNextWait) {
    for (bool nonblocking : {true, false}) {
        SCOPED_TRACE(nonblocking ? "non-blocking" : "blocking");
        if (pair_.client == nullptr) {
            pair_ = ConnectedPair(GetParam());
            ASSERT_NE(nullptr, pair_.server);
        }
        if (nonblocking) {
            ASSERT_EQ(0, win::SetSocketBlocking(pair_.client->socket, false));
        }
        ASSERT_TRUE(SendAll(pair_.server, "abc"));
        ZK_SocketClose(pair_.server);
        pair_.server = nullptr;
        // The data and the close are both there before the first wait.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));

        int ready = 0;
        long long ms = 0;
        ASSERT_EQ(1, Wait(&ready, &ms, nonblocking));
        EXPECT_EQ(win::kWaitReadable, ready);
        char bytes[16];
        ASSERT_EQ(3, win::recv(pair_.client->socket, bytes, sizeof(bytes), 0));

        ASSERT_EQ(1, Wait(&ready, &ms, nonblocking));
        EXPECT_EQ(win::kWaitReadable, ready);
        EXPECT_LT(ms, 1000);
        EXPECT_EQ(0, win::recv(pair_.client->socket, bytes, sizeof(bytes), 0));
        ClosePair(pair_);
    }
}

INSTANTIATE_TEST_SUITE_P(Families, SocketWaitTest, ::testing::Values(ZK_AF_INET, ZK_AF_INET6));

}  // namespace
