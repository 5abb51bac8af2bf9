#include "ui/TitleBarDlg.h"

#include "DialogTemplates.h"
#include "resource.h"
#include "ui/SignalServerDlg.h"

CTitleBarDlg::CTitleBarDlg(CWnd* pParent) : CDialog(TitleBarDialogTemplate(), pParent) {}

void CTitleBarDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EDIT_TITLE, m_strTitle);
}

void CSignalServerDlg::OnChangeTitle() {
    CTitleBarDlg dialog(this);
    dialog.m_strTitle = m_strTitle;
    if (dialog.DoModal() != kIdOk) return;
    m_strTitle = dialog.m_strTitle;
    SetWindowText(m_strTitle);
    m_publisher.SetTitle(m_strTitle);
}
