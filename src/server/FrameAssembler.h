#pragma once

#include <cstddef>
#include <cstdint>

// One frame from a unit: LEAD STATE, or 0xFA LEAD STATE. There is no length field: the first
// byte tells the form. Bytes after a whole frame are not part of it.
struct Frame {
    bool hasMarker;
    uint8_t lead;
    uint8_t state;
};

class FrameAssembler {
public:
    static constexpr uint8_t kMarker = 0xFA;
    static constexpr size_t kPlainLength = 2;
    static constexpr size_t kMarkedLength = 3;

    // Takes the bytes of one receive; true once a whole frame is there.
    bool Feed(const uint8_t* data, size_t length);
    bool IsComplete() const;
    size_t BytesHeld() const { return m_count; }
    // Only when complete.
    Frame GetFrame() const;

private:
    size_t NeededLength() const;

    uint8_t m_bytes[kMarkedLength] = {};
    size_t m_count = 0;
};
