#include "server/Trace.h"

#include "platform/Cp932.h"
#include "server/ServerListener.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr size_t kMaxTraceBytes = 255;

}  // namespace

std::string FormatTrace(const char* format, va_list args) {
    char text[kMaxTraceBytes * 2 + 2];
    int length = std::vsnprintf(text, sizeof text, format, args);
    if (length < 0) return {};
    size_t formatted = std::min(static_cast<size_t>(length), sizeof text - 1);
    // Cut where a whole character ends, so that nobody is shown half of one.
    return std::string(cp932::CutAtCharBoundary(std::string_view(text, formatted), kMaxTraceBytes));
}

void Trace(ServerListener& to, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatTrace(format, args);
    va_end(args);
    if (!text.empty()) to.OnTrace(text);
}
