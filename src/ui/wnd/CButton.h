#pragma once

#include "ui/wnd/CWnd.h"

inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;

// A push button or check box.
class CButton : public CWnd {
public:
    int GetCheck() const;
    // Raises no click.
    void SetCheck(int nCheck);
};
