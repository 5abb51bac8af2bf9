#include "ui/wnd/qt/Mnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QShortcutEvent>

namespace {

QString MnemonicText(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
    auto* label = qobject_cast<QLabel*>(control);
    return label != nullptr && label->buddy() != nullptr ? label->text() : QString();
}

void Activate(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        // As a click would; Qt's own delayed click merges presses that come quicker than it.
        if (button->focusPolicy() != Qt::NoFocus) button->setFocus(Qt::ShortcutFocusReason);
        button->click();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        // Only focused, as the window system does, even where the next control is a button.
        label->buddy()->setFocus(Qt::ShortcutFocusReason);
    }
}

class MnemonicKeys : public QObject {
public:
    explicit MnemonicKeys(QDialog& dialog) : QObject(&dialog), m_dialog(dialog) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Shortcut && watched != &m_dialog &&
            !static_cast<QShortcutEvent*>(event)->isAmbiguous() &&
            !MnemonicText(static_cast<QWidget*>(watched)).isEmpty()) {
            Activate(static_cast<QWidget*>(watched));
            return true;
        }
        // A key the focused button left unused comes up to the dialog.
        if (event->type() == QEvent::KeyPress && watched == &m_dialog) {
            QWidget* target = Target(*static_cast<QKeyEvent*>(event));
            if (target != nullptr) Activate(target);
            return target != nullptr;
        }
        return false;
    }

private:
    QWidget* Target(const QKeyEvent& key) const {
        const Qt::KeyboardModifiers chordKeys =
            Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
        if (!qobject_cast<QAbstractButton*>(QApplication::focusWidget()) ||
            (key.modifiers() & chordKeys) || key.text().isEmpty()) {
            return nullptr;
        }
        const QKeySequence withAlt(Qt::ALT | Qt::Key(key.key()));
        for (QWidget* control : m_dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->isEnabled() && control->isVisible() &&
                QKeySequence::mnemonic(MnemonicText(control)) == withAlt) {
                return control;
            }
        }
        return nullptr;
    }

    QDialog& m_dialog;
};

}  // namespace

void UseWindowsMnemonics(QDialog& dialog) {
    auto* keys = new MnemonicKeys(dialog);
    dialog.installEventFilter(keys);
    for (QWidget* control : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        control->installEventFilter(keys);
    }
}
