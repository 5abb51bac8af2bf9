#pragma once

#include "ui/wnd/CDialog.h"

#include <string>

// The small dialog in which the operator types a new window title.
class CTitleBarDlg : public CDialog {
public:
    explicit CTitleBarDlg(CWnd* pParent = nullptr);

    std::string m_strTitle;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
