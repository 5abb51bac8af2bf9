#pragma once

#include <optional>
#include <string>
#include <string_view>

// The Windows border: the W functions take UTF-16, converted from the program's CP932 with code
// page 932 itself, so that texts and paths read right whatever the system's code page is.
// Neither direction guesses: what does not convert exactly fails.
namespace wide {

std::optional<std::wstring> FromCp932(std::string_view cp932);
std::optional<std::string> ToCp932(std::wstring_view text);
std::optional<std::wstring> FromUtf8(std::string_view utf8);
std::optional<std::string> ToUtf8(std::wstring_view text);

}  // namespace wide
