#include "platform/Cp932.h"

#include <gtest/gtest.h>

namespace {

// Japanese, half-width katakana and ASCII go through the border unchanged, both ways.
TEST(Cp932, RoundTripsJapaneseAndHalfWidthKatakana) {
    struct Case {
        const char* utf8;
        std::string cp932;
    } cases[] = {
        {"停止中", "\x92\xe2\x8e\x7e\x92\x86"},
        {"ｿｹｯﾄ", "\xbf\xb9\xaf\xc4"},
        {"DI1 ①", "DI1 \x87\x40"},  // an NEC special character only CP932 has
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(cp932::FromUtf8(c.utf8), c.cp932);
        EXPECT_EQ(cp932::ToUtf8(c.cp932), c.utf8);
    }
}

// A character CP932 has no code for is refused, never replaced; damaged bytes still show
// what they can.
TEST(Cp932, RefusesWhatItCannotHoldAndShowsDamagedBytes) {
    for (const char* text : {"😀", "한국어", "Ω≠ß ü", "a\xff"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(cp932::FromUtf8(text), std::nullopt);
    }
    // Characters glibc would take one way only: 〜 would come back as ～, − as －, and so on.
    // Windows refuses them, and so does the program on both systems.
    for (const char* text : {"〜", "−", "—", "‖", "‾", "¥"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(cp932::FromUtf8(text), std::nullopt);
    }
    EXPECT_EQ(cp932::ToUtf8("A\x82"), "A\xEF\xBF\xBD");
    // Single bytes code page 932 maps to private or control characters and glibc refuses.
    for (const char* bytes : {"\x80", "\xa0", "\xfd"})
        EXPECT_EQ(cp932::ToUtf8Exact(bytes), std::nullopt);
    EXPECT_EQ(cp932::ToUtf8("\xa0Z"), "\xEF\xBF\xBDZ");
}

}  // namespace
