#pragma once

#include "ui/wnd/CWnd.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

// A single-line edit, or a multi-line read-only pane that keeps its text as bytes, so that
// what the program put in (CR LF included) reads back unchanged.
class CEdit : public CWnd {
public:
    // A pane keeps at most this much; older lines go first, as text scrolls out of a log.
    static constexpr size_t kMaxPaneBytes = 64 * 1024;

    // The most bytes (CP932) the user can type; text set by the program is not cut.
    void SetLimitText(int nMaxBytes);
    // Panes only. Inserts at the caret, which in a read-only pane always stands behind the text
    // last put in. From another thread it does not wait: it only keeps its place among the calls.
    // Text set on the pane drops what is still on its way.
    void ReplaceSel(std::string_view text);

protected:
    void SetTextNow(const std::string& text) override;
    std::string TextNow() const override;
    void OnShowChanged() override;

private:
    bool IsPane() const;
    void AppendNow(std::string_view text);
    std::string TakeComingText();
    void ShowPaneText();

    std::string m_paneText;  // UI thread only
    std::mutex m_comingMutex;
    std::string m_comingText;  // under m_comingMutex: from other threads, not yet in the pane
};
