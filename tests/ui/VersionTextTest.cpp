#include "ui/VersionText.h"

#include <gtest/gtest.h>

namespace {

// The parts behind the point run together; the revision shows only when it is not 0.
TEST(VersionText, RunsThePartsTogether) {
    struct Case {
        uint16_t version[4];
        const char* text;
    } cases[] = {
        {{1, 0, 2, 0}, "Version 1.02"},
        {{1, 0, 2, 3}, "Version 1.023"},
        {{1, 10, 2, 0}, "Version 1.102"},
        {{2, 1, 0, 12}, "Version 2.1012"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatVersionText(&c.version), c.text);
    }
    EXPECT_EQ(FormatVersionText(nullptr), "Version ?");
}

}  // namespace
