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

// The icon with the given resource id (only the application icon exists).
HICON LoadIconResource(int id);
