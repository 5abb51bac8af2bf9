#pragma once

#include "ui/wnd/DialogTemplate.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

class CIcon;
struct WndHandle;

// What a static control paints with, colours as 0x00BBGGRR; the system's where unset.
struct ControlColours {
    std::optional<uint32_t> background;  // the whole control
    std::optional<uint32_t> textColour;
    std::optional<uint32_t> textBackground;  // behind the text alone
};

// The window system's side of a dialog: its window and controls, built from a template and
// hidden until shown. Each back end implements it. It names none of the program's GDI types, so
// a back end may include its system's headers (with their const CBrush*, const CIcon*) after it. UI
// thread only.
class DialogWindow {
public:
    enum class Notification { kClicked, kChange, kToggled };

    // onCancel runs for Escape and the close box.
    static std::unique_ptr<DialogWindow> Build(const DialogTemplate& dialogTemplate,
                                               WndHandle* parent, std::function<void()> onCancel);
    virtual ~DialogWindow() = default;

    virtual WndHandle* Handle() const = 0;
    // nullptr for an id the template does not give a control.
    virtual WndHandle* Control(int id) const = 0;

    // Shows it in front, also when it shows already.
    virtual void Show() = 0;
    // Shows the dialog and handles messages until End; the result End was given.
    virtual int RunUntilEnded() = 0;
    virtual void End(int result) = 0;

    virtual void SetIcon(const CIcon& icon) = 0;
    // Dropped files are taken and change nothing.
    virtual void AcceptDrops(bool accept) = 0;
    virtual void Bind(int id, Notification notification, std::function<void()> handler) = 0;
    // A static control asks for its colours at each paint; other controls ignore it.
    virtual void SetColourSource(WndHandle* control, std::function<ControlColours()> source) = 0;
    // A right click, Shift+F10 or the Menu key that no control takes for a menu of its own: the
    // handler runs with the point of the screen (pixels) its menu belongs at.
    virtual void OnContextMenu(std::function<void(int x, int y)> handler) = 0;
    // Where windows have a system menu (Alt+Space), the items are added to it; chosen runs with
    // the id of the one the operator chose.
    virtual void AddToSystemMenu(std::span<const MenuItem> items,
                                 std::function<void(int id)> chosen) = 0;
};
