#pragma once

#include <optional>
#include <string>
#include <string_view>

// Every text the program holds is CP932 bytes; these convert at the borders (widgets, file names).
namespace cp932 {

// Fails when the text holds a character CP932 has no code for, or one it would take one way
// only (U+301C, U+2212, U+2014, U+2016, U+203E, U+00A5: their bytes read back as others).
std::optional<std::string> FromUtf8(std::string_view utf8);

// Bytes that are not valid CP932 become U+FFFD, so a damaged file still shows what it can.
std::string ToUtf8(std::string_view cp932);

// Fails on bytes that are not valid CP932: for file names, which must not be guessed at.
std::optional<std::string> ToUtf8Exact(std::string_view cp932);

// What a typed character stands for in CP932: the four that CP932 takes one way only (Linux
// input methods type U+301C for the wave dash, Windows ones U+FF5E) become the characters their
// bytes read back as; every other character is itself. For typing only: a path is never mapped.
char16_t TypedEquivalent(char16_t c);

// Bytes below 0x80 alone: they read the same in CP932, UTF-8 and every terminal's encoding here.
bool IsAscii(std::string_view text);
// True when the byte opens a double-byte character.
bool IsLeadByte(unsigned char byte);

// The longest prefix of at most maxBytes bytes that does not end inside a double-byte character.
std::string_view CutAtCharBoundary(std::string_view text, size_t maxBytes);

}  // namespace cp932
