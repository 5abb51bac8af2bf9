#include "app/qt/TerminalText.h"

#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <string>

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

TerminalText::TerminalText(std::FILE* out) : m_out(out) {
    std::setlocale(LC_CTYPE, "");
    // What the terminal cannot show becomes "?" rather than cutting the line short.
    std::string encoding = std::string(nl_langinfo(CODESET)) + "//TRANSLIT";
    m_converter = iconv_open(encoding.c_str(), "CP932");
    // Whoever reads a pipe sees each line as it is written.
    std::setvbuf(m_out, nullptr, _IOLBF, 0);
}

TerminalText::~TerminalText() {
    if (m_lineOpen) std::fputc('\n', m_out);
    if (m_converter != kNoConverter) iconv_close(m_converter);
}

void TerminalText::Write(std::string_view cp932) {
    std::lock_guard lock(m_mutex);
    std::string out = Convert(cp932);
    // Lines on this system end in LF alone.
    for (size_t at = out.find("\r\n"); at != std::string::npos; at = out.find("\r\n", at)) {
        out.erase(at, 1);
    }
    if (out.empty()) return;
    m_lineOpen = !out.ends_with('\n');
    std::fwrite(out.data(), 1, out.size(), m_out);
}

std::string TerminalText::Convert(std::string_view cp932) {
    // An encoding iconv does not know: the bytes as they are beat no line at all.
    if (m_converter == kNoConverter) return std::string(cp932);
    std::string out;
    char buffer[1024];
    char* in = const_cast<char*>(cp932.data());
    size_t inLeft = cp932.size();
    while (inLeft > 0) {
        char* next = buffer;
        size_t outLeft = sizeof buffer;
        size_t result = iconv(m_converter, &in, &inLeft, &next, &outLeft);
        out.append(buffer, next);
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            // A byte that is no CP932 character: shown as "?", the rest goes on.
            out += '?';
            ++in;
            --inLeft;
        }
    }
    iconv(m_converter, nullptr, nullptr, nullptr, nullptr);
    return out;
}
