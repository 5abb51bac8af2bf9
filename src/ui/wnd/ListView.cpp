#include "ui/wnd/ListView.h"

#include "ui/wnd/WindowSystem.h"

#include <algorithm>
#include <unordered_map>

void ListView::SetColumns(std::vector<ListColumn> columns) {
    ShowColumns([&] {
        m_columns = std::move(columns);
        m_rows.clear();
    });
}

void ListView::SetColumnTitle(int column, const std::string& title) {
    if (m_columns.at(column).title == title) return;
    m_columns[column].title = title;
    ShowColumnTitle(column);
}

void ListView::SetRows(std::vector<ListRow> rows) {
    if (std::ranges::equal(rows, m_rows, {}, &ListRow::key, &ListRow::key)) {
        // Only the rows that changed are painted again: a few among a thousand, most often.
        auto first = std::ranges::mismatch(rows, m_rows).in1;
        if (first == rows.end()) return;
        const auto last =
            std::ranges::mismatch(rows.rbegin(), rows.rend(), m_rows.rbegin(), m_rows.rend()).in1;
        const RowRange range{static_cast<int>(first - rows.begin()),
                             static_cast<int>(rows.rend() - last) - 1};
        ShowRows(range, [&] { m_rows = std::move(rows); });
        return;
    }
    std::vector<std::string> selectedKeys;
    for (int row : SelectedRows()) selectedKeys.push_back(m_rows[row].key);
    ShowRows(std::nullopt, [&] { m_rows = std::move(rows); });
    std::unordered_map<std::string_view, int> places;
    for (size_t i = 0; i < m_rows.size(); ++i) places.emplace(m_rows[i].key, static_cast<int>(i));
    std::vector<int> selected;
    for (const std::string& key : selectedKeys) {
        if (auto found = places.find(key); found != places.end()) selected.push_back(found->second);
    }
    SelectRows(selected);
}

std::string ListView::SelectionText() const {
    std::string text;
    auto addLine = [&text](const auto& cells, auto textOf) {
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) text += '\t';
            text += textOf(cells[i]);
        }
        text += '\n';
    };
    addLine(m_columns, [](const ListColumn& column) { return column.title; });
    for (int row : SelectedRows()) {
        addLine(m_rows[row].cells, [](const ListCell& cell) { return cell.text; });
    }
    return text;
}

void ListView::CopySelection() const {
    wnd::SetClipboardText(Handle(), SelectionText());
}

void ListView::ColumnClicked(int column) const {
    if (m_onColumnClick) m_onColumnClick(column);
}
