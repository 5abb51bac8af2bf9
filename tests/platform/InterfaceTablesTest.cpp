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
// address exactly when it has a non-zero one; an index no link has is refused. Each IPv4
// address is listed with its link's index and its mask.
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
    const uint32_t unused = *std::ranges::max_element(*indexes) + 1;
    for (const uint32_t index : {0u, unused, uint32_t{INT_MAX} + 1}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(tables.GetIfEntry(index).has_value());
    }
    const auto addresses = tables.GetIpAddrTable();
    ASSERT_TRUE(addresses.has_value());
    const auto inet = [](const sockaddr* a) {
        return a ? reinterpret_cast<const sockaddr_in*>(a)->sin_addr.s_addr : 0;
    };
    for (const ifaddrs* it = first; it != nullptr; it = it->ifa_next) {
        if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) continue;
        const std::string label = it->ifa_name;  // "device:alias"
        const uint32_t index = if_nametoindex(label.substr(0, label.find(':')).c_str());
        EXPECT_TRUE(std::ranges::any_of(*addresses, [&](const IpAddrRow& row) {
            return row.dwAddr == inet(it->ifa_addr) && row.dwIndex == index &&
                   row.dwMask == inet(it->ifa_netmask);
        })) << label;
    }
}
