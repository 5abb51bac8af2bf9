#pragma once

#include <cstddef>
#include <string>

class CFont;
struct WndHandle;

// What each back end does to one window for the layer's classes; UI thread only. Texts in
// CP932.
namespace wnd {

void SetText(WndHandle* hWnd, const std::string& text);
// Whether the window shows exactly what it would show for the text.
bool ShowsText(WndHandle* hWnd, const std::string& text);
// What the window shows; the edits hold only characters CP932 holds.
std::string ReadText(WndHandle* hWnd);

void Enable(WndHandle* hWnd, bool enable);
bool IsEnabled(WndHandle* hWnd);
void Show(WndHandle* hWnd, bool show);
bool IsVisible(WndHandle* hWnd);
// Erases and repaints the whole window later.
void Invalidate(WndHandle* hWnd);
void SetFont(WndHandle* hWnd, const CFont& font);

bool IsChecked(WndHandle* hWnd);
void SetChecked(WndHandle* hWnd, bool checked);

// Single-line edits: what the user may type, in CP932 bytes.
void LimitTypedBytes(WndHandle* hWnd, size_t maxBytes);
// A multi-line pane rather than a single-line edit.
bool IsPane(WndHandle* hWnd);
// Shows the whole text, scrolled to its end.
void ShowPaneText(WndHandle* hWnd, const std::string& text);

// What a paste then brings; lines end in "\n" here and as the system ends them there.
void SetClipboardText(WndHandle* owner, const std::string& text);

}  // namespace wnd
