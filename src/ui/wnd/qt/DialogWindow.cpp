#include "ui/wnd/DialogWindow.h"

#include "ui/wnd/CWnd.h"
#include "ui/wnd/qt/ColourLabel.h"
#include "ui/wnd/qt/DialogBuilder.h"
#include "ui/wnd/qt/QtHandles.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>

namespace {

class DialogWidget : public QDialog {
public:
    DialogWidget(std::function<void()> onCancel, QWidget* parent)
        : QDialog(parent), m_onCancel(std::move(onCancel)) {}

    void reject() override { m_onCancel(); }
    void SetContextMenuHandler(std::function<void(int, int)> handler) {
        m_onContextMenu = std::move(handler);
    }

protected:
    // A right click reaches the dialog when the control under the pointer has no menu of its
    // own. The keys are taken below, alike on every platform plugin.
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (!m_onContextMenu || event->reason() != QContextMenuEvent::Mouse) {
            event->ignore();
            return;
        }
        m_onContextMenu(event->globalPos().x(), event->globalPos().y());
    }
    // Shift+F10 and the Menu key, as Windows takes them: an edit keeps them for its own menu.
    void keyPressEvent(QKeyEvent* event) override {
        const bool menuKey =
            event->key() == Qt::Key_Menu ||
            (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
        QWidget* focus = focusWidget();
        if (!m_onContextMenu || !menuKey || qobject_cast<QLineEdit*>(focus) != nullptr ||
            qobject_cast<QPlainTextEdit*>(focus) != nullptr) {
            QDialog::keyPressEvent(event);
            return;
        }
        QWidget* place = focus != nullptr ? focus : this;
        const QPoint at = place->mapToGlobal(place->rect().center());
        m_onContextMenu(at.x(), at.y());
    }
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasUrls()) event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override { event->acceptProposedAction(); }

private:
    std::function<void()> m_onCancel;
    std::function<void(int, int)> m_onContextMenu;
};

class QtDialogWindow : public DialogWindow {
public:
    QtDialogWindow(const DialogTemplate& dialogTemplate, QWidget* parent,
                   std::function<void()> onCancel)
        : m_appWindow(dialogTemplate.appWindow),
          m_widget(new DialogWidget(std::move(onCancel), parent)) {
        m_controls = BuildDialogControls(dialogTemplate, *m_widget);
    }
    ~QtDialogWindow() override { delete m_widget; }

    WndHandle* Handle() const override { return ToHandle(m_widget); }
    WndHandle* Control(int id) const override {
        auto found = m_controls.find(id);
        return found != m_controls.end() ? ToHandle(found->second) : nullptr;
    }

    void Show() override {
        if (!m_widget->isVisible()) {
            m_widget->show();
            return;
        }
        m_widget->raise();
        m_widget->activateWindow();
    }
    int RunUntilEnded() override;
    void End(int result) override { m_widget->done(result); }

    void SetIcon(const CIcon& icon) override { m_widget->setWindowIcon(icon.GetIcon()); }
    void AcceptDrops(bool accept) override { m_widget->setAcceptDrops(accept); }
    void Bind(int id, Notification notification, std::function<void()> handler) override;
    void SetColourSource(WndHandle* control, std::function<ControlColours()> source) override {
        if (auto* label = dynamic_cast<ColourLabel*>(QtWidget(control))) {
            label->SetColourSource(std::move(source));
        }
    }
    void OnContextMenu(std::function<void(int x, int y)> handler) override {
        m_widget->SetContextMenuHandler(std::move(handler));
    }
    // Window managers keep their window menus to themselves.
    void AddToSystemMenu(std::span<const MenuItem>, std::function<void(int)>) override {}

private:
    bool m_appWindow;
    DialogWidget* m_widget;
    std::map<int, QWidget*> m_controls;
};

int QtDialogWindow::RunUntilEnded() {
    if (!m_appWindow) return m_widget->exec();
    // Not modal: the window manager gives a modal window no task-bar entry, and the windows
    // opened beside it stay usable.
    QEventLoop loop;
    QObject::connect(m_widget, &QDialog::finished, &loop, &QEventLoop::quit);
    m_widget->show();
    loop.exec(QEventLoop::DialogExec);
    return m_widget->result();
}

void QtDialogWindow::Bind(int id, Notification notification, std::function<void()> handler) {
    QWidget* control = m_controls.at(id);
    switch (notification) {
        case Notification::kClicked:
            QObject::connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked,
                             std::move(handler));
            break;
        case Notification::kChange:
            QObject::connect(static_cast<QLineEdit*>(control), &QLineEdit::textChanged,
                             std::move(handler));
            break;
        case Notification::kToggled:
            QObject::connect(static_cast<QAbstractButton*>(control), &QAbstractButton::toggled,
                             std::move(handler));
            break;
    }
}

}  // namespace

std::unique_ptr<DialogWindow> DialogWindow::Build(const DialogTemplate& dialogTemplate,
                                                  WndHandle* parent,
                                                  std::function<void()> onCancel) {
    return std::make_unique<QtDialogWindow>(dialogTemplate, QtWidget(parent), std::move(onCancel));
}

QDialog* QtDialog(const CWnd& dialog) {
    return static_cast<QDialog*>(QtWidget(dialog.GetSafeHwnd()));
}
