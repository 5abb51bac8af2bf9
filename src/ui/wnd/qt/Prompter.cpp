#include "ui/wnd/Prompter.h"

#include "ui/wnd/CWnd.h"
#include "ui/wnd/DialogTemplate.h"
#include "ui/wnd/qt/QtHandles.h"
#include "ui/wnd/qt/QtText.h"

#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStringList>
#include <QWidget>

namespace {

QWidget* OwnerWidget(CWnd* owner) {
    if (owner != nullptr && owner->GetSafeHwnd() != nullptr) {
        return QtWidget(owner->GetSafeHwnd())->window();
    }
    return nullptr;
}

// "name|pattern|name|pattern||" becomes Qt's "name (pattern)", shown as the name alone (see
// HideNameFilterDetails), so the list reads as the program wrote it. "*.*" matches every file,
// also one without a dot, as on Windows; Qt would take it as "has a dot".
QStringList FilterEntries(const std::string& filter) {
    QStringList parts = QtText(filter).split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QStringList patterns = parts[i + 1].split(u';');
        for (QString& pattern : patterns) {
            if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
        }
        entries << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return entries;
}

class QtPrompter : public Prompter {
public:
    void ShowMessage(CWnd* owner, const std::string& caption, const std::string& text) override {
        QMessageBox box(QMessageBox::NoIcon, QtText(caption), QtText(text), QMessageBox::Ok,
                        OwnerWidget(owner));
        box.exec();
    }

    std::optional<std::string> ChooseFile(CWnd* owner, const FileDialogRequest& request) override {
        QFileDialog dialog(OwnerWidget(owner));
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // An open dialog may name a file that does not exist yet.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(FilterEntries(request.filter));
        dialog.setDefaultSuffix(QtText(request.defaultExtension));
        dialog.setOption(QFileDialog::DontConfirmOverwrite,
                         (request.flags & kOfnOverwritePrompt) == 0);
        dialog.selectFile(QtText(request.initialPath));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    }

    std::optional<int> ChooseMenuItem(CWnd* owner, std::span<const MenuItem> items, int x,
                                      int y) override {
        QMenu menu(OwnerWidget(owner));
        for (const MenuItem& item : items) menu.addAction(QtText(item.text))->setData(item.id);
        const QAction* chosen = menu.exec(QPoint(x, y));
        if (chosen == nullptr) return std::nullopt;
        return chosen->data().toInt();
    }
};

}  // namespace

Prompter& Prompter::System() {
    static QtPrompter prompter;
    return prompter;
}
