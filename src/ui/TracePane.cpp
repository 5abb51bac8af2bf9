#include "server/Trace.h"
#include "ui/SignalServerDlg.h"

void CSignalServerDlg::AppendTrace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatTrace(format, args);
    va_end(args);
    m_editTrace.ReplaceSel(text);
}
