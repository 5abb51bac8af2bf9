#include "ui/wnd/CDialog.h"

#include "ui/wnd/DialogWindow.h"
#include "ui/wnd/Prompter.h"
#include "ui/wnd/WindowSystem.h"

CDialog::CDialog(const DialogTemplate& dialogTemplate, CWnd* pParent)
    : m_template(dialogTemplate), m_pParent(pParent) {}

// No OnDestroy here: from the base's destructor it would no longer reach the derived dialog,
// whose destructor calls DestroyWindow where it needs one.
CDialog::~CDialog() {
    m_window.reset();
}

void CDialog::BuildWindow() {
    WndHandle* parent = m_pParent != nullptr ? m_pParent->GetSafeHwnd() : nullptr;
    m_window = DialogWindow::Build(m_template, parent, [this] { HandleCancel(); });
    Attach(m_window->Handle());
    if (GetControl(kIdOk) != nullptr) OnClicked(kIdOk, [this] { OnOK(); });
    if (GetControl(kIdCancel) != nullptr) OnClicked(kIdCancel, [this] { OnCancel(); });
    if (!m_template.contextMenu.empty()) {
        m_window->OnContextMenu([this](int x, int y) { OnContextMenu(x, y); });
        m_window->AddToSystemMenu(m_template.contextMenu, [this](int id) { RunCommand(id); });
    }
    BindMessageMap();
}

int CDialog::DoModal() {
    BuildWindow();
    OnInitDialog();
    // Ended already (a signal while a start-up message was up): the dialog never shows.
    int result = m_nEndResult ? *m_nEndResult : m_window->RunUntilEnded();
    m_nEndResult.reset();
    DestroyWindow();
    return result;
}

bool CDialog::Create() {
    if (m_window) {
        m_window->Show();
        return true;
    }
    BuildWindow();
    OnInitDialog();
    m_window->Show();
    return true;
}

void CDialog::DestroyWindow() {
    if (!m_window) return;
    OnDestroy();
    m_window.reset();
    Attach(nullptr);
}

void CDialog::EndDialog(int nResult) {
    m_nEndResult = nResult;
    if (m_window) m_window->End(nResult);
}

void CDialog::SetIcon(const CIcon* hIcon) {
    m_window->SetIcon(*hIcon);
}

void CDialog::DragAcceptFiles(bool bAccept) {
    m_window->AcceptDrops(bAccept);
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    CDataExchange exchange{this, bSaveAndValidate};
    DoDataExchange(&exchange);
    return true;
}

WndHandle* CDialog::GetControl(int nID) const {
    return m_window ? m_window->Control(nID) : nullptr;
}

const CBrush* CDialog::QueryCtlColor(CDC* pDC, CWnd* pWnd) {
    return OnCtlColor(pDC, pWnd, kCtlColorStatic);
}

bool CDialog::OnInitDialog() {
    return UpdateData(false);
}

void CDialog::DoDataExchange(CDataExchange*) {}

const CBrush* CDialog::OnCtlColor(CDC*, CWnd*, unsigned) {
    return nullptr;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(kIdOk);
}

void CDialog::OnCancel() {
    EndDialog(kIdCancel);
}

void CDialog::OnClicked(int nID, std::function<void()> handler) {
    m_window->Bind(nID, DialogWindow::Notification::kClicked, std::move(handler));
}

void CDialog::OnChange(int nID, std::function<void()> handler) {
    m_window->Bind(nID, DialogWindow::Notification::kChange, std::move(handler));
}

void CDialog::OnToggled(int nID, std::function<void()> handler) {
    m_window->Bind(nID, DialogWindow::Notification::kToggled, std::move(handler));
}

void CDialog::OnCommand(int nID, std::function<void()> handler) {
    m_commands[nID] = std::move(handler);
}

void CDialog::OnContextMenu(int x, int y) {
    std::optional<int> chosen =
        Prompter::Current().ChooseMenuItem(this, m_template.contextMenu, x, y);
    if (chosen) RunCommand(*chosen);
}

void CDialog::RunCommand(int nID) {
    auto found = m_commands.find(nID);
    if (found != m_commands.end()) found->second();
}

void CDialog::BindColours(CWnd& rControl) {
    m_window->SetColourSource(rControl.GetSafeHwnd(), [this, &rControl] {
        CDC dc;
        const CBrush* brush = QueryCtlColor(&dc, &rControl);
        std::optional<ColourRef> background;
        if (brush != nullptr) background = brush->GetColor();
        return ControlColours{background, dc.TextColor(), dc.BkColor()};
    });
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    rControl.Attach(pDX->m_pDlgWnd->GetControl(nIDC));
    pDX->m_pDlgWnd->BindColours(rControl);
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    WndHandle* edit = pDX->m_pDlgWnd->GetControl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        // Unchanged text keeps its bytes, even those the edit cannot show exactly.
        if (!wnd::ShowsText(edit, value)) value = wnd::ReadText(edit);
    } else {
        wnd::SetText(edit, value);
    }
}
