#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netpacket/packet.h>

#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <vector>

#include "platform/InterfaceTables.h"
#include "ui/AdapterTable.h"

namespace {

struct KernelLink {
    unsigned flags = 0;
    bool hasHardwareAddress = false;
};

struct KernelAddress {
    std::string device;
    uint32_t addr = 0;  // network byte order
    uint32_t mask = 0;
};

// getifaddrs' account of the same kernel tables, as an independent second opinion.
struct KernelView {
    std::map<std::string, KernelLink> links;
    std::vector<KernelAddress> addresses;  // in the system's order
};

uint32_t InetOf(const sockaddr* address) {
    return address ? reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr : 0;
}

KernelView ReadKernelView() {
    KernelView view;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        ADD_FAILURE() << "getifaddrs failed";
        return view;
    }
    for (const ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
        if (it->ifa_addr == nullptr) continue;
        const std::string name = it->ifa_name;
        if (it->ifa_addr->sa_family == AF_PACKET) {
            const auto* link = reinterpret_cast<const sockaddr_ll*>(it->ifa_addr);
            const auto* end = link->sll_addr + std::min<size_t>(link->sll_halen, 8);
            const bool nonZero = std::any_of(link->sll_addr, end, [](auto b) { return b != 0; });
            view.links[name] = {it->ifa_flags, nonZero && !(it->ifa_flags & IFF_LOOPBACK)};
        } else if (it->ifa_addr->sa_family == AF_INET) {
            // An alias is labelled "device:alias"; device names never hold ':'.
            view.addresses.push_back(
                {name.substr(0, name.find(':')), InetOf(it->ifa_addr), InetOf(it->ifa_netmask)});
        }
    }
    freeifaddrs(list);
    return view;
}

bool UpAndRunning(const KernelLink& link) {
    return (link.flags & IFF_UP) && (link.flags & IFF_RUNNING);
}

}  // namespace

// Address rows come in the kernel's order, with the kernel's interface index and the mask of
// the address's prefix.
TEST(SystemInterfaceTables, AddressTableMatchesGetifaddrs) {
    const auto rows = MakeSystemInterfaceTableSource()->GetIpAddrTable();
    const KernelView view = ReadKernelView();
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), view.addresses.size());
    for (size_t i = 0; i < rows->size(); ++i) {
        const KernelAddress& expected = view.addresses[i];
        SCOPED_TRACE(expected.device);
        EXPECT_EQ((*rows)[i].dwAddr, expected.addr);
        EXPECT_EQ((*rows)[i].dwMask, expected.mask);
        EXPECT_EQ((*rows)[i].dwIndex, if_nametoindex(expected.device.c_str()));
    }
}

// Every interface is listed by its kernel index and name; it counts as connected exactly when
// it is up and running, and has a physical address exactly when it has a non-zero one. Indexes
// no interface has are refused.
TEST(SystemInterfaceTables, InterfaceRowsMatchTheKernelsLinks) {
    const auto source = MakeSystemInterfaceTableSource();
    const auto indexes = source->GetIfIndexes();
    const KernelView view = ReadKernelView();
    ASSERT_TRUE(indexes.has_value());
    EXPECT_EQ(indexes->size(), view.links.size());
    for (const uint32_t index : *indexes) {
        SCOPED_TRACE(index);
        const auto row = source->GetIfEntry(index);
        ASSERT_TRUE(row.has_value());
        char name[IF_NAMESIZE] = {};
        ASSERT_NE(if_indextoname(index, name), nullptr);
        EXPECT_EQ(row->bDescr, name);
        const KernelLink link = view.links.at(name);
        const bool connected = row->dwOperStatus == kIfOperStatusOperational ||
                               row->dwOperStatus == kIfOperStatusConnected;
        EXPECT_EQ(connected, UpAndRunning(link));
        EXPECT_EQ(row->dwPhysAddrLen != 0, link.hasHardwareAddress);
    }
    const uint32_t unused = *std::max_element(indexes->begin(), indexes->end()) + 1;
    for (const uint32_t index : {0u, unused, uint32_t{INT_MAX} + 1}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(source->GetIfEntry(index).has_value());
    }
}

// The window shows entry 0: it must be this machine's first working, non-loopback address.
TEST(SystemInterfaceTables, FirstAdapterIsThisMachinesOwnAddress) {
    const KernelView view = ReadKernelView();
    const uint32_t loopbackHost = htonl(INADDR_LOOPBACK);
    const auto expected =
        std::find_if(view.addresses.begin(), view.addresses.end(), [&](const KernelAddress& a) {
            const auto link = view.links.find(a.device);
            return a.addr != loopbackHost && link != view.links.end() &&
                   UpAndRunning(link->second) && link->second.hasHardwareAddress;
        });
    if (expected == view.addresses.end())
        GTEST_SKIP() << "this machine has no IPv4 address on an up and running interface with a "
                        "hardware address, so there is no own address to compare with";

    AdapterEntry table[kMaxAdapters];
    const int count = EnumerateAdapterTable(*MakeSystemInterfaceTableSource(), table);
    ASSERT_GE(count, 1);
    EXPECT_EQ(table[0].dwAddr, expected->addr);
    EXPECT_EQ(table[0].dwMask, expected->mask);
    EXPECT_STREQ(table[0].szDescr, expected->device.c_str());
}
