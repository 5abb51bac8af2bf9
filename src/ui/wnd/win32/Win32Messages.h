#pragma once

#include <windows.h>

// The back end's own window messages.
// To a dialog: the check box whose id is wParam changed by the program's hand.
inline constexpr UINT kMsgCheckSet = WM_APP + 1;
// To the UI thread's message window: run the call at lParam, or what is queued.
inline constexpr UINT kMsgCall = WM_APP + 2;
inline constexpr UINT kMsgRunQueued = WM_APP + 3;
