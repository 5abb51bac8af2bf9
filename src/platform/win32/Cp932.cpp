#include "platform/Cp932.h"

#include "platform/win32/WideText.h"

namespace cp932 {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

}  // namespace

std::optional<std::string> FromUtf8(std::string_view utf8) {
    std::optional<std::wstring> text = wide::FromUtf8(utf8);
    return text ? wide::ToCp932(*text) : std::nullopt;
}

std::optional<std::string> ToUtf8Exact(std::string_view text) {
    std::optional<std::wstring> decoded = wide::FromCp932(text);
    return decoded ? wide::ToUtf8(*decoded) : std::nullopt;
}

std::string ToUtf8(std::string_view text) {
    if (std::optional<std::string> exact = ToUtf8Exact(text)) return *exact;
    // Character by character: a byte that opens nothing valid becomes U+FFFD, and the next byte
    // is read afresh, as glibc's converter goes on.
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t width = IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        std::optional<std::string> one = ToUtf8Exact(text.substr(i, width));
        out.append(one ? *one : kReplacementUtf8);
        i += one ? width : 1;
    }
    return out;
}

}  // namespace cp932
