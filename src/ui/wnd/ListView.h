#pragma once

#include "ui/wnd/Gdi.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct WndHandle;

struct ListColumn {
    std::string title;   // CP932
    int width = 0;       // dialog units
    bool lamp = false;   // its cells show as lamps of their colour; their texts are only copied
    bool right = false;  // text aligned right, as numbers are
};

struct ListCell {
    std::string text;      // CP932
    ColourRef colour = 0;  // a lamp's

    bool operator==(const ListCell&) const = default;
};

struct ListRow {
    std::string key;  // when the rows change, the selection stays with the row of its key
    std::vector<ListCell> cells;
    bool greyed = false;

    bool operator==(const ListRow&) const = default;
};

// Rows first to last, both included.
struct RowRange {
    int first;
    int last;
};

// A list control's rows: cells under clickable column titles, selected as the system selects
// rows, Ctrl+A selecting all and Ctrl+C copying the selected ones. The rows are handed over
// whole; a back end shows them without copying them again, so that a long list changing at
// the screen's pace costs only the rows in view. Each back end implements the showing; UI
// thread only.
class ListView {
public:
    // The list of a control the template made a ListView; nullptr for any other control.
    static ListView* Of(WndHandle* control);
    virtual ~ListView() = default;

    void SetColumns(std::vector<ListColumn> columns);
    void SetColumnTitle(int column, const std::string& title);
    void SetRows(std::vector<ListRow> rows);
    const std::vector<ListColumn>& Columns() const { return m_columns; }
    const std::vector<ListRow>& Rows() const { return m_rows; }

    // Shows which column the rows are sorted by.
    virtual void SetSortMark(int column, bool ascending) = 0;
    // In the order shown.
    virtual std::vector<int> SelectedRows() const = 0;
    virtual void SelectAll() = 0;
    // The selected rows as a spreadsheet pastes them: tab-separated, one line each under a line
    // of the column titles.
    std::string SelectionText() const;
    void CopySelection() const;
    void OnColumnClick(std::function<void(int column)> handler) { m_onColumnClick = handler; }

protected:
    virtual WndHandle* Handle() const = 0;
    // The columns, or the rows, change within change().
    virtual void ShowColumns(const std::function<void()>& change) = 0;
    // The rows change within change(): when the same keys stay in the same order, only those of
    // the range may show anew; else all.
    virtual void ShowRows(std::optional<RowRange> changedOnly,
                          const std::function<void()>& change) = 0;
    virtual void ShowColumnTitle(int column) = 0;
    virtual void SelectRows(const std::vector<int>& rows) = 0;
    void ColumnClicked(int column) const;

private:
    std::vector<ListColumn> m_columns;
    std::vector<ListRow> m_rows;
    std::function<void(int)> m_onColumnClick;
};
