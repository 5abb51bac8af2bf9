#include "platform/win32/WideText.h"

#include "platform/Cp932.h"

#include <windows.h>

namespace wide {
namespace {

constexpr UINT kCodePage932 = 932;

// Single bytes code page 932 maps to private or control characters, where glibc's CP932 (and
// the program on Linux) has none: refused here too, so that both read a file alike.
bool HasUndefinedByte(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (cp932::IsLeadByte(byte)) {
            ++i;
        } else if (byte == 0x80 || byte == 0xA0 || byte >= 0xFD) {
            return true;
        }
    }
    return false;
}

std::optional<std::wstring> Decode(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return std::wstring();
    const int length = static_cast<int>(bytes.size());
    int size =
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring text(static_cast<size_t>(size), L'\0');
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(),
                              size) != size) {
        return std::nullopt;
    }
    return text;
}

// usedDefault may only be asked for (and is only set) by code pages other than UTF-8.
std::optional<std::string> Encode(UINT codePage, DWORD flags, std::wstring_view text,
                                  BOOL* usedDefault) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    int size =
        ::WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (::WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(), size, nullptr,
                              usedDefault) != size) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::optional<std::wstring> FromCp932(std::string_view cp932) {
    if (HasUndefinedByte(cp932)) return std::nullopt;
    return Decode(kCodePage932, cp932);
}

std::optional<std::string> ToCp932(std::wstring_view text) {
    BOOL usedDefault = FALSE;
    std::optional<std::string> bytes =
        Encode(kCodePage932, WC_NO_BEST_FIT_CHARS, text, &usedDefault);
    if (!bytes || usedDefault) return std::nullopt;
    // Only what reads back as it was: the same rule as on Linux, whatever the system's tables.
    if (FromCp932(*bytes) != text) return std::nullopt;
    return bytes;
}

std::optional<std::wstring> FromUtf8(std::string_view utf8) {
    return Decode(CP_UTF8, utf8);
}

std::optional<std::string> ToUtf8(std::wstring_view text) {
    return Encode(CP_UTF8, WC_ERR_INVALID_CHARS, text, nullptr);
}

}  // namespace wide
