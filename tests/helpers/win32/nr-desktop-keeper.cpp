// nr-desktop-keeper: a window nobody sees, for as long as the tests run. Wine ends the desktop
// once no window is left on it, and starting it again costs each windowed test over ten
// seconds (it waits for a service that no longer starts).
#include <windows.h>

int main() {
    ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}
