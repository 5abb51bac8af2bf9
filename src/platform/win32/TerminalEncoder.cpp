#include "platform/TerminalEncoder.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

constexpr UINT kCodePage932 = 932;

// Bytes that are no CP932 character still show as something.
std::wstring Shown(std::string_view cp932) {
    const int length = static_cast<int>(cp932.size());
    std::wstring text(cp932.size(), L'\0');
    const int size =
        ::MultiByteToWideChar(kCodePage932, 0, cp932.data(), length, text.data(), length);
    text.resize(static_cast<size_t>(size > 0 ? size : 0));
    return text;
}

}  // namespace

// A console shows UTF-16 whatever its code page; a file or pipe gets the console's code page,
// or the system's where there is no console, as the programs that read it expect.
struct TerminalEncoder::State {
    HANDLE console = nullptr;
    UINT codePage = kCodePage932;
};

TerminalEncoder::TerminalEncoder(std::FILE* out) : m_out(out), m_state(std::make_unique<State>()) {
    HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(out)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode))
        m_state->console = handle;
    const UINT consoleCodePage = ::GetConsoleOutputCP();
    m_state->codePage = consoleCodePage != 0 ? consoleCodePage : ::GetACP();
    // The text brings its own CR LF; text mode would add a CR to each.
    ::_setmode(::_fileno(out), _O_BINARY);
}

TerminalEncoder::~TerminalEncoder() = default;

void TerminalEncoder::Append(std::string_view cp932, std::string& out) {
    if (m_state->console != nullptr || m_state->codePage == kCodePage932) {
        out.append(cp932);
        return;
    }
    const std::wstring text = Shown(cp932);
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(m_state->codePage, 0, text.data(), length, nullptr, 0,
                                           nullptr, nullptr);
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(size > 0 ? size : 0));
    ::WideCharToMultiByte(m_state->codePage, 0, text.data(), length, out.data() + start,
                          static_cast<int>(out.size() - start), nullptr, nullptr);
}

void TerminalEncoder::Put(const std::string& encoded) {
    if (m_state->console != nullptr) {
        const std::wstring text = Shown(encoded);
        DWORD written = 0;
        ::WriteConsoleW(m_state->console, text.data(), static_cast<DWORD>(text.size()), &written,
                        nullptr);
        return;
    }
    std::fwrite(encoded.data(), 1, encoded.size(), m_out);
    std::fflush(m_out);
}
