#pragma once

#include "mqtt/MqttPackets.h"
#include "mqtt/ReportMessages.h"
#include "server/Report.h"

#include <map>
#include <string>
#include <vector>

// What each unit has had published, and so what a report, a silence or a rename adds: a unit
// seen for the first time gets its discovery configs (when asked for), its availability and all
// five inputs; after that an input is published when it changes.
class UnitPublications {
public:
    UnitPublications(std::string prefix, bool discovery)
        : m_messages(std::move(prefix)), m_discovery(discovery) {}

    const ReportMessages& Messages() const { return m_messages; }

    void AddReport(const Report& report, std::vector<mqtt::Message>& out);
    // A unit never seen has nothing to say about its availability.
    void AddAvailability(const std::string& address, bool online, std::vector<mqtt::Message>& out);
    // The configs carry the names and the title: a change republishes them.
    void SetLabels(const PublishedLabels& labels, std::vector<mqtt::Message>& out);
    // Everything retained about each unit, for a broker that may have lost it.
    void Republish(std::vector<mqtt::Message>& out) const;

private:
    struct Unit {
        Report last;
        bool online = true;
    };

    void AddDiscovery(const std::string& address, std::vector<mqtt::Message>& out) const;

    ReportMessages m_messages;
    const bool m_discovery;
    PublishedLabels m_labels;
    std::map<std::string, Unit> m_units;
};
