#pragma once

#include <string>

// Path texts are CP932 like every other text; '/' separates folders.

// The folder of a path, without its trailing separator.
std::string DirectoryOfPath(const std::string& path);
// The file name of a path without its extension.
std::string FileTitleOfPath(const std::string& path);
// folder + separator + name.
std::string JoinPath(const std::string& folder, const std::string& name);
