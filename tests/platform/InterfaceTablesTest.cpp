#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netpacket/packet.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <set>
#include <string>

#include "platform/InterfaceTables.h"
#include "ui/AdapterTable.h"

namespace {

uint32_t InetOf(const sockaddr* address) {
    return address ? reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr : 0;
}

// An address is labelled "device:alias".
std::string DeviceOf(const ifaddrs& entry) {
    const std::string label = entry.ifa_name;
    return label.substr(0, label.find(':'));
}

}  // namespace

// The kernel's tables against getifaddrs' own account of the links: each link is listed and read
// by its index, counts as connected exactly when it is up and running, and has a hardware
// address exactly when it has a non-zero one; an index no link has is refused. The window's
// entry 0 is this machine's first address, other than 127.0.0.1, on such a link.
TEST(SystemInterfaceTables, AgreeWithGetifaddrs) {
    const InterfaceTableSource& tables = CurrentInterfaceTables();
    const auto indexes = tables.GetIfIndexes();
    ASSERT_TRUE(indexes.has_value());
    ifaddrs* first = nullptr;
    ASSERT_EQ(getifaddrs(&first), 0);
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> list(first, &freeifaddrs);

    std::set<std::string> usable;
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
        if (upAndRunning && hardware) usable.insert(it->ifa_name);
    }
    const uint32_t unused = *std::ranges::max_element(*indexes) + 1;
    for (const uint32_t index : {0u, unused, uint32_t{INT_MAX} + 1}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(tables.GetIfEntry(index).has_value());
    }

    const ifaddrs* expected = first;
    while (expected != nullptr &&
           (expected->ifa_addr == nullptr || expected->ifa_addr->sa_family != AF_INET ||
            InetOf(expected->ifa_addr) == htonl(INADDR_LOOPBACK) ||
            !usable.contains(DeviceOf(*expected))))
        expected = expected->ifa_next;
    if (expected == nullptr)
        GTEST_SKIP() << "this machine has no IPv4 address on an up and running interface with a "
                        "hardware address, so there is no own address to compare with";
    AdapterEntry table[kMaxAdapters];
    ASSERT_GE(EnumerateAdapterTable(tables, table), 1);
    EXPECT_EQ(table[0].dwAddr, InetOf(expected->ifa_addr));
    EXPECT_EQ(table[0].dwMask, InetOf(expected->ifa_netmask));
    EXPECT_EQ(table[0].szDescr, DeviceOf(*expected));
}
