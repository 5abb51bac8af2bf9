#include "ui/VersionText.h"

#include <gtest/gtest.h>

namespace {

// The parts behind the point run together, the revision shown when it is not 0 (1.0.2.0 shows
// as "Version 1.02" in the window at start-up).
TEST(VersionText, RunsThePartsTogether) {
    const uint16_t version[4] = {1, 10, 2, 3};
    EXPECT_EQ(FormatVersionText(&version), "Version 1.1023");
    EXPECT_EQ(FormatVersionText(nullptr), "Version ?");
}

}  // namespace
