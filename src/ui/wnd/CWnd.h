#pragma once

#include <string>
#include <string_view>

class QWidget;
class CFont;

inline constexpr int SW_HIDE = 0;

// A window the logic works on. Every operation may be called from any thread: on the UI
// thread it runs at once, on another it waits until the UI thread has run it, except
// InvalidateRect, which never waits.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    void Attach(QWidget* widget);
    QWidget* GetWidget() const { return m_pWidget; }

    void SetWindowText(std::string_view text);
    std::string GetWindowText() const;
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    void ShowWindow(int nCmdShow);
    bool IsWindowVisible() const;
    // The whole area, background erased; painted later by the UI thread.
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
    QWidget* m_pWidget = nullptr;
    // The bytes last set, read back as they are while the widget still shows them: text the
    // widget cannot hold exactly (stray bytes, duplicate codes) is never lost or changed.
    std::string m_lastText;  // UI thread only
};

// The executable's file name without extension, else the name the program handed in: the
// caption of every message box.
std::string AfxGetAppName();
void AfxMessageBox(std::string_view text);
