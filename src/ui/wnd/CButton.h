#pragma once

#include "ui/wnd/CWnd.h"

inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

// A push button or check box.
class CButton : public CWnd {
public:
    int GetCheck() const;
    // Raises no click.
    void SetCheck(int nCheck);
};
