#include "ui/wnd/win32/Win32ListView.h"

#include "ui/wnd/win32/Win32Handles.h"

#include <windows.h>
// Each needs windows.h before it.
#include <commctrl.h>

#include <algorithm>

namespace {

constexpr wchar_t kListProperty[] = L"NR-QD8K.ListView";
constexpr COLORREF kGreyedText = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kLampEdge = RGB(0x80, 0x80, 0x80);

}  // namespace

Win32ListView::Win32ListView(HWND list, HWND dialog) : m_list(list), m_dialog(dialog) {
    SetPropW(m_list, kListProperty, this);
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
}

Win32ListView::~Win32ListView() {
    RemovePropW(m_list, kListProperty);
}

ListView* ListView::Of(WndHandle* control) {
    return static_cast<Win32ListView*>(GetPropW(ToHwnd(control), kListProperty));
}

WndHandle* Win32ListView::Handle() const {
    return ToHandle(m_list);
}

void Win32ListView::ShowColumns(const std::function<void()>& change) {
    while (SendMessageW(m_list, LVM_DELETECOLUMN, 0, 0)) {
    }
    change();
    for (size_t i = 0; i < Columns().size(); ++i) {
        const ListColumn& column = Columns()[i];
        RECT width{0, 0, column.width, 0};
        MapDialogRect(m_dialog, &width);
        std::wstring title = WideText(column.title);
        LVCOLUMNW item{};
        item.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        // The system aligns the first column left, whatever it is asked.
        item.fmt = column.right ? LVCFMT_RIGHT : LVCFMT_LEFT;
        item.cx = width.right;
        item.pszText = title.data();
        SendMessageW(m_list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(m_list, LVM_SETITEMCOUNT, 0, 0);
}

void Win32ListView::ShowColumnTitle(int column) {
    std::wstring title = WideText(Columns()[column].title);
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = title.data();
    SendMessageW(m_list, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
}

// Rows out of view are never asked for.
void Win32ListView::ShowRows(std::optional<RowRange> changedOnly,
                             const std::function<void()>& change) {
    change();
    if (changedOnly) {
        SendMessageW(m_list, LVM_REDRAWITEMS, changedOnly->first, changedOnly->last);
        return;
    }
    SendMessageW(m_list, LVM_SETITEMCOUNT, Rows().size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    InvalidateRect(m_list, nullptr, FALSE);
}

void Win32ListView::SetSortMark(int column, bool ascending) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

std::vector<int> Win32ListView::SelectedRows() const {
    std::vector<int> rows;
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >=
           0) {
        rows.push_back(row);
    }
    return rows;
}

void Win32ListView::SelectRows(const std::vector<int>& rows) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED;
    for (int row : rows) {
        SendMessageW(m_list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
}

void Win32ListView::SelectAll() {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
}

std::intptr_t Win32ListView::OnNotify(const NMHDR& header) {
    switch (header.code) {
        case LVN_GETDISPINFOW:
            FillTextRequest(const_cast<NMHDR*>(&header));
            return 0;
        case NM_CUSTOMDRAW:
            return OnCustomDraw(const_cast<NMHDR*>(&header));
        case LVN_COLUMNCLICK:
            ColumnClicked(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            return 0;
        case LVN_KEYDOWN:
            OnKey(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey);
            return 0;
    }
    return 0;
}

void Win32ListView::FillTextRequest(void* request) const {
    LVITEMW& item = static_cast<NMLVDISPINFOW*>(request)->item;
    if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= Rows().size()) return;
    if (Columns().at(item.iSubItem).lamp) return;
    const std::wstring text = WideText(Rows()[item.iItem].cells.at(item.iSubItem).text);
    const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::copy_n(text.begin(), length, item.pszText);
    item.pszText[length] = L'\0';
}

// Greyed rows take grey text; a lamp cell is painted here, the rest as the system paints it.
std::intptr_t Win32ListView::OnCustomDraw(void* notification) {
    auto* draw = static_cast<NMLVCUSTOMDRAW*>(notification);
    const int row = static_cast<int>(draw->nmcd.dwItemSpec);
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            if (row < 0 || static_cast<size_t>(row) >= Rows().size()) return CDRF_DODEFAULT;
            if (Columns().at(draw->iSubItem).lamp) {
                PaintLamp(draw, row, draw->iSubItem);
                return CDRF_SKIPDEFAULT;
            }
            draw->clrText = Rows()[row].greyed ? kGreyedText : GetSysColor(COLOR_WINDOWTEXT);
            return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

void Win32ListView::PaintLamp(void* notification, int row, int column) const {
    auto* draw = static_cast<NMLVCUSTOMDRAW*>(notification);
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    SendMessageW(m_list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    const bool selected =
        SendMessageW(m_list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
    const bool focused = GetFocus() == m_list;
    FillRect(
        draw->nmcd.hdc, &cell,
        GetSysColorBrush(selected ? (focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE) : COLOR_WINDOW));
    const int height = cell.bottom - cell.top - 4;
    const int width = std::min(static_cast<int>(cell.right - cell.left - 4), height * 2);
    RECT lamp{0, 0, width, height};
    OffsetRect(&lamp, (cell.left + cell.right - width) / 2, (cell.top + cell.bottom - height) / 2);
    // The device context's own brush: nothing is made per paint.
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    SetDCBrushColor(draw->nmcd.hdc, Rows()[row].cells[column].colour);
    FillRect(draw->nmcd.hdc, &lamp, brush);
    SetDCBrushColor(draw->nmcd.hdc, kLampEdge);
    FrameRect(draw->nmcd.hdc, &lamp, brush);
}

void Win32ListView::OnKey(unsigned short key) {
    if (GetKeyState(VK_CONTROL) >= 0) return;
    if (key == 'A') SelectAll();
    if (key == 'C') CopySelection();
}
