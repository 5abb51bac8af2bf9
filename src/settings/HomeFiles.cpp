#include "settings/HomeFiles.h"

#include "Strings.h"
#include "platform/HomeFolder.h"

std::string HomeFolderRefusal(const HomeFolder& home) {
    switch (home.problem) {
        case HomeFolder::kExecutableUnreadable:
            return kTextExePathUnreadable;
        case HomeFolder::kExecutableNameNotCp932:
            return kTextExeNameNotCp932;
        case HomeFolder::kExecutableFolderNotCp932:
            return kTextExeDirNotCp932;
        case HomeFolder::kDataFolderNotCp932:
            return kTextDataDirNotCp932;
        case HomeFolder::kDataFolderUnusable:
        case HomeFolder::kFound:
            break;
    }
    return kTextDataDirUnusable + home.path;
}
