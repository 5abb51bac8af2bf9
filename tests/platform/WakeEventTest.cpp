#include "platform/WakeEvent.h"
#include "platform/Winsock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// A stop wakes the wait at once, and only until it is reset.
TEST(WakeEvent, WakesAWaitUntilReset) {
    WakeEvent event;
    ASSERT_TRUE(event.IsValid());
    wsock::PollEntry entries[] = {{wsock::kInvalidSocket}, {event.Handle()}};
    EXPECT_EQ(wsock::WSAPoll(entries, 2, 0), 0);
    event.Set();
    event.Set();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(wsock::WSAPoll(entries, 2, 5000), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(entries[0].readable);
    EXPECT_TRUE(entries[1].readable);
    event.Reset();
    EXPECT_EQ(wsock::WSAPoll(entries, 2, 0), 0);
}

}  // namespace
