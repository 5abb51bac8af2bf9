#include "platform/InterfaceTables.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string_view>

namespace {

constexpr uint64_t kBitsPerMegabit = 1'000'000;

// nullopt when the interface is gone, or the kernel does not know the value (it refuses to read
// the speed of a link that is down).
std::optional<std::string> ReadAttribute(const std::string& device, const char* attribute) {
    std::ifstream file("/sys/class/net/" + device + "/" + attribute);
    std::string line;
    if (!std::getline(file, line)) return std::nullopt;
    return line;
}

// sysfs writes numbers in decimal, and flags in hexadecimal with 0x.
std::optional<long long> ReadNumber(const std::string& device, const char* attribute) {
    const auto text = ReadAttribute(device, attribute);
    if (!text) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text->c_str(), &end, 0);
    if (end == text->c_str() || errno != 0) return std::nullopt;
    return value;
}

// Linux drivers often report "unknown" while the link works. The kernel counts such a link as
// running (IFF_RUNNING, which sysfs flags leave out) exactly while it is up.
uint32_t OperStatusOf(const std::string& state, long long flags) {
    if (state == "up") return kIfOperStatusOperational;
    if (state == "unknown")
        return (flags & IFF_UP) ? kIfOperStatusOperational : kIfOperStatusNonOperational;
    if (state == "dormant") return kIfOperStatusConnecting;
    if (state == "down" || state == "lowerlayerdown" || state == "notpresent")
        return kIfOperStatusDisconnected;
    return kIfOperStatusNonOperational;
}

// Loopback carries an all-zero Ethernet address, as do some tunnels; none of them is hardware.
uint32_t PhysAddrLenOf(const std::string& device) {
    const auto address = ReadAttribute(device, "address");  // "xx:xx:...", empty when none
    if (!address || address->find_first_not_of("0:") == std::string::npos) return 0;
    return static_cast<uint32_t>((address->size() + 1) / 3);
}

// sysfs gives Mb/s, or -1 when it does not know.
uint32_t SpeedOf(const std::string& device) {
    const auto megabits = ReadNumber(device, "speed");
    if (!megabits || *megabits <= 0) return 0;
    if (static_cast<uint64_t>(*megabits) > UINT32_MAX / kBitsPerMegabit) return UINT32_MAX;
    return static_cast<uint32_t>(*megabits * kBitsPerMegabit);
}

uint32_t InetOf(const sockaddr* address) {
    return address ? reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr : 0;
}

class SystemInterfaceTableSource : public InterfaceTableSource {
public:
    std::optional<std::vector<uint32_t>> GetIfIndexes() const override {
        const std::unique_ptr<struct if_nameindex[], decltype(&if_freenameindex)> list(
            if_nameindex(), &if_freenameindex);
        if (!list) return std::nullopt;
        std::vector<uint32_t> indexes;
        for (size_t i = 0; list[i].if_index != 0; ++i) indexes.push_back(list[i].if_index);
        return indexes;
    }

    std::optional<InterfaceRow> GetIfEntry(uint32_t index) const override {
        char name[IF_NAMESIZE] = {};
        if (if_indextoname(index, name) == nullptr) return std::nullopt;
        const std::string device = name;
        const auto state = ReadAttribute(device, "operstate");
        const auto flags = ReadNumber(device, "flags");
        if (!state || !flags) return std::nullopt;  // gone since its name was read
        return InterfaceRow{index, OperStatusOf(*state, *flags), PhysAddrLenOf(device),
                            SpeedOf(device), device};
    }

    std::optional<std::vector<IpAddrRow>> GetIpAddrTable() const override {
        ifaddrs* first = nullptr;
        if (getifaddrs(&first) != 0) return std::nullopt;
        const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> list(first, &freeifaddrs);
        std::vector<IpAddrRow> rows;
        for (const ifaddrs* it = first; it != nullptr; it = it->ifa_next) {
            if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) continue;
            // An address is labelled "device:alias"; device names never hold ':'.
            const std::string_view label = it->ifa_name;
            const std::string device(label.substr(0, label.find(':')));
            rows.push_back(
                {InetOf(it->ifa_addr), if_nametoindex(device.c_str()), InetOf(it->ifa_netmask)});
        }
        return rows;
    }
};

}  // namespace

const InterfaceTableSource& SystemInterfaceTables() {
    static const SystemInterfaceTableSource system;
    return system;
}
