#pragma once

#include <windows.h>

// The back end's own window messages.
// To a dialog: the check box whose id is wParam changed by the program's hand.
inline constexpr UINT kMsgCheckSet = WM_APP + 1;
// To the UI thread's message window: run the call at lParam, or what is queued.
inline constexpr UINT kMsgCall = WM_APP + 2;
inline constexpr UINT kMsgRunQueued = WM_APP + 3;

// What every loop does with a message of the keyboard before it dispatches it: the dialog
// manager of the open dialog it is for (Tab, Escape, mnemonics), and the Application key; true
// when the message was taken.
bool PreTranslateDialogMessage(MSG& msg);
