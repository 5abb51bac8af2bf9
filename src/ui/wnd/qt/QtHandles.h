#pragma once

#include <QFont>
#include <QIcon>

class CWnd;
class QDialog;
class QWidget;

// What the window layer's opaque types are over Qt. Tests reach widgets through these too.

struct WndHandle;

inline QWidget* QtWidget(WndHandle* hWnd) {
    return reinterpret_cast<QWidget*>(hWnd);
}
inline WndHandle* ToHandle(QWidget* widget) {
    return reinterpret_cast<WndHandle*>(widget);
}
// The dialog's own window, nullptr before it is made.
QDialog* QtDialog(const CWnd& dialog);

struct FontHandle {
    QFont font;
};

class CIcon {
public:
    explicit CIcon(QIcon icon) : m_icon(std::move(icon)) {}
    const QIcon& GetIcon() const { return m_icon; }

private:
    QIcon m_icon;
};
