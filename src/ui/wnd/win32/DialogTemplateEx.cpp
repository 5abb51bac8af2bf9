#include "ui/wnd/win32/DialogTemplateEx.h"

#include "ui/wnd/win32/Win32Handles.h"

#include <windows.h>
// Each needs windows.h before it.
#include <commctrl.h>

#include <string_view>

namespace {

// The predefined window classes, as a template names them.
constexpr WORD kClassButton = 0x0080;
constexpr WORD kClassEdit = 0x0081;
constexpr WORD kClassStatic = 0x0082;

struct ControlStyle {
    WORD windowClass;  // a predefined class, or
    DWORD style;
    DWORD exStyle = 0;
    const char* className = nullptr;  // a class by its name
};

class TemplateWriter {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(std::string_view cp932) {
        for (wchar_t c : WideText(cp932)) Word(static_cast<WORD>(c));
        Word(0);
    }
    void AlignDword() {
        if (m_words.size() % 2 != 0) Word(0);
    }
    std::vector<uint16_t> Take() { return std::move(m_words); }

private:
    std::vector<uint16_t> m_words;
};

ControlStyle StaticStyle(unsigned styles) {
    DWORD style = SS_LEFT;
    if (styles & kStyleCentre) style = SS_CENTER | SS_CENTERIMAGE;
    if (styles & kStyleRight) style = SS_RIGHT;
    if (styles & kStyleBorder) style |= WS_BORDER;
    return {kClassStatic, style, (styles & kStyleStaticEdge) ? WS_EX_STATICEDGE : 0u};
}

ControlStyle EditStyle(unsigned styles) {
    DWORD style = (styles & kStyleMultiLine) ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL;
    if (styles & kStyleReadOnly) style |= ES_READONLY;
    if (styles & kStyleVScroll) style |= WS_VSCROLL;
    if (styles & kStylePassword) style |= ES_PASSWORD;
    return {kClassEdit, style, (styles & kStyleBorder) ? WS_EX_CLIENTEDGE : 0u};
}

ControlStyle StyleOf(const ControlTemplate& control) {
    switch (control.kind) {
        case ControlKind::PushButton:
            return {kClassButton, BS_PUSHBUTTON};
        case ControlKind::DefPushButton:
            return {kClassButton, BS_DEFPUSHBUTTON};
        case ControlKind::CheckBox:
            return {kClassButton, BS_AUTOCHECKBOX};
        case ControlKind::GroupBox:
            return {kClassButton, BS_GROUPBOX};
        case ControlKind::Edit:
            return EditStyle(control.styles);
        case ControlKind::Static:
            return StaticStyle(control.styles);
        case ControlKind::EtchedLine:
            return {kClassStatic, SS_ETCHEDHORZ};
        case ControlKind::ListView:
            return {0, LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                    (control.styles & kStyleBorder) ? WS_EX_CLIENTEDGE : 0u, "SysListView32"};
    }
    return {kClassStatic, SS_LEFT};
}

void WriteControl(TemplateWriter& out, const ControlTemplate& control, bool first) {
    ControlStyle style = StyleOf(control);
    DWORD common = WS_CHILD | WS_VISIBLE | (first ? WS_GROUP : 0);
    if (control.styles & kStyleTabStop) common |= WS_TABSTOP;
    out.AlignDword();
    out.Dword(0);  // help id
    out.Dword(style.exStyle);
    out.Dword(style.style | common);
    for (int value : {control.x, control.y, control.cx, control.cy}) {
        out.Word(static_cast<WORD>(value));
    }
    out.Dword(static_cast<DWORD>(control.id));
    if (style.className != nullptr) {
        out.Text(style.className);
    } else {
        out.Word(0xFFFF);
        out.Word(style.windowClass);
    }
    out.Text(control.text);
    out.Word(0);  // no creation data
}

}  // namespace

std::vector<uint16_t> BuildDialogTemplateEx(const DialogTemplate& dialogTemplate) {
    DWORD style =
        DS_SETFONT | DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    if (dialogTemplate.minimizeBox) style |= WS_MINIMIZEBOX;
    TemplateWriter out;
    out.Word(1);       // version
    out.Word(0xFFFF);  // the extended form
    out.Dword(0);      // help id
    out.Dword(dialogTemplate.appWindow ? WS_EX_APPWINDOW : 0);
    out.Dword(style);
    out.Word(static_cast<WORD>(dialogTemplate.controls.size()));
    for (int value : {0, 0, dialogTemplate.cx, dialogTemplate.cy}) {
        out.Word(static_cast<WORD>(value));
    }
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(dialogTemplate.caption);
    out.Word(static_cast<WORD>(dialogTemplate.pointSize));
    out.Word(FW_NORMAL);
    out.Word(MAKEWORD(FALSE, SHIFTJIS_CHARSET));  // not italic; the face's character set
    out.Text(dialogTemplate.fontFace);
    bool first = true;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        WriteControl(out, control, first);
        first = false;
    }
    return out.Take();
}
