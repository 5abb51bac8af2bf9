// Anything a broker may send: the reader never reads past its input or its limits, and reads
// the same packets however the bytes are split. The first byte picks the split.
#include "mqtt/BrokerReader.h"

#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t piece = 1 + data[0] % 8;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    mqtt::BrokerReader whole;
    std::vector<mqtt::BrokerPacket> wholePackets;
    const bool wholeOk = whole.Feed(bytes, wholePackets);

    mqtt::BrokerReader pieces;
    std::vector<mqtt::BrokerPacket> piecePackets;
    bool piecesOk = true;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        piecesOk = pieces.Feed(bytes.substr(at, piece), piecePackets);
    }
    if (wholeOk != piecesOk || wholePackets.size() != piecePackets.size()) std::abort();
    for (size_t i = 0; i < wholePackets.size(); ++i) {
        const mqtt::BrokerPacket& a = wholePackets[i];
        const mqtt::BrokerPacket& b = piecePackets[i];
        if (a.kind != b.kind || a.packetId != b.packetId || a.returnCode != b.returnCode ||
            a.sessionPresent != b.sessionPresent) {
            std::abort();
        }
    }
    return 0;
}
