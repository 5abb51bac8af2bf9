#pragma once

#include <string>
#include <string_view>

// Path texts are CP932 like every other text; '/' separates folders.

// The folder of a path, without its trailing separator.
std::string DirectoryOfPath(const std::string& path);
// The file name of a path without its extension.
std::string FileTitleOfPath(const std::string& path);
// folder + separator + name.
std::string JoinPath(const std::string& folder, const std::string& name);

// A path only Windows can use: a drive letter ("D:"), or a backslash anywhere ("\\server",
// "logs\a.csv"). Files from Windows keep such paths, but nothing is opened under them here.
bool IsWindowsPath(std::string_view path);
// A relative path taken inside folder; an absolute or a Windows path as it stands.
std::string ResolvePath(const std::string& path, const std::string& folder);
