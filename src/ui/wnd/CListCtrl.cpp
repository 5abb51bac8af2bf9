#include "ui/wnd/CListCtrl.h"

#include "ui/wnd/UiThread.h"

template <class Work>
void CListCtrl::WithList(Work work) {
    UiThread::Call([&] {
        if (ListView* list = ListView::Of(GetSafeHwnd())) work(*list);
    });
}

void CListCtrl::SetColumns(std::vector<ListColumn> columns) {
    WithList([&](ListView& list) { list.SetColumns(std::move(columns)); });
}

void CListCtrl::SetColumnTitle(int column, const std::string& title) {
    WithList([&](ListView& list) { list.SetColumnTitle(column, title); });
}

void CListCtrl::SetRows(std::vector<ListRow> rows) {
    WithList([&](ListView& list) { list.SetRows(std::move(rows)); });
}

void CListCtrl::SetSortMark(int column, bool ascending) {
    WithList([&](ListView& list) { list.SetSortMark(column, ascending); });
}

void CListCtrl::OnColumnClick(std::function<void(int column)> handler) {
    WithList([&](ListView& list) { list.OnColumnClick(std::move(handler)); });
}
