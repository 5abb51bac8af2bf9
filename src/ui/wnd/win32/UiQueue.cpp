#include "ui/wnd/UiQueue.h"

#include "ui/wnd/win32/Win32Messages.h"

#include <windows.h>

#include <memory>

namespace {

constexpr DWORD kServePollMs = 50;
constexpr wchar_t kWindowClass[] = L"NR-QD8K.UiThread";
constexpr UINT_PTR kRestTimer = 1;

// A waiting call is sent to a message-only window of the UI thread, so the system itself holds
// the caller until the UI thread has run it, and it runs also inside modal loops (message
// boxes, file dialogs). Every sent call empties the posted queue first, as a sent message would
// otherwise overtake what was posted before it.
class MessageQueue : public UiQueue {
public:
    MessageQueue()
        : m_uiThread(GetCurrentThreadId()), m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassExW(&windowClass);
        m_window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
        if (m_window != nullptr) {
            SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        }
    }
    ~MessageQueue() override {
        DestroyWindow(m_window);
        UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
        CloseHandle(m_wake);
    }

    bool IsReady() const { return m_window != nullptr && m_wake != nullptr; }
    bool IsUiThread() const override { return GetCurrentThreadId() == m_uiThread; }

    void Send(const std::function<void()>& work) override {
        SendMessageW(m_window, kMsgCall, 0, reinterpret_cast<LPARAM>(&work));
    }

    void Wake() override { SetEvent(m_wake); }

    // Sent calls are run by the peek; posted messages stay for the loop that dispatches them.
    void WaitForWork() override {
        MsgWaitForMultipleObjectsEx(1, &m_wake, kServePollMs, QS_SENDMESSAGE, 0);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }

protected:
    void WakeToDrain() override {
        PostMessageW(m_window, kMsgRunQueued, 0, 0);
        Wake();
    }
    // A timer of the message window: it ends also inside modal loops.
    void Rest() override { SetTimer(m_window, kRestTimer, kRestMs, nullptr); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    DWORD m_uiThread;
    HANDLE m_wake;
    HWND m_window = nullptr;
};

LRESULT CALLBACK MessageQueue::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* queue = reinterpret_cast<MessageQueue*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (queue == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case kMsgCall:
            queue->Drain();
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
            return 0;
        case kMsgRunQueued:
            queue->Drain();
            return 0;
        case WM_TIMER:
            if (wParam != kRestTimer) break;
            KillTimer(hwnd, kRestTimer);
            queue->Drain();
            return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<UiQueue> UiQueue::Make() {
    auto queue = std::make_unique<MessageQueue>();
    return queue->IsReady() ? std::move(queue) : nullptr;
}
