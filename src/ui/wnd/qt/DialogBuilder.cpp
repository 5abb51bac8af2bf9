#include "ui/wnd/qt/DialogBuilder.h"

#include "ui/wnd/qt/ColourLabel.h"
#include "ui/wnd/qt/Cp932Validator.h"
#include "ui/wnd/qt/DialogUnits.h"
#include "ui/wnd/qt/FontFamilies.h"
#include "ui/wnd/qt/Mnemonics.h"
#include "ui/wnd/qt/QtListView.h"
#include "ui/wnd/qt/QtText.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace {

QWidget* MakeEdit(const ControlTemplate& control, QWidget* parent) {
    if (control.styles & kStyleMultiLine) {
        auto* pane = new QPlainTextEdit(parent);
        pane->setReadOnly(control.styles & kStyleReadOnly);
        pane->setVerticalScrollBarPolicy((control.styles & kStyleVScroll) ? Qt::ScrollBarAlwaysOn
                                                                          : Qt::ScrollBarAlwaysOff);
        pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pane->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        if (control.styles & kStyleNoBorder) {
            pane->setFrameShape(QFrame::NoFrame);
            pane->viewport()->setAutoFillBackground(false);
            pane->document()->setDocumentMargin(0);
        }
        return pane;
    }
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new Cp932Validator(edit, control.styles & kStyleNumber));
    if (control.styles & kStylePassword) edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QWidget* MakeStatic(const ControlTemplate& control, QWidget* parent) {
    auto* label = new ColourLabel(parent);
    // Painting its own background spares the group box behind a lamp a repaint per report.
    label->setAutoFillBackground(true);
    label->setText(QtText(control.text));
    label->setTextFormat(Qt::PlainText);
    if (control.styles & kStyleCentre) {
        label->setAlignment(Qt::AlignCenter);
    } else if (control.styles & kStyleRight) {
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    } else {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    if (control.styles & kStyleBorder) label->setFrameStyle(QFrame::Box | QFrame::Plain);
    if (control.styles & kStyleStaticEdge) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

QWidget* MakeControl(const ControlTemplate& control, QDialog& dialog, bool hasDefaultButton,
                     const DialogUnits& units) {
    switch (control.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: {
            auto* button = new QPushButton(QtText(control.text), &dialog);
            // As on Windows: where a dialog has a default button, Enter presses the focused
            // push button; a dialog without one leaves Enter to its controls.
            button->setAutoDefault(hasDefaultButton);
            button->setDefault(control.kind == ControlKind::DefPushButton);
            return button;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(QtText(control.text), &dialog);
        case ControlKind::GroupBox:
            return new QGroupBox(QtText(control.text), &dialog);
        case ControlKind::Edit:
            return MakeEdit(control, &dialog);
        case ControlKind::Static:
            return MakeStatic(control, &dialog);
        case ControlKind::EtchedLine: {
            auto* line = new QFrame(&dialog);
            line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
            return line;
        }
        case ControlKind::ListView:
            return MakeListView(&dialog, units);
    }
    return nullptr;
}

void SetUpWindow(const DialogTemplate& dialogTemplate, QDialog& dialog, const QRect& client) {
    // An application window is an ordinary top-level window, so that it gets a task-bar entry;
    // window managers give none to a dialog.
    Qt::WindowFlags flags = (dialogTemplate.appWindow ? Qt::Window : Qt::Dialog) |
                            Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialogTemplate.minimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    dialog.setWindowFlags(flags);
    dialog.setWindowTitle(QtText(dialogTemplate.caption));
    dialog.setFixedSize(client.size());
}

}  // namespace

std::map<int, QWidget*> BuildDialogControls(const DialogTemplate& dialogTemplate, QDialog& dialog) {
    QFont font = MakeFont(dialogTemplate.fontFace, dialogTemplate.pointSize);
    dialog.setFont(font);
    DialogUnits units(font);
    SetUpWindow(dialogTemplate, dialog, units.ToPixels(0, 0, dialogTemplate.cx, dialogTemplate.cy));

    bool hasDefaultButton = std::ranges::any_of(dialogTemplate.controls, [](const auto& control) {
        return control.kind == ControlKind::DefPushButton;
    });
    std::map<int, QWidget*> controls;
    QLabel* pendingBuddy = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = MakeControl(control, dialog, hasDefaultButton, units);
        // The window takes dropped files and ignores them; no control may take one instead.
        widget->setAcceptDrops(false);
        QRect place = units.ToPixels(control.x, control.y, control.cx, control.cy);
        if (control.kind == ControlKind::EtchedLine) place.setHeight(2);
        widget->setGeometry(place);
        widget->setFocusPolicy((control.styles & kStyleTabStop) ? Qt::StrongFocus : Qt::NoFocus);
        if (pendingBuddy != nullptr && (control.styles & kStyleTabStop)) {
            pendingBuddy->setBuddy(widget);
            pendingBuddy = nullptr;
        }
        auto* label = qobject_cast<QLabel*>(widget);
        if (label != nullptr && label->text().contains(u'&')) pendingBuddy = label;
        if (control.id != kIdStatic) controls[control.id] = widget;
    }
    UseWindowsMnemonics(dialog);
    return controls;
}
