#include "ui/AdapterTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr size_t kMaxDescrBytes = sizeof(AdapterEntry::szDescr) - 1;

// Interfaces reporting exactly this speed have always been left out; keeping the rule keeps the
// address the window shows the one operators know.
constexpr uint32_t kExcludedSpeed = 0x40000000;

// Only this one address, not the rest of 127.0.0.0/8.
constexpr std::array<uint8_t, 4> kLoopbackHost{127, 0, 0, 1};

struct QualifyingInterface {
    uint32_t index;
    std::string descr;
};

bool Qualifies(const InterfaceRow& row) {
    const bool connected =
        row.dwOperStatus == kIfOperStatusConnected || row.dwOperStatus == kIfOperStatusOperational;
    return connected && row.dwPhysAddrLen != 0 && row.dwSpeed != kExcludedSpeed;
}

std::vector<QualifyingInterface> ListQualifyingInterfaces(const InterfaceTableSource& source) {
    std::vector<QualifyingInterface> list;
    const auto indexes = source.GetIfIndexes();
    if (!indexes) return list;
    for (const uint32_t index : *indexes) {
        if (list.size() == kMaxAdapters) break;
        const auto row = source.GetIfEntry(index);
        // The description is a C string: it ends at the first NUL.
        if (row && Qualifies(*row)) list.push_back({index, row->bDescr.c_str()});
    }
    return list;
}

// The first interface listed with the index wins; empty when none is.
std::string_view DescriptionOf(const std::vector<QualifyingInterface>& list, uint32_t index) {
    const auto found = std::ranges::find(list, index, &QualifyingInterface::index);
    return found == list.end() ? std::string_view() : std::string_view(found->descr);
}

}  // namespace

int EnumerateAdapterTable(const InterfaceTableSource& source, AdapterEntry (&table)[kMaxAdapters]) {
    const std::vector<QualifyingInterface> interfaces = ListQualifyingInterfaces(source);
    const auto addresses = source.GetIpAddrTable();
    if (!addresses) return 0;
    int count = 0;
    for (const IpAddrRow& row : *addresses) {
        if (count == kMaxAdapters) break;
        if (std::bit_cast<std::array<uint8_t, 4>>(row.dwAddr) == kLoopbackHost) continue;
        const std::string_view descr = DescriptionOf(interfaces, row.dwIndex);
        if (descr.empty()) continue;
        AdapterEntry& entry = table[count++];
        entry.szDescr[descr.copy(entry.szDescr, kMaxDescrBytes)] = '\0';
        entry.dwAddr = row.dwAddr;
        entry.dwMask = row.dwMask;
    }
    return count;
}
