#include "platform/Winsock.h"
#include "support/FakeInterfaceTables.h"
#include "ui/AdapterTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The window's adapter table, one "description address/mask" per entry.
std::vector<std::string> Listed(const InterfaceTableSource& source) {
    AdapterEntry entries[kMaxAdapters];
    const int count = EnumerateAdapterTable(source, entries);
    std::vector<std::string> listed;
    for (int i = 0; i < count; ++i) {
        listed.push_back(std::string(entries[i].szDescr) + " " +
                         wsock::inet_ntoa(entries[i].dwAddr) + "/" +
                         wsock::inet_ntoa(entries[i].dwMask));
    }
    return listed;
}

// Listed only when connected or operational, with a hardware address, not at exactly 2^30 b/s,
// and with a description: a C string of at most 255 bytes.
TEST(AdapterTable, ListsOnlyQualifyingInterfaces) {
    constexpr uint32_t kOperational = kIfOperStatusOperational;
    struct Case {
        const char* name;
        InterfaceRow row;
        std::string listedAs;  // empty: not listed
    } cases[] = {
        {"operational", {1, kOperational, 6, 1'000'000'000, "eth0"}, "eth0"},
        {"connected", {1, kIfOperStatusConnected, 6, 1'000'000'000, "eth0"}, "eth0"},
        {"disconnected", {1, kIfOperStatusDisconnected, 6, 1'000'000'000, "eth0"}, ""},
        {"no hardware address", {1, kOperational, 0, 1'000'000'000, "lo"}, ""},
        {"speed exactly 2^30", {1, kOperational, 6, 0x40000000, "eth0"}, ""},
        {"speed 2^30 + 1", {1, kOperational, 6, 0x40000001, "eth0"}, "eth0"},
        {"empty description", {1, kOperational, 6, 0, ""}, ""},
        {"300 bytes", {1, kOperational, 6, 0, std::string(300, 'x')}, std::string(255, 'x')},
        {"NUL inside", {1, kOperational, 6, 0, std::string("eth\0tail", 8)}, "eth"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeInterfaceTables source;
        source.AddInterface(1, "") = c.row;
        source.AddAddress(1, Ip(192, 168, 1, 10));
        const std::vector<std::string> listed = Listed(source);
        EXPECT_EQ(listed, c.listedAs.empty() ? std::vector<std::string>{}
                                             : std::vector{c.listedAs + " 192.168.1.10/0.0.0.0"});
    }
}

// Interfaces are reached through the indexes the interface table lists, not 1..row count, so
// sparse indexes above the count are found, and one that cannot be read is passed over. Entries
// follow the address table's order, unsorted, each with its own mask; 127.0.0.1 alone is
// skipped, not the rest of 127.0.0.0/8. A table that cannot be read leaves the adapter table
// empty.
TEST(AdapterTable, ListsAddressesInTableOrderByListedIndexes) {
    FakeInterfaceTables source;
    source.AddInterface(1, "lo").dwPhysAddrLen = 0;
    source.AddInterface(5, "eth1");
    source.rows.erase(5);
    source.AddInterface(17, "wlan0");
    source.AddInterface(4, "eth0");
    source.rows[2] = {2, kIfOperStatusOperational, 6, 0, "gone"};  // readable but not listed
    source.AddAddress(1, Ip(127, 0, 0, 1));
    source.AddAddress(2, Ip(10, 9, 9, 9));
    source.AddAddress(5, Ip(10, 5, 5, 5));
    source.AddAddress(17, Ip(192, 168, 0, 20), Ip(255, 255, 255, 0));
    source.AddAddress(4, Ip(127, 0, 0, 1));
    source.AddAddress(4, Ip(10, 0, 0, 9), Ip(255, 0, 0, 0));
    source.AddAddress(4, Ip(127, 0, 0, 2));
    source.AddAddress(4, Ip(1, 0, 0, 127));
    source.AddAddress(17, Ip(172, 16, 1, 1), Ip(255, 255, 0, 0));
    EXPECT_EQ(Listed(source), (std::vector<std::string>{
                                  "wlan0 192.168.0.20/255.255.255.0",
                                  "eth0 10.0.0.9/255.0.0.0",
                                  "eth0 127.0.0.2/0.0.0.0",
                                  "eth0 1.0.0.127/0.0.0.0",
                                  "wlan0 172.16.1.1/255.255.0.0",
                              }));
    FakeInterfaceTables noInterfaces = source;
    noInterfaces.indexes.reset();
    EXPECT_EQ(Listed(noInterfaces).size(), 0u);
    FakeInterfaceTables noAddresses = source;
    noAddresses.addresses.reset();
    EXPECT_EQ(Listed(noAddresses).size(), 0u);
}

}  // namespace
