#pragma once

#include <string>

class ModuleInfo;

// The folder the program keeps its files in, and against which relative paths in them resolve:
// beside the executable when that folder can be written (a portable folder, as on Windows),
// else the per-user folder, made when first needed: $XDG_DATA_HOME/<dataFolderName> on Linux,
// %LOCALAPPDATA%\<dataFolderName> on Windows.
struct HomeFolder {
    enum Problem {
        kFound,
        kExecutableUnreadable,      // the executable's own path cannot be read
        kExecutableNameNotCp932,    // its name is the caption of every message
        kExecutableFolderNotCp932,  // the folder beside it would be home, but CP932 cannot name it
        kDataFolderNotCp932,
        kDataFolderUnusable,  // cannot be made or written; path names it
    };
    Problem problem = kFound;
    std::string path;  // CP932, without a trailing separator
};

// Reads the environment and may make folders: call it from the UI thread.
HomeFolder FindHomeFolder(const ModuleInfo& module, const std::string& dataFolderName);
