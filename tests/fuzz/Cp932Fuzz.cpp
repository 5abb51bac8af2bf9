// Any bytes at the border: conversion never fails on them, and a cut never ends inside a
// double-byte character.
#include "platform/Cp932.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string utf8 = cp932::ToUtf8(bytes);
    if (std::optional<std::string> back = cp932::FromUtf8(utf8)) {
        // What came back converts to the same characters again.
        if (cp932::ToUtf8(*back) != utf8) std::abort();
    }
    cp932::FromUtf8(bytes);
    for (size_t limit : {size_t{0}, size_t{1}, size / 2, size_t{255}}) {
        std::string_view cut = cp932::CutAtCharBoundary(bytes, limit);
        if (cut.size() == size) continue;  // the whole text fits: nothing was cut
        if (cut.size() > limit) std::abort();
        size_t at = 0;
        while (at < cut.size()) at += cp932::IsLeadByte(static_cast<uint8_t>(cut[at])) ? 2 : 1;
        if (at != cut.size()) std::abort();
    }
    return 0;
}
