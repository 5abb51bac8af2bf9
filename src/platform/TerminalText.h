#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

class TerminalEncoder;

// Writes CP932 text to a terminal (standard output unless told) in its own encoding, as the
// trace pane shows it: pieces run on until a line end; a line end of CR LF goes out as the
// system ends its lines. Text is gathered until Flush, so that a busy writer makes one write
// for many lines. Any thread.
class TerminalText {
public:
    explicit TerminalText(std::FILE* out = stdout);
    ~TerminalText();
    TerminalText(const TerminalText&) = delete;
    TerminalText& operator=(const TerminalText&) = delete;

    void Write(std::string_view cp932);
    void Flush();

private:
    std::mutex m_mutex;
    std::unique_ptr<TerminalEncoder> m_encoder;  // under m_mutex: it keeps state between calls
    std::string m_gathered;                      // under m_mutex
    bool m_lineOpen = false;  // under m_mutex: the last piece did not end its line
};
