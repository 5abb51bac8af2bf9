#pragma once

#include <iconv.h>

#include <mutex>
#include <string_view>

// Writes lines of CP932 text to standard output in the terminal's encoding. Any thread.
class TerminalText {
public:
    TerminalText();
    ~TerminalText();
    TerminalText(const TerminalText&) = delete;
    TerminalText& operator=(const TerminalText&) = delete;

    // A line end of CR LF goes out as LF.
    void WriteLine(std::string_view cp932);

private:
    std::mutex m_mutex;  // iconv keeps state between calls
    iconv_t m_converter;
};
