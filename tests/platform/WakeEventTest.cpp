#include "platform/WakeEvent.h"

#include <gtest/gtest.h>

#include <poll.h>

namespace {

// The worker's stop: readable from the first Set to the Reset, however often it was set, and
// again at the next Set.
TEST(WakeEvent, ReadableFromSetUntilReset) {
    WakeEvent event;
    ASSERT_TRUE(event.IsValid());
    auto readable = [&] {
        pollfd entry{static_cast<int>(event.Handle()), POLLIN, 0};
        return ::poll(&entry, 1, 0) == 1;
    };
    EXPECT_FALSE(readable());
    for (int round = 0; round < 2; ++round) {
        event.Set();
        event.Set();
        EXPECT_TRUE(readable());
        event.Reset();
        EXPECT_FALSE(readable());
    }
}

}  // namespace
