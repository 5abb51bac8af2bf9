// Any bytes from a unit, in any pieces: the assembler takes at most one frame and never reads
// past what it was given.
#include "server/FrameAssembler.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses how the rest is cut into receives.
    size_t piece = data[0] % 4 + 1;
    FrameAssembler assembler;
    size_t fed = 0;
    for (size_t at = 1; at < size; at += piece) {
        size_t length = std::min(piece, size - at);
        assembler.Feed(data + at, length);
        fed += length;
    }
    size_t needed = size > 1 && data[1] == FrameAssembler::kMarker ? 3 : 2;
    if (assembler.IsComplete() != (fed >= needed)) std::abort();
    if (assembler.IsComplete()) {
        Frame frame = assembler.GetFrame();
        if (frame.state != data[needed]) std::abort();
    }
    return 0;
}
