#pragma once

#include "ui/wnd/CWnd.h"
#include "ui/wnd/ListView.h"

#include <functional>
#include <string>
#include <vector>

// A list control of rows under column titles (see ListView.h). Every operation may be called
// from any thread, as CWnd's are.
class CListCtrl : public CWnd {
public:
    void SetColumns(std::vector<ListColumn> columns);
    void SetColumnTitle(int column, const std::string& title);
    void SetRows(std::vector<ListRow> rows);
    void SetSortMark(int column, bool ascending);
    // The handler runs on the UI thread.
    void OnColumnClick(std::function<void(int column)> handler);

private:
    template <class Work>
    void WithList(Work work);
};
