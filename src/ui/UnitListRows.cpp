#include "ui/UnitListRows.h"

#include "Strings.h"
#include "platform/LocalTime.h"
#include "units/UnitFile.h"

#include <algorithm>
#include <tuple>

namespace {

// The date and time as the CSV log writes them, in one column.
constexpr char kTimePattern[] = "%Y/%m/%d %H:%M:%S";
constexpr int kAddressWidth = 70;
constexpr int kTimeWidth = 90;
constexpr int kLampWidth = 32;
constexpr int kCountWidth = 38;
constexpr int kStateWidth = 44;

const char* StateText(UnitStatus status) {
    switch (status) {
        case UnitStatus::kReporting:
            return kTextStateReporting;
        case UnitStatus::kSilent:
            return kTextStateSilent;
        case UnitStatus::kPrevious:
            return kTextStatePrevious;
    }
    return "";
}

std::string TimeText(std::time_t time) {
    const std::tm local = LocalTimeOf(time);
    char text[64];
    const size_t length = std::strftime(text, sizeof text, kTimePattern, &local);
    return std::string(text, length);
}

// What a column sorts by, as a number.
uint64_t SortValue(const UnitRow& row, int column) {
    if (column >= kColumnDi1 && column < kColumnDi1 + kDiChannels) {
        return (row.state >> (column - kColumnDi1)) & 1;
    }
    switch (column) {
        case kColumnTime:
            return static_cast<uint64_t>(row.time);
        case kColumnCount:
            return row.count;
        case kColumnState:
            return static_cast<uint64_t>(row.status);
    }
    return 0;
}

}  // namespace

std::vector<ListColumn> UnitListColumns(const std::array<std::string, kDiChannels>& names) {
    std::vector<ListColumn> columns{{kTextColumnAddress, kAddressWidth},
                                    {kTextColumnTime, kTimeWidth}};
    for (const std::string& name : names) columns.push_back({name, kLampWidth, true});
    columns.push_back({kTextColumnCount, kCountWidth, false, true});
    columns.push_back({kTextColumnState, kStateWidth});
    return columns;
}

ListRow UnitListRow(const UnitRow& unit, const LampColours& colours) {
    const bool live = unit.status == UnitStatus::kReporting;
    ListRow row{unit.address, {{unit.address}, {TimeText(unit.time)}}, !live};
    for (int i = 0; i < kDiChannels; ++i) {
        const bool on = (unit.state >> i) & 1;
        row.cells.push_back({on ? "1" : "0", !live ? colours.stale
                                             : on  ? colours.on
                                                   : colours.off});
    }
    row.cells.push_back({std::to_string(unit.count)});
    row.cells.push_back({StateText(unit.status)});
    return row;
}

void SortUnitRows(std::vector<UnitRow>& rows, int column, bool ascending) {
    // Each key made once: a thousand rows are sorted at the screen's pace.
    using Key = std::tuple<uint64_t, uint32_t, size_t>;
    std::vector<Key> keys;
    keys.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        keys.emplace_back(SortValue(rows[i], column), ParseIpv4(rows[i].address).value_or(0), i);
    }
    std::ranges::sort(keys, [ascending](const Key& a, const Key& b) {
        return ascending ? a < b
                         : std::tie(std::get<0>(b), std::get<1>(b)) <
                               std::tie(std::get<0>(a), std::get<1>(a));
    });
    std::vector<UnitRow> sorted;
    sorted.reserve(rows.size());
    for (const Key& key : keys) sorted.push_back(std::move(rows[std::get<2>(key)]));
    rows = std::move(sorted);
}
