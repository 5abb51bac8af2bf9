#pragma once

#include <iconv.h>

#include <mutex>
#include <string>
#include <string_view>

// Writes lines of CP932 text to standard output in the terminal's encoding. Any thread.
class TerminalText {
public:
    TerminalText();
    ~TerminalText();
    TerminalText(const TerminalText&) = delete;
    TerminalText& operator=(const TerminalText&) = delete;

    // Line ends of CR LF go out as LF; a text without a line end gets one.
    void WriteLine(std::string_view cp932);

private:
    std::string Convert(std::string_view cp932);

    std::mutex m_mutex;  // iconv keeps state between calls
    iconv_t m_converter;
};
