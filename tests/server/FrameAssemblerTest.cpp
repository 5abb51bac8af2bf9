#include "server/FrameAssembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The first byte tells the form; a frame may come in pieces; what follows a whole frame is
// not part of it.
TEST(FrameAssembler, AssemblesBothFormsFromAnyPieces) {
    struct Case {
        const char* what;
        std::vector<std::string> pieces;
        bool complete;
        Frame frame;
    } cases[] = {
        {"plain", {"\x01\x15"}, true, {false, 0x01, 0x15}},
        {"marked", {"\xfa\x01\xe3"}, true, {true, 0x01, 0xe3}},
        {"plain in two", {"\x01", "\x15"}, true, {false, 0x01, 0x15}},
        {"marked in three", {"\xfa", "\x02", "\x03"}, true, {true, 0x02, 0x03}},
        {"trailing bytes", {"\x01\x02\x03\x04"}, true, {false, 0x01, 0x02}},
        {"marker twice", {"\xfa\xfa\x05"}, true, {true, 0xfa, 0x05}},
        {"0xfa as state", {std::string("\x00\xfa", 2)}, true, {false, 0x00, 0xfa}},
        {"nothing", {}, false, {}},
        {"one byte", {"\x01"}, false, {}},
        {"marker alone", {"\xfa"}, false, {}},
        {"marker and lead", {"\xfa\x01"}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FrameAssembler assembler;
        for (const std::string& piece : c.pieces) {
            assembler.Feed(reinterpret_cast<const uint8_t*>(piece.data()), piece.size());
        }
        ASSERT_EQ(assembler.IsComplete(), c.complete);
        if (!c.complete) continue;
        Frame frame = assembler.GetFrame();
        EXPECT_EQ(frame.hasMarker, c.frame.hasMarker);
        EXPECT_EQ(frame.lead, c.frame.lead);
        EXPECT_EQ(frame.state, c.frame.state);
    }
}

}  // namespace
