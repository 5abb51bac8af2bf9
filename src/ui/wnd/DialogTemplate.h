#pragma once

#include <span>

// The ids the window layer itself gives meaning to.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdStatic = -1;  // a control nothing refers to

// A dialog as data, in dialog units; texts in CP932.
enum class ControlKind {
    PushButton,
    DefPushButton,
    Static,
    Edit,
    CheckBox,
    GroupBox,
    EtchedLine,
    ListView,  // rows under column titles; see ListView.h
};

enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleCentre = 1 << 0,  // text centred both ways
    kStyleRight = 1 << 1,
    kStyleBorder = 1 << 2,
    kStyleNoBorder = 1 << 3,
    kStyleStaticEdge = 1 << 4,
    kStyleTabStop = 1 << 5,
    kStyleNumber = 1 << 6,  // digits only
    kStyleMultiLine = 1 << 7,
    kStyleReadOnly = 1 << 8,
    kStyleVScroll = 1 << 9,
    kStylePassword = 1 << 10,  // what is typed shows as marks
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    unsigned styles;
    int x, y, cx, cy;
};

// An entry of a menu; "&" marks its mnemonic. On Windows a window's system menu takes the
// entries too, and the system keeps the low four bits of their ids: ids are multiples of 16.
struct MenuItem {
    int id;
    const char* text;
};

struct DialogTemplate {
    int id;
    const char* caption;
    const char* fontFace;
    int pointSize;
    int cx, cy;
    bool minimizeBox;
    bool appWindow;  // a top-level window of its own, with a task-bar entry
    std::span<const ControlTemplate> controls;
    // Shown for a right click, Shift+F10 or the Menu key anywhere a control leaves it to the
    // window; on Windows also in the system menu.
    std::span<const MenuItem> contextMenu = {};
};
