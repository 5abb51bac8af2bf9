#pragma once

#include "ui/wnd/Prompter.h"

#include <string>

class CWnd;

// The system's open or save dialog.
class CFileDialog {
public:
    CFileDialog(bool bOpenFileDialog, const char* defaultExtension, const std::string& fileName,
                unsigned flags, const char* filter, CWnd* parent);

    // kIdOk with a path, kIdCancel otherwise.
    int DoModal();
    std::string GetPathName() const { return m_path; }

private:
    FileDialogRequest m_request;
    CWnd* m_parent;
    std::string m_path;
};
