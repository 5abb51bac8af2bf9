#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// The border between CP932 bytes and the widgets' text.
QString QtText(std::string_view cp932);
// nullopt when the text holds a character CP932 cannot hold.
std::optional<std::string> Cp932Text(const QString& text);
