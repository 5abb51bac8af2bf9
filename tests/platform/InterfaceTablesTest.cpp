#include "platform/InterfaceTables.h"
#include "support/FakeInterfaceTables.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The system's own tables, the kernel's or IP Helper's: every listed interface reads by its
// index, and 127.0.0.1 belongs to one of them, which has no hardware address.
TEST(SystemInterfaceTables, ListEveryInterfaceAndTheLoopback) {
    const InterfaceTableSource& tables = SystemInterfaceTables();
    const auto indexes = tables.GetIfIndexes();
    const auto addresses = tables.GetIpAddrTable();
    ASSERT_TRUE(indexes && addresses);
    for (uint32_t index : *indexes) {
        EXPECT_EQ(tables.GetIfEntry(index).value_or(InterfaceRow{}).dwIndex, index);
    }
    const auto loopback = std::ranges::find(*addresses, Ip(127, 0, 0, 1), &IpAddrRow::dwAddr);
    ASSERT_NE(loopback, addresses->end());
    EXPECT_EQ(std::ranges::count(*indexes, loopback->dwIndex), 1);
    const std::optional<InterfaceRow> row = tables.GetIfEntry(loopback->dwIndex);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->dwPhysAddrLen, 0u);
}

}  // namespace
