#include "platform/InterfaceTables.h"

#include <linux/if.h>
#include <linux/if_arp.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <span>

namespace {

// The kernel fills dump datagrams to about a page; a truncated one fails the read.
constexpr size_t kReceiveBufferBytes = 64 * 1024;
constexpr int kMaxReceives = 4096;  // far beyond the datagrams of any real table
constexpr time_t kReceiveTimeoutSeconds = 2;
constexpr uint32_t kRequestSeq = 1;
constexpr uint64_t kBitsPerMegabit = 1'000'000;

// Called for each reply message; false abandons the exchange.
using MessageHandler = std::function<bool(const nlmsghdr&)>;

// A dump ends with NLMSG_DONE carrying an error code; a failed request is answered by NLMSG_ERROR.
bool DumpFailed(const nlmsghdr& done) {
    if (done.nlmsg_len < NLMSG_LENGTH(sizeof(int))) return false;
    int error = 0;
    std::memcpy(&error, NLMSG_DATA(&done), sizeof error);
    return error < 0;
}

enum class Reply { kIncomplete, kComplete, kFailed };

// Hands the messages of one datagram on.
Reply DeliverDatagram(const char* data, size_t length, bool dump, const MessageHandler& onMessage) {
    for (size_t offset = 0; length - offset >= sizeof(nlmsghdr);) {
        const auto* header = reinterpret_cast<const nlmsghdr*>(data + offset);
        if (header->nlmsg_len < sizeof(nlmsghdr) || header->nlmsg_len > length - offset) break;
        offset += std::min<size_t>(NLMSG_ALIGN(header->nlmsg_len), length - offset);
        if (header->nlmsg_seq != kRequestSeq) continue;
        if (header->nlmsg_type == NLMSG_ERROR) return Reply::kFailed;
        if (header->nlmsg_type == NLMSG_DONE)
            return DumpFailed(*header) ? Reply::kFailed : Reply::kComplete;
        if (!onMessage(*header)) return Reply::kFailed;
        if (!dump) return Reply::kComplete;
    }
    return Reply::kIncomplete;
}

bool ReceiveReply(int fd, bool dump, const MessageHandler& onMessage) {
    std::vector<char> buffer(kReceiveBufferBytes);
    for (int i = 0; i < kMaxReceives; ++i) {
        sockaddr_nl from{};
        socklen_t fromLength = sizeof from;
        const ssize_t got = recvfrom(fd, buffer.data(), buffer.size(), MSG_TRUNC,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 || static_cast<size_t>(got) > buffer.size()) return false;
        if (from.nl_pid != 0) continue;  // only the kernel answers route requests
        const Reply reply =
            DeliverDatagram(buffer.data(), static_cast<size_t>(got), dump, onMessage);
        if (reply != Reply::kIncomplete) return reply == Reply::kComplete;
    }
    return false;
}

// One route request on a socket of its own, so that no stale reply can be mistaken for ours.
template <typename Body>
bool Exchange(uint16_t type, bool dump, const Body& body, const MessageHandler& onMessage) {
    struct {
        nlmsghdr header;
        Body body;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(Body));
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = NLM_F_REQUEST | (dump ? NLM_F_DUMP : 0);
    request.header.nlmsg_seq = kRequestSeq;
    request.body = body;

    const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0) return false;
    // The kernel always answers; the time-out only keeps a broken kernel from hanging start-up.
    const timeval timeout{kReceiveTimeoutSeconds, 0};
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    const bool ok =
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) == 0 &&
        sendto(fd, &request, request.header.nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
               sizeof kernel) == static_cast<ssize_t>(request.header.nlmsg_len) &&
        ReceiveReply(fd, dump, onMessage);
    const bool closed = close(fd) == 0;
    return ok && closed;
}

// Invokes onAttribute(type, payload, length) for each attribute that follows a message body.
template <typename Body, typename Visitor>
void VisitAttributes(const nlmsghdr& header, Visitor onAttribute) {
    int remaining =
        static_cast<int>(header.nlmsg_len) - static_cast<int>(NLMSG_SPACE(sizeof(Body)));
    const auto* first =
        reinterpret_cast<const char*>(NLMSG_DATA(&header)) + NLMSG_ALIGN(sizeof(Body));
    for (auto* attribute = reinterpret_cast<const rtattr*>(first); RTA_OK(attribute, remaining);
         attribute = RTA_NEXT(attribute, remaining)) {
        onAttribute(attribute->rta_type, static_cast<const unsigned char*>(RTA_DATA(attribute)),
                    static_cast<size_t>(RTA_PAYLOAD(attribute)));
    }
}

template <typename Body>
bool ReadBody(const nlmsghdr& header, uint16_t type, Body& body) {
    if (header.nlmsg_type != type || header.nlmsg_len < NLMSG_LENGTH(sizeof(Body))) return false;
    std::memcpy(&body, NLMSG_DATA(&header), sizeof body);
    return true;
}

// Linux drivers often report "unknown" while the link works; the flags say whether it does.
uint32_t OperStatusOf(uint8_t operState, unsigned flags) {
    switch (operState) {
        case IF_OPER_UP:
            return kIfOperStatusOperational;
        case IF_OPER_UNKNOWN:
            return (flags & IFF_UP) && (flags & IFF_RUNNING) ? kIfOperStatusOperational
                                                             : kIfOperStatusNonOperational;
        case IF_OPER_DORMANT:
            return kIfOperStatusConnecting;
        case IF_OPER_DOWN:
        case IF_OPER_LOWERLAYERDOWN:
        case IF_OPER_NOTPRESENT:
            return kIfOperStatusDisconnected;
        default:
            return kIfOperStatusNonOperational;
    }
}

