#include "ui/wnd/CIcon.h"

#include <QDir>

#include <map>
#include <string>

HICON LoadIconResource(const char* folder) {
    static std::map<std::string, CIcon> icons;  // UI thread only
    auto found = icons.find(folder);
    if (found != icons.end()) return &found->second;
    // Every size rendered from the one icon source, so each place gets a sharp one.
    QIcon sizes;
    for (const QFileInfo& file : QDir(folder).entryInfoList()) sizes.addFile(file.filePath());
    return &icons.emplace(folder, CIcon(std::move(sizes))).first->second;
}
