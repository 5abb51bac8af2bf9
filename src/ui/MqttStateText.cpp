#include "ui/MqttStateText.h"

#include "Strings.h"

#include <cstdio>

std::string MqttStateText(const PublisherStatus& status, bool brokerSet) {
    const char* kinds[] = {brokerSet ? kTextStopped : kTextMqttNotSet, kTextMqttConnecting,
                           kTextMqttConnected, kTextMqttWaitingToReconnect};
    std::string text = kinds[status.kind];
    const bool away = status.kind == PublisherStatus::kConnecting ||
                      status.kind == PublisherStatus::kWaitingToReconnect;
    char counts[96] = "";
    if (status.dropped > 0) {
        std::snprintf(counts, sizeof counts, kFormatMqttWaitingDropped, status.waiting,
                      static_cast<unsigned long long>(status.dropped));
    } else if (away && status.waiting > 0) {
        std::snprintf(counts, sizeof counts, kFormatMqttWaiting, status.waiting);
    }
    return text + counts;
}
