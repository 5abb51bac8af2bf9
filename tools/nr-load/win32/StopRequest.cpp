#include "StopRequest.h"

#include <windows.h>

#include <algorithm>

namespace nr::tools {
namespace {

StopRequest* g_interrupted = nullptr;
std::atomic<bool> g_interruptedOnce{false};

// Runs on a thread of its own. Declining the second Ctrl-C lets the default end the program.
BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT || g_interruptedOnce.exchange(true)) return FALSE;
    g_interrupted->Request();
    return TRUE;
}

HANDLE EventOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

// One manual-reset event: once set, it wakes every waiter.
StopRequest::StopRequest() {
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event == nullptr) return;
    m_wait = m_signal = reinterpret_cast<std::intptr_t>(event);
}

StopRequest::~StopRequest() {
    if (Valid()) ::CloseHandle(EventOf(m_wait));
}

bool StopRequest::CatchInterrupt() {
    g_interrupted = this;
    return ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void StopRequest::Request() {
    m_requested.store(true);
    ::SetEvent(EventOf(m_signal));
}

bool StopRequest::WaitUntil(Clock::time_point due) const {
    for (;;) {
        if (Requested()) return false;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now());
        if (left.count() <= 0) return true;
        const auto timeout = static_cast<DWORD>(std::min<long long>(left.count(), INFINITE - 1));
        const DWORD result = ::WaitForSingleObject(EventOf(m_wait), timeout);
        if (result == WAIT_OBJECT_0) return false;
        if (result == WAIT_FAILED) {
            // Without the event to wait on, the request is noticed when the time has come.
            ::Sleep(timeout);
        }
    }
}

}  // namespace nr::tools
