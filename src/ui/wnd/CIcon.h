#pragma once

#include <QIcon>

// The application icon, made once.
class CIcon {
public:
    explicit CIcon(QIcon icon) : m_icon(std::move(icon)) {}
    const QIcon& GetIcon() const { return m_icon; }

private:
    QIcon m_icon;
};

using HICON = const CIcon*;

// The icon whose sizes are the files of a resource folder, made once and kept for the
// program's life.
HICON LoadIconResource(const char* folder);
