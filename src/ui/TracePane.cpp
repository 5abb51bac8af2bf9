#include "platform/Cp932.h"
#include "ui/SignalServerDlg.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

constexpr size_t kMaxTraceBytes = 255;

}  // namespace

void CSignalServerDlg::AppendTrace(const char* format, ...) {
    char text[kMaxTraceBytes * 2 + 2];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length < 0) return;
    size_t formatted = std::min(static_cast<size_t>(length), sizeof text - 1);
    // Cut where a whole character ends, so the pane never shows half of one.
    std::string_view cut =
        cp932::CutAtCharBoundary(std::string_view(text, formatted), kMaxTraceBytes);
    m_editTrace.ReplaceSel(cut);
    if (m_traceCopy) m_traceCopy(cut);
}
