#include "server/FrameAssembler.h"

bool FrameAssembler::Feed(const uint8_t* data, size_t length) {
    while (length > 0 && !IsComplete()) {
        m_bytes[m_count++] = *data++;
        --length;
    }
    return IsComplete();
}

size_t FrameAssembler::NeededLength() const {
    return m_count > 0 && m_bytes[0] == kMarker ? kMarkedLength : kPlainLength;
}

bool FrameAssembler::IsComplete() const {
    return m_count >= NeededLength();
}

Frame FrameAssembler::GetFrame() const {
    if (m_bytes[0] == kMarker) return Frame{true, m_bytes[1], m_bytes[2]};
    return Frame{false, m_bytes[0], m_bytes[1]};
}
