#include "ui/wnd/CButton.h"

#include "ui/wnd/UiThread.h"
#include "ui/wnd/WindowSystem.h"

int CButton::GetCheck() const {
    bool checked = false;
    UiThread::Call([&] { checked = wnd::IsChecked(GetSafeHwnd()); });
    return checked ? kChecked : kUnchecked;
}

void CButton::SetCheck(int nCheck) {
    UiThread::Call([&] { wnd::SetChecked(GetSafeHwnd(), nCheck != 0); });
}
