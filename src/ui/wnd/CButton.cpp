#include "ui/wnd/CButton.h"

#include "ui/wnd/UiThread.h"

#include <QAbstractButton>

int CButton::GetCheck() const {
    int check = BST_UNCHECKED;
    UiThread::Call([&] {
        check =
            static_cast<QAbstractButton*>(GetWidget())->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    });
    return check;
}

void CButton::SetCheck(int nCheck) {
    UiThread::Call([&] { static_cast<QAbstractButton*>(GetWidget())->setChecked(nCheck != 0); });
}
