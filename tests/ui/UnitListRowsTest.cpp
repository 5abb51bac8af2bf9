#include "ui/UnitListRows.h"

#include <gtest/gtest.h>

namespace {

using enum UnitStatus;

// Each column sorts by its values as numbers (an address by its four bytes, not as text),
// a tie by address; a second click turns the whole order.
TEST(UnitListRows, SortEachColumnByItsValues) {
    const std::vector<UnitRow> units{{"127.0.0.10", 0x01, 300, 5, kSilent},
                                     {"127.0.0.9", 0x12, 100, 20, kReporting},
                                     {"127.0.1.2", 0x02, 200, 5, kPrevious}};
    const struct {
        int column;
        bool ascending;
        const char* order;
    } cases[] = {
        {kColumnAddress, true, "127.0.0.9 127.0.0.10 127.0.1.2 "},
        {kColumnAddress, false, "127.0.1.2 127.0.0.10 127.0.0.9 "},
        {kColumnTime, true, "127.0.0.9 127.0.1.2 127.0.0.10 "},
        {kColumnDi1, true, "127.0.0.9 127.0.1.2 127.0.0.10 "},
        {kColumnDi1 + 1, false, "127.0.1.2 127.0.0.9 127.0.0.10 "},
        {kColumnDi1 + 4, false, "127.0.0.9 127.0.1.2 127.0.0.10 "},
        {kColumnCount, true, "127.0.0.10 127.0.1.2 127.0.0.9 "},
        {kColumnState, true, "127.0.0.9 127.0.0.10 127.0.1.2 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.order);
        std::vector<UnitRow> rows = units;
        SortUnitRows(rows, c.column, c.ascending);
        std::string order;
        for (const UnitRow& row : rows) order += row.address + " ";
        EXPECT_EQ(order, c.order);
    }
}

}  // namespace
