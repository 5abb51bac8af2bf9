#include "ui/wnd/CFileDialog.h"

#include "platform/Cp932.h"
#include "ui/wnd/AppResources.h"
#include "ui/wnd/CWnd.h"
#include "ui/wnd/DialogTemplate.h"
#include "ui/wnd/UiThread.h"

CFileDialog::CFileDialog(bool bOpenFileDialog, const char* defaultExtension,
                         const std::string& fileName, unsigned flags, const char* filter,
                         CWnd* parent)
    : m_request{!bOpenFileDialog, fileName, defaultExtension, filter, flags}, m_parent(parent) {}

int CFileDialog::DoModal() {
    std::optional<std::string> path;
    UiThread::Call([&] {
        std::optional<std::string> chosen = Prompter::Current().ChooseFile(m_parent, m_request);
        if (!chosen) return;
        // Refused, never mangled: a guessed name would open or overwrite some other file.
        path = cp932::FromUtf8(*chosen);
        if (!path) {
            Prompter::Current().ShowMessage(m_parent, AfxGetAppName(),
                                            AfxGetAppResources().textPathNotCp932);
        }
    });
    if (!path) return kIdCancel;
    m_path = *path;
    return kIdOk;
}
