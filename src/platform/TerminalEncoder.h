#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// How each system puts CP932 text on its terminal (TerminalText's back end): Append turns the
// text into what Put writes, with the system's line ends.
class TerminalEncoder {
public:
    explicit TerminalEncoder(std::FILE* out);
    ~TerminalEncoder();
    TerminalEncoder(const TerminalEncoder&) = delete;
    TerminalEncoder& operator=(const TerminalEncoder&) = delete;

    void Append(std::string_view cp932, std::string& out);
    void Put(const std::string& encoded);

private:
    struct State;
    std::FILE* const m_out;
    std::unique_ptr<State> m_state;
};
