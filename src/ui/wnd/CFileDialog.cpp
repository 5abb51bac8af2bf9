#include "ui/wnd/CFileDialog.h"

#include "resource.h"
#include "ui/wnd/UiThread.h"

CFileDialog::CFileDialog(bool bOpenFileDialog, const char* defaultExtension,
                         const std::string& fileName, unsigned flags, const char* filter,
                         CWnd* parent)
    : m_request{!bOpenFileDialog, fileName, defaultExtension, filter, flags}, m_parent(parent) {}

int CFileDialog::DoModal() {
    std::optional<std::string> chosen;
    UiThread::Call([&] { chosen = Prompter::Current().ChooseFile(m_parent, m_request); });
    if (!chosen) return IDCANCEL;
    m_path = *chosen;
    return IDOK;
}
