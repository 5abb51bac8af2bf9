#include "ui/wnd/CIcon.h"

#include <QDir>

HICON LoadIconResource(int) {
    // Every size rendered from the one icon source, so each place gets a sharp one.
    static const CIcon icon{[] {
        QIcon sizes;
        for (const QFileInfo& file : QDir(":/icons").entryInfoList()) {
            sizes.addFile(file.filePath());
        }
        return sizes;
    }()};
    return &icon;
}
