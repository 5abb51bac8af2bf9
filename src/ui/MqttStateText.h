#pragma once

#include "mqtt/PublisherStatus.h"

#include <string>

// How publishing stands, in CP932, as the broker's dialog and the unit list show it. Reports
// that wait are counted while the broker is away, and drops whenever there were any.
std::string MqttStateText(const PublisherStatus& status, bool brokerSet);
