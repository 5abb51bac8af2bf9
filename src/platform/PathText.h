#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Path texts are CP932 like every other text. What separates folders and what makes a path
// full differs by system (posix/PathRules.cpp, win32/PathRules.cpp); the rest is shared.

// Where the last folder separator is; npos when there is none. On Windows '\\' and '/' both
// separate, and the second byte of a double-byte character (0x5C in "表") is no separator.
size_t LastSeparator(std::string_view path);
// The separator JoinPath puts between a folder and a name.
char PreferredSeparator();
// Names a file without the working folder: "/..." on Linux; "D:\..." or "\\server\..." on
// Windows.
bool IsFullPath(std::string_view path);
// Resolved against the home folder. On Linux a path from Windows (a drive letter, a backslash)
// is neither full nor relative: the files keep it, but nothing is opened under it.
bool IsRelativePath(std::string_view path);

// The folder of a path, without its trailing separator.
std::string DirectoryOfPath(const std::string& path);
// The file name of a path without its extension.
std::string FileTitleOfPath(const std::string& path);
// folder + separator + name.
std::string JoinPath(const std::string& folder, const std::string& name);
// A relative path taken inside folder; any other as it stands.
std::string ResolvePath(const std::string& path, const std::string& folder);
