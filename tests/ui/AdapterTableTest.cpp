#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <map>
#include <string>
#include <vector>

#include "ui/AdapterTable.h"

namespace {

class FakeInterfaceTables : public InterfaceTableSource {
public:
    std::optional<std::vector<uint32_t>> indexes = std::vector<uint32_t>{};
    std::map<uint32_t, InterfaceRow> rows;  // GetIfEntry fails for any other index
    std::optional<std::vector<IpAddrRow>> addresses = std::vector<IpAddrRow>{};

    std::optional<std::vector<uint32_t>> GetIfIndexes() const override { return indexes; }
    std::optional<InterfaceRow> GetIfEntry(uint32_t index) const override {
        const auto found = rows.find(index);
        if (found == rows.end()) return std::nullopt;
        return found->second;
    }
    std::optional<std::vector<IpAddrRow>> GetIpAddrTable() const override { return addresses; }

    // A wired adapter that passes every test, listed in the interface table.
    InterfaceRow& AddInterface(uint32_t index, std::string descr) {
        indexes->push_back(index);
        return rows[index] = {index, kIfOperStatusOperational, 6, 100'000'000, std::move(descr)};
    }
    void AddAddress(uint32_t index, uint32_t addr, uint32_t mask = 0) {
        addresses->push_back({addr, index, mask});
    }
};

// Network byte order, whatever the host's.
uint32_t Ip(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    return std::bit_cast<uint32_t>(std::array<uint8_t, 4>{a, b, c, d});
}

struct Table {
    AdapterEntry entries[kMaxAdapters];
    int count = 0;
};

Table Enumerate(const InterfaceTableSource& source) {
    Table table{};
    table.count = EnumerateAdapterTable(source, table.entries);
    return table;
}

std::vector<uint32_t> Addresses(const Table& table) {
    std::vector<uint32_t> addresses;
    for (int i = 0; i < table.count; ++i) addresses.push_back(table.entries[i].dwAddr);
    return addresses;
}

}  // namespace

