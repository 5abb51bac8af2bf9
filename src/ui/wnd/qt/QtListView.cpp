#include "ui/wnd/qt/QtListView.h"

#include "ui/wnd/ListView.h"
#include "ui/wnd/qt/DialogUnits.h"
#include "ui/wnd/qt/QtHandles.h"
#include "ui/wnd/qt/QtText.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

constexpr QColor kGreyedText(0x80, 0x80, 0x80);
constexpr QColor kLampEdge(0x80, 0x80, 0x80);

QColor ToQColor(ColourRef colour) {
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

// Reads the rows where the list keeps them: a change of the rows copies nothing here.
class RowsModel : public QAbstractTableModel {
public:
    explicit RowsModel(const ListView& list, QObject* parent)
        : QAbstractTableModel(parent), m_list(list) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_list.Rows().size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_list.Columns().size());
    }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return QtText(m_list.Columns().at(section).title);
    }

    void Reset(const std::function<void()>& change) {
        beginResetModel();
        change();
        endResetModel();
    }
    void CellsChanged(RowRange rows) {
        emit dataChanged(index(rows.first, 0), index(rows.last, columnCount({}) - 1));
    }
    void TitleChanged(int column) { emit headerDataChanged(Qt::Horizontal, column, column); }

private:
    const ListView& m_list;
};

QVariant RowsModel::data(const QModelIndex& index, int role) const {
    const ListColumn& column = m_list.Columns().at(index.column());
    const ListRow& row = m_list.Rows().at(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return column.lamp ? QVariant() : QtText(row.cells.at(index.column()).text);
        case Qt::ForegroundRole:
            return row.greyed ? QVariant(kGreyedText) : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (column.right ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

// A lamp cell: its colour in a framed box, as a lamp of the main window shows.
class LampDelegate : public QStyledItemDelegate {
public:
    LampDelegate(const ListView& list, QObject* parent)
        : QStyledItemDelegate(parent), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!m_list.Columns().at(index.column()).lamp) return;
        const int height = option.rect.height() - 4;
        QRect lamp(0, 0, std::min(option.rect.width() - 4, height * 2), height);
        lamp.moveCenter(option.rect.center());
        painter->fillRect(lamp,
                          ToQColor(m_list.Rows().at(index.row()).cells.at(index.column()).colour));
        painter->setPen(kLampEdge);
        painter->drawRect(lamp.adjusted(0, 0, -1, -1));
    }

private:
    const ListView& m_list;
};

class QtListView : public QTableView, public ListView {
public:
    QtListView(QWidget* parent, const DialogUnits& units)
        : QTableView(parent), m_units(units), m_model(new RowsModel(*this, this)) {
        setModel(m_model);
        setItemDelegate(new LampDelegate(*this, this));
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setShowGrid(false);
        setWordWrap(false);
        setCornerButtonEnabled(false);
        verticalHeader()->hide();
        // One height for all rows: Qt then never measures the rows out of view.
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
        horizontalHeader()->setSectionsClickable(true);
        horizontalHeader()->setHighlightSections(false);
        horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        connect(horizontalHeader(), &QHeaderView::sectionClicked,
                [this](int column) { ColumnClicked(column); });
    }

    void SetSortMark(int column, bool ascending) override {
        horizontalHeader()->setSortIndicatorShown(true);
        horizontalHeader()->setSortIndicator(column,
                                             ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    std::vector<int> SelectedRows() const override {
        std::vector<int> rows;
        for (const QModelIndex& index : selectionModel()->selectedRows())
            rows.push_back(index.row());
        std::ranges::sort(rows);
        return rows;
    }
    void SelectAll() override { selectAll(); }

protected:
    WndHandle* Handle() const override { return ToHandle(const_cast<QtListView*>(this)); }
    void ShowColumns(const std::function<void()>& change) override {
        m_model->Reset(change);
        for (size_t i = 0; i < Columns().size(); ++i) {
            setColumnWidth(static_cast<int>(i), m_units.Width(Columns()[i].width));
        }
    }
    void ShowRows(std::optional<RowRange> changedOnly,
                  const std::function<void()>& change) override {
        if (!changedOnly) {
            m_model->Reset(change);
            return;
        }
        change();
        m_model->CellsChanged(*changedOnly);
    }
    void ShowColumnTitle(int column) override { m_model->TitleChanged(column); }
    void SelectRows(const std::vector<int>& rows) override {
        QItemSelection selection;
        for (int row : rows) selection.select(m_model->index(row, 0), m_model->index(row, 0));
        selectionModel()->select(selection,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            CopySelection();
            return;
        }
        QTableView::keyPressEvent(event);
    }

private:
    const DialogUnits m_units;
    RowsModel* m_model;
};

}  // namespace

QWidget* MakeListView(QWidget* parent, const DialogUnits& units) {
    return new QtListView(parent, units);
}

ListView* ListView::Of(WndHandle* control) {
    return dynamic_cast<QtListView*>(QtWidget(control));
}
