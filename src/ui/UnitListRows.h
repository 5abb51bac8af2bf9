#pragma once

#include "server/DiChannels.h"
#include "ui/wnd/Gdi.h"
#include "ui/wnd/ListView.h"
#include "units/UnitRow.h"

#include <array>
#include <string>
#include <vector>

// The unit list's columns, in their order.
enum UnitListColumn : int {
    kColumnAddress,
    kColumnTime,
    kColumnDi1,  // then DI2 to DI5
    kColumnCount = kColumnDi1 + kDiChannels,
    kColumnState,
    kUnitListColumns
};

// The colours a lamp of the list takes, the main window's own.
struct LampColours {
    ColourRef on;
    ColourRef off;
    ColourRef stale;  // a unit not heard from now: silent, or known from before this start
};

// Titled with the operator's signal names, DI1 first.
std::vector<ListColumn> UnitListColumns(const std::array<std::string, kDiChannels>& names);
// What a unit's row shows, and copies: the DI columns copy as 1 and 0, the state as shown.
ListRow UnitListRow(const UnitRow& unit, const LampColours& colours);
// By one column's values (addresses as numbers), then by address.
void SortUnitRows(std::vector<UnitRow>& rows, int column, bool ascending);
