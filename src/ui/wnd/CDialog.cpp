#include "ui/wnd/CDialog.h"

#include "ui/wnd/CIcon.h"
#include "ui/wnd/ColourLabel.h"
#include "ui/wnd/DialogBuilder.h"
#include "ui/wnd/QtText.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QMimeData>

namespace {

class DialogWidget : public QDialog {
public:
    DialogWidget(CDialog& owner, QWidget* parent) : QDialog(parent), m_owner(owner) {}

    void reject() override { m_owner.HandleCancel(); }
    void EndWith(int result) { QDialog::done(result); }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasUrls()) event->acceptProposedAction();
    }
    // Dropped files are taken and change nothing.
    void dropEvent(QDropEvent* event) override { event->acceptProposedAction(); }

private:
    CDialog& m_owner;
};

}  // namespace

CDialog::CDialog(const DialogTemplate& dialogTemplate, CWnd* pParent)
    : m_template(dialogTemplate), m_pParent(pParent) {}

CDialog::~CDialog() {
    DestroyWindow();
}

void CDialog::BuildWindow() {
    QWidget* parent = m_pParent != nullptr ? m_pParent->GetWidget() : nullptr;
    auto* widget = new DialogWidget(*this, parent);
    Attach(widget);
    m_controls = BuildDialogControls(m_template, *widget);
    for (const auto& [id, control] : m_controls) {
        if (id == IDOK) {
            QObject::connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked,
                             [this] { OnOK(); });
        } else if (id == IDCANCEL) {
            QObject::connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked,
                             [this] { OnCancel(); });
        }
    }
    BindMessageMap();
}

int CDialog::DoModal() {
    BuildWindow();
    OnInitDialog();
    // Ended already (a signal while a start-up message was up): the dialog never shows.
    int result = m_nEndResult ? *m_nEndResult : RunUntilEnded();
    m_nEndResult.reset();
    DestroyWindow();
    return result;
}

int CDialog::RunUntilEnded() {
    QDialog* dialog = GetDialogWidget();
    if (!m_template.appWindow) return dialog->exec();
    // Not modal: the window manager gives a modal window no task-bar entry. It is the only
    // window then, so nothing else could be used meanwhile anyway.
    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog->show();
    loop.exec(QEventLoop::DialogExec);
    return dialog->result();
}

bool CDialog::Create() {
    BuildWindow();
    OnInitDialog();
    GetDialogWidget()->show();
    return true;
}

void CDialog::DestroyWindow() {
    if (GetWidget() == nullptr) return;
    OnDestroy();
    delete GetWidget();
    Attach(nullptr);
    m_controls.clear();
}

void CDialog::EndDialog(int nResult) {
    m_nEndResult = nResult;
    if (GetWidget() != nullptr) static_cast<DialogWidget*>(GetWidget())->EndWith(nResult);
}

void CDialog::SetIcon(HICON hIcon) {
    GetWidget()->setWindowIcon(hIcon->GetIcon());
}

void CDialog::DragAcceptFiles(bool bAccept) {
    GetWidget()->setAcceptDrops(bAccept);
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    CDataExchange exchange{this, bSaveAndValidate};
    DoDataExchange(&exchange);
    return true;
}

QWidget* CDialog::GetControl(int nID) const {
    auto found = m_controls.find(nID);
    return found != m_controls.end() ? found->second : nullptr;
}

QDialog* CDialog::GetDialogWidget() const {
    return static_cast<QDialog*>(GetWidget());
}

HBRUSH CDialog::QueryCtlColor(CDC* pDC, CWnd* pWnd) {
    return OnCtlColor(pDC, pWnd, CTLCOLOR_STATIC);
}

bool CDialog::OnInitDialog() {
    return UpdateData(false);
}

void CDialog::DoDataExchange(CDataExchange*) {}

HBRUSH CDialog::OnCtlColor(CDC*, CWnd*, unsigned) {
    return nullptr;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnClicked(int nID, std::function<void()> handler) {
    QObject::connect(static_cast<QAbstractButton*>(GetControl(nID)), &QAbstractButton::clicked,
                     std::move(handler));
}

void CDialog::OnChange(int nID, std::function<void()> handler) {
    QObject::connect(static_cast<QLineEdit*>(GetControl(nID)), &QLineEdit::textChanged,
                     std::move(handler));
}

void CDialog::OnToggled(int nID, std::function<void()> handler) {
    QObject::connect(static_cast<QAbstractButton*>(GetControl(nID)), &QAbstractButton::toggled,
                     std::move(handler));
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    QWidget* widget = pDX->m_pDlgWnd->GetControl(nIDC);
    rControl.Attach(widget);
    if (auto* label = dynamic_cast<ColourLabel*>(widget)) {
        CDialog* dialog = pDX->m_pDlgWnd;
        label->SetColourSource(
            [dialog, &rControl](CDC& dc) { return dialog->QueryCtlColor(&dc, &rControl); });
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    auto* edit = static_cast<QLineEdit*>(pDX->m_pDlgWnd->GetControl(nIDC));
    if (pDX->m_bSaveAndValidate) {
        // Unchanged text keeps its bytes, even those the edit cannot show exactly.
        if (edit->text() != QtText(value)) value = Cp932Text(edit->text()).value_or(std::string());
    } else {
        edit->setText(QtText(value));
    }
}
