#include "platform/TerminalEncoder.h"

#include "platform/Cp932.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

struct TerminalEncoder::State {
    iconv_t converter = kNoConverter;
};

TerminalEncoder::TerminalEncoder(std::FILE* out) : m_out(out), m_state(std::make_unique<State>()) {
    std::setlocale(LC_CTYPE, "");
    // What the terminal cannot show becomes "?" rather than cutting the line short.
    std::string encoding = std::string(nl_langinfo(CODESET)) + "//TRANSLIT";
    m_state->converter = iconv_open(encoding.c_str(), "CP932");
}

TerminalEncoder::~TerminalEncoder() {
    if (m_state->converter != kNoConverter) iconv_close(m_state->converter);
}

void TerminalEncoder::Append(std::string_view cp932, std::string& out) {
    const size_t start = out.size();
    // Most lines are ASCII, which every terminal encoding here reads as it is; an encoding
    // iconv does not know gets the bytes as they are, which beats no line at all.
    if (cp932::IsAscii(cp932) || m_state->converter == kNoConverter) {
        out.append(cp932);
    } else {
        char buffer[1024];
        char* in = const_cast<char*>(cp932.data());
        size_t inLeft = cp932.size();
        while (inLeft > 0) {
            char* next = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(m_state->converter, &in, &inLeft, &next, &outLeft);
            out.append(buffer, next);
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                // A byte that is no CP932 character: shown as "?", the rest goes on.
                out += '?';
                ++in;
                --inLeft;
            }
        }
        iconv(m_state->converter, nullptr, nullptr, nullptr, nullptr);
    }
    // Lines on this system end in LF alone.
    for (size_t at = out.find("\r\n", start); at != std::string::npos; at = out.find("\r\n", at)) {
        out.erase(at, 1);
    }
}

void TerminalEncoder::Put(const std::string& encoded) {
    std::fwrite(encoded.data(), 1, encoded.size(), m_out);
    std::fflush(m_out);
}