// Listed only when connected or operational, with a hardware address, not at exactly 2^30 b/s,
// with a description, and readable through GetIfEntry.
TEST(AdapterTable, ListsOnlyQualifyingInterfaces) {
    struct Case {
        const char* name;
        uint32_t operStatus;
        uint32_t physAddrLen;
        uint32_t speed;
        const char* descr;
        bool listed;
    };
    const Case cases[] = {
        {"operational", kIfOperStatusOperational, 6, 1'000'000'000, "eth0", true},
        {"connected", kIfOperStatusConnected, 6, 1'000'000'000, "eth0", true},
        {"disconnected", kIfOperStatusDisconnected, 6, 1'000'000'000, "eth0", false},
        {"connecting", kIfOperStatusConnecting, 6, 1'000'000'000, "eth0", false},
        {"no hardware address", kIfOperStatusOperational, 0, 1'000'000'000, "lo", false},
        {"speed exactly 2^30", kIfOperStatusOperational, 6, 0x40000000, "eth0", false},
        {"speed 2^30 + 1", kIfOperStatusOperational, 6, 0x40000001, "eth0", true},
        {"speed unknown", kIfOperStatusOperational, 6, 0, "eth0", true},
        {"empty description", kIfOperStatusOperational, 6, 1'000'000'000, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeInterfaceTables source;
        source.AddInterface(1, c.descr) = {1, c.operStatus, c.physAddrLen, c.speed, c.descr};
        source.AddAddress(1, Ip(192, 168, 1, 10));
        const Table table = Enumerate(source);
        ASSERT_EQ(table.count, c.listed ? 1 : 0);
        if (!c.listed) continue;
        EXPECT_STREQ(table.entries[0].szDescr, c.descr);
    }
}

// 127.0.0.1 alone is skipped; other loopback-range addresses and its byte-reversed twin are not.
TEST(AdapterTable, SkipsOnly127001) {
    FakeInterfaceTables source;
    source.AddInterface(3, "eth0");
    for (const uint32_t addr : {Ip(127, 0, 0, 1), Ip(127, 0, 0, 2), Ip(1, 0, 0, 127),
                                Ip(127, 1, 0, 1), Ip(127, 0, 0, 1), Ip(10, 0, 0, 1)})
        source.AddAddress(3, addr);
    EXPECT_EQ(Addresses(Enumerate(source)),
              (std::vector{Ip(127, 0, 0, 2), Ip(1, 0, 0, 127), Ip(127, 1, 0, 1), Ip(10, 0, 0, 1)}));
}

// Interfaces are reached through the indexes the interface table lists, not 1..row count, so
// sparse indexes above the count are found. Entries follow the address table's order, unsorted;
// an adapter with two addresses gives two entries, each with its own mask.
TEST(AdapterTable, ListsAddressesInTableOrderByListedIndexes) {
    FakeInterfaceTables source;
    source.AddInterface(1, "lo").dwPhysAddrLen = 0;
    source.AddInterface(17, "wlan0");
    source.AddInterface(4, "eth0");
    source.rows[2] = {2, kIfOperStatusOperational, 6, 0, "gone"};  // readable but not listed
    source.AddAddress(1, Ip(127, 0, 0, 1));
    source.AddAddress(2, Ip(10, 9, 9, 9));
    source.AddAddress(17, Ip(192, 168, 0, 20), Ip(255, 255, 255, 0));
    source.AddAddress(4, Ip(10, 0, 0, 9), Ip(255, 0, 0, 0));
    source.AddAddress(17, Ip(172, 16, 1, 1), Ip(255, 255, 0, 0));
    const Table table = Enumerate(source);
    const AdapterEntry expected[] = {
        {"wlan0", Ip(192, 168, 0, 20), Ip(255, 255, 255, 0)},
        {"eth0", Ip(10, 0, 0, 9), Ip(255, 0, 0, 0)},
        {"wlan0", Ip(172, 16, 1, 1), Ip(255, 255, 0, 0)},
    };
    ASSERT_EQ(table.count, 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(table.entries[i].szDescr, expected[i].szDescr);
        EXPECT_EQ(table.entries[i].dwAddr, expected[i].dwAddr);
        EXPECT_EQ(table.entries[i].dwMask, expected[i].dwMask);
    }
}

// A table that cannot be read leaves the adapter table empty; one unreadable interface only
// leaves out its own addresses.
TEST(AdapterTable, ReadFailuresOnlyLeaveEntriesOut) {
    FakeInterfaceTables source;
    source.AddInterface(2, "eth0");
    source.AddInterface(3, "eth1");
    source.rows.erase(2);
    source.AddAddress(2, Ip(10, 0, 0, 2));
    source.AddAddress(3, Ip(10, 0, 0, 3));
    EXPECT_EQ(Enumerate(source).count, 1);

    FakeInterfaceTables noInterfaces = source;
    noInterfaces.indexes.reset();
    EXPECT_EQ(Enumerate(noInterfaces).count, 0);

    FakeInterfaceTables noAddresses = source;
    noAddresses.addresses.reset();
    EXPECT_EQ(Enumerate(noAddresses).count, 0);
}

// The description is a C string of at most 255 bytes.
TEST(AdapterTable, ClipsDescriptionsToTheField) {
    FakeInterfaceTables source;
    source.AddInterface(1, std::string(300, 'x'));
    source.AddInterface(2, std::string("eth\0tail", 8));
    source.AddInterface(3, std::string("\0eth", 4));
    for (uint32_t index = 1; index <= 3; ++index) source.AddAddress(index, Ip(10, 0, 0, index));
    const Table table = Enumerate(source);
    ASSERT_EQ(table.count, 2);
    EXPECT_EQ(std::string(table.entries[0].szDescr), std::string(255, 'x'));
    EXPECT_STREQ(table.entries[1].szDescr, "eth");
}

// At most 256 qualifying interfaces, taken in interface-table order, and at most 256 entries.
TEST(AdapterTable, CapsBothListsAt256) {
    FakeInterfaceTables manyInterfaces;
    for (uint32_t index = 1; index <= 300; ++index) manyInterfaces.AddInterface(index, "eth");
    for (uint32_t index = 300; index >= 1; --index)
        manyInterfaces.AddAddress(index, Ip(10, 0, index / 256, index % 256));
    const Table first = Enumerate(manyInterfaces);
    ASSERT_EQ(first.count, 256);
    EXPECT_EQ(first.entries[0].dwAddr, Ip(10, 0, 1, 0));  // interface 256
    EXPECT_EQ(first.entries[255].dwAddr, Ip(10, 0, 0, 1));

    FakeInterfaceTables manyAddresses;
    manyAddresses.AddInterface(9, "eth0");
    for (uint32_t n = 0; n < 300; ++n) manyAddresses.AddAddress(9, Ip(10, 1, n / 256, n % 256));
    const Table second = Enumerate(manyAddresses);
    ASSERT_EQ(second.count, 256);
    EXPECT_EQ(second.entries[0].dwAddr, Ip(10, 1, 0, 0));
    EXPECT_EQ(second.entries[255].dwAddr, Ip(10, 1, 0, 255));
}
