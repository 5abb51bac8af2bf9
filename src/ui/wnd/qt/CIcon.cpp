#include "ui/wnd/CIcon.h"

#include "ui/wnd/qt/QtHandles.h"

#include <QDir>

#include <map>
#include <string>

const CIcon* LoadIconResource(const char* name) {
    static std::map<std::string, CIcon> icons;  // UI thread only
    auto found = icons.find(name);
    if (found != icons.end()) return &found->second;
    // Every size rendered from the one icon source, so each place gets a sharp one; the
    // resource is a folder of them.
    QIcon sizes;
    QDir folder(QStringLiteral(":/") + QString::fromUtf8(name));
    for (const QFileInfo& file : folder.entryInfoList()) sizes.addFile(file.filePath());
    return &icons.emplace(name, CIcon(std::move(sizes))).first->second;
}
