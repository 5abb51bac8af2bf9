#pragma once

#include <iconv.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

// Writes CP932 text to a terminal (standard output unless told) in the locale's encoding, as the
// trace pane shows it: pieces run on until a line end. Any thread.
class TerminalText {
public:
    explicit TerminalText(std::FILE* out = stdout);
    ~TerminalText();
    TerminalText(const TerminalText&) = delete;
    TerminalText& operator=(const TerminalText&) = delete;

    // Line ends of CR LF go out as LF.
    void Write(std::string_view cp932);

private:
    std::string Convert(std::string_view cp932);

    std::FILE* const m_out;
    std::mutex m_mutex;  // iconv keeps state between calls, and so does the open line
    iconv_t m_converter;
    bool m_lineOpen = false;  // the last piece did not end its line
};
