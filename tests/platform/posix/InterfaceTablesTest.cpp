#include "platform/InterfaceTables.h"

#include <gtest/gtest.h>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netpacket/packet.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

// The kernel's tables against getifaddrs' own account of the links: each link is listed and read
// by its index, counts as connected exactly when it is up and running, and has a hardware
// address exactly when it has a non-zero one.
TEST(SystemInterfaceTables, AgreeWithGetifaddrs) {
    const InterfaceTableSource& tables = CurrentInterfaceTables();
    const auto indexes = tables.GetIfIndexes();
    ASSERT_TRUE(indexes.has_value());
    ifaddrs* first = nullptr;
    ASSERT_EQ(getifaddrs(&first), 0);
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> list(first, &freeifaddrs);

    for (const ifaddrs* it = first; it != nullptr; it = it->ifa_next) {
        if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_PACKET) continue;
        SCOPED_TRACE(it->ifa_name);
        const auto* link = reinterpret_cast<const sockaddr_ll*>(it->ifa_addr);
        const auto row = tables.GetIfEntry(link->sll_ifindex);
        ASSERT_TRUE(row.has_value());
        EXPECT_EQ(row->bDescr, it->ifa_name);
        EXPECT_EQ(std::ranges::count(*indexes, row->dwIndex), 1);
        const bool upAndRunning = (it->ifa_flags & IFF_UP) && (it->ifa_flags & IFF_RUNNING);
        const bool connected = row->dwOperStatus == kIfOperStatusOperational ||
                               row->dwOperStatus == kIfOperStatusConnected;
        EXPECT_EQ(connected, upAndRunning);
        const auto* end = link->sll_addr + std::min<size_t>(link->sll_halen, 8);
        const bool hardware = !(it->ifa_flags & IFF_LOOPBACK) &&
                              std::any_of(link->sll_addr, end, [](auto b) { return b != 0; });
        EXPECT_EQ(row->dwPhysAddrLen, hardware ? link->sll_halen : 0u);
    }
}
