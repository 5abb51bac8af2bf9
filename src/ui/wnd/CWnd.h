#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

class CFont;

// A window of the window system, opaque to the program; each back end defines what it is.
struct WndHandle;

inline constexpr int kSwHide = 0;

// A window the logic works on. Every operation may be called from any thread: on the UI
// thread it runs at once, on another it waits until the UI thread has run it, except
// InvalidateRect and SetWindowTextLater, which never wait.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    void Attach(WndHandle* hWnd) { m_hWnd = hWnd; }
    WndHandle* GetSafeHwnd() const { return m_hWnd; }

    void SetWindowText(std::string_view text);
    // Shown when the UI thread next takes what is handed over; of texts set meanwhile, only
    // the last is shown.
    void SetWindowTextLater(std::string_view text);
    std::string GetWindowText() const;
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    void ShowWindow(int nCmdShow);
    bool IsWindowVisible() const;
    // The whole area, background erased; painted later by the UI thread, once however often
    // it is asked for meanwhile.
    void InvalidateRect();
    void SetFont(const CFont* font);

    // A modal message, OK only, no icon, the application's name as caption.
    void MessageBox(std::string_view text);

protected:
    // Both run on the UI thread.
    virtual void SetTextNow(const std::string& text);
    virtual std::string TextNow() const;
    virtual void OnShowChanged() {}

private:
    WndHandle* m_hWnd = nullptr;
    std::atomic<bool> m_invalidatePending{false};
    std::mutex m_laterMutex;
    std::optional<std::string> m_laterText;  // under m_laterMutex
    // The bytes last set, read back as they are while the window still shows them: text the
    // window cannot hold exactly (stray bytes, duplicate codes) is never lost or changed.
    std::string m_lastText;  // UI thread only
};

// The executable's file name without extension, else the name the program handed in: the
// caption of every message box.
std::string AfxGetAppName();
void AfxMessageBox(std::string_view text);
