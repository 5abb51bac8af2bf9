#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct WndHandle;

// How the tests work a window as its operator would, and look at it, the same on every system:
// qt/Operator.cpp drives Qt's widgets, win32/Operator.cpp sends Win32 input; CMake picks one.
namespace op {

enum Modifiers : unsigned { kNoModifier = 0, kAlt = 1, kControl = 2, kShift = 4 };
// A letter as its upper-case character, or one of these.
enum Key : int {
    kReturn = 0x100,
    kEnter,
    kEscape,
    kTab,
    kSpace,
    kBackspace,
    kHome,
    kF10,
    kMenuKey
};

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Colour&) const = default;
};

// Serves the UI thread's events (input, painting, the worker's calls) for about that long.
void ServeEvents(int ms);

// Typed into the control, character by character (UTF-8).
void Type(WndHandle* control, std::string_view text);
// Typed through an input method: committed as one converted text (UTF-8).
void Compose(WndHandle* control, std::string_view text);
void Press(WndHandle* target, int key, unsigned modifiers = kNoModifier);
void Click(WndHandle* control);
// The right button, pressed and let go over the middle of the control.
void RightClick(WndHandle* control);
// A click on the title of a list's column.
void ClickColumnTitle(WndHandle* list, int column);
// What a paste then brings.
void CopyToClipboard(std::string_view text);
std::string ClipboardText();
void Focus(WndHandle* control);
// Runs act on the modal dialog the next command opens, once it is in front; the command comes
// back after it, the dialog cancelled if act left it open.
void WithNextModal(std::function<void(WndHandle* dialog)> act);
// What the control shows as its text, or a window as its caption, in UTF-8.
std::string TextOf(WndHandle* control);
// Brings the window to the front with the keyboard's focus; whether it got there.
bool Activate(WndHandle* window);
WndHandle* Focused();

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;  // row after row

    // x and y below 0 count from the right and bottom edges.
    Colour At(int x, int y) const {
        return pixels[(y < 0 ? height + y : y) * width + (x < 0 ? width + x : x)];
    }
    bool Holds(Colour colour) const {
        return std::find(pixels.begin(), pixels.end(), colour) != pixels.end();
    }
};

// The control as it shows now.
Picture Shot(WndHandle* control);
// What the window paints where it has nothing on it.
Colour WindowBackground(WndHandle* window);
bool HasIcon(WndHandle* window);

}  // namespace op