// Loopback carries an all-zero Ethernet address, as do some tunnels; none of them is hardware.
uint32_t PhysAddrLenOf(const ifinfomsg& info, std::span<const unsigned char> address) {
    if ((info.ifi_flags & IFF_LOOPBACK) || info.ifi_type == ARPHRD_LOOPBACK) return 0;
    const bool allZero = std::all_of(address.begin(), address.end(), [](auto b) { return b == 0; });
    return allZero ? 0 : static_cast<uint32_t>(address.size());
}

// sysfs gives Mb/s, -1 or a read error (EINVAL while the link is down) when it does not know.
uint32_t SpeedOf(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return 0;
    std::ifstream file("/sys/class/net/" + name + "/speed");
    long long megabits = 0;
    if (!(file >> megabits) || megabits <= 0) return 0;
    const uint64_t bits = static_cast<uint64_t>(megabits) * kBitsPerMegabit;
    return static_cast<uint32_t>(std::min<uint64_t>(bits, UINT32_MAX));
}

std::optional<InterfaceRow> RowOf(const nlmsghdr& header) {
    ifinfomsg info{};
    if (!ReadBody(header, RTM_NEWLINK, info)) return std::nullopt;
    uint8_t operState = IF_OPER_UNKNOWN;
    std::span<const unsigned char> address;
    InterfaceRow row;
    VisitAttributes<ifinfomsg>(header, [&](uint16_t type, const unsigned char* data, size_t size) {
        if (type == IFLA_IFNAME)
            row.bDescr.assign(reinterpret_cast<const char*>(data),
                              strnlen(reinterpret_cast<const char*>(data), size));
        else if (type == IFLA_OPERSTATE && size >= 1)
            operState = data[0];
        else if (type == IFLA_ADDRESS)
            address = {data, size};
    });
    row.dwIndex = static_cast<uint32_t>(info.ifi_index);
    row.dwOperStatus = OperStatusOf(operState, info.ifi_flags);
    row.dwPhysAddrLen = PhysAddrLenOf(info, address);
    row.dwSpeed = SpeedOf(row.bDescr);
    return row;
}

// The mask IP Helper would give: the prefix as leading one bits, in network byte order.
uint32_t MaskOf(unsigned prefixLength) {
    const unsigned bits = std::min(prefixLength, 32u);
    return bits == 0 ? 0 : htonl(UINT32_MAX << (32 - bits));
}

std::optional<IpAddrRow> AddrRowOf(const nlmsghdr& header) {
    ifaddrmsg info{};
    if (!ReadBody(header, RTM_NEWADDR, info) || info.ifa_family != AF_INET) return std::nullopt;
    std::optional<uint32_t> local;
    std::optional<uint32_t> address;
    VisitAttributes<ifaddrmsg>(header, [&](uint16_t type, const unsigned char* data, size_t size) {
        uint32_t value = 0;
        if (size != sizeof value) return;
        std::memcpy(&value, data, sizeof value);
        // On a point-to-point link IFA_ADDRESS is the peer; IFA_LOCAL is always ours.
        if (type == IFA_LOCAL) local = value;
        if (type == IFA_ADDRESS) address = value;
    });
    if (!local) local = address;
    if (!local) return std::nullopt;
    return IpAddrRow{*local, info.ifa_index, MaskOf(info.ifa_prefixlen)};
}

class SystemInterfaceTableSource : public InterfaceTableSource {
public:
    std::optional<std::vector<uint32_t>> GetIfIndexes() const override {
        std::vector<uint32_t> indexes;
        const ifinfomsg query{};
        const bool ok = Exchange(RTM_GETLINK, true, query, [&](const nlmsghdr& header) {
            ifinfomsg info{};
            if (ReadBody(header, RTM_NEWLINK, info))
                indexes.push_back(static_cast<uint32_t>(info.ifi_index));
            return true;
        });
        if (!ok) return std::nullopt;
        return indexes;
    }

    std::optional<InterfaceRow> GetIfEntry(uint32_t index) const override {
        if (index == 0 || index > INT_MAX) return std::nullopt;
        ifinfomsg query{};
        query.ifi_index = static_cast<int>(index);
        std::optional<InterfaceRow> row;
        const bool ok = Exchange(RTM_GETLINK, false, query, [&](const nlmsghdr& header) {
            row = RowOf(header);
            return row.has_value();
        });
        if (!ok || !row || row->dwIndex != index) return std::nullopt;
        return row;
    }

    std::optional<std::vector<IpAddrRow>> GetIpAddrTable() const override {
        std::vector<IpAddrRow> rows;
        ifaddrmsg query{};
        query.ifa_family = AF_INET;
        const bool ok = Exchange(RTM_GETADDR, true, query, [&](const nlmsghdr& header) {
            if (auto row = AddrRowOf(header)) rows.push_back(*row);
            return true;
        });
        if (!ok) return std::nullopt;
        return rows;
    }
};

}  // namespace

std::unique_ptr<InterfaceTableSource> MakeSystemInterfaceTableSource() {
    return std::make_unique<SystemInterfaceTableSource>();
}

namespace {

const InterfaceTableSource* g_replacement = nullptr;

}  // namespace

const InterfaceTableSource& CurrentInterfaceTables() {
    static const SystemInterfaceTableSource system;
    return g_replacement != nullptr ? *g_replacement : system;
}

void ReplaceInterfaceTables(const InterfaceTableSource* source) {
    g_replacement = source;
}
