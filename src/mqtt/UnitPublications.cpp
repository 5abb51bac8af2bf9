#include "mqtt/UnitPublications.h"

void UnitPublications::AddReport(const Report& report, std::vector<mqtt::Message>& out) {
    auto [at, first] = m_units.try_emplace(report.unitAddress);
    Unit& unit = at->second;
    if (first) AddDiscovery(report.unitAddress, out);
    if (first || !unit.online) out.push_back(m_messages.Availability(report.unitAddress, true));
    out.push_back(m_messages.State(report, m_labels));
    for (int i = 0; i < kDiChannels; ++i) {
        if (first || report.Input(i) != unit.last.Input(i)) {
            out.push_back(m_messages.Input(report.unitAddress, i, report.Input(i)));
        }
    }
    unit.last = report;
    unit.online = true;
}

void UnitPublications::AddAvailability(const std::string& address, bool online,
                                       std::vector<mqtt::Message>& out) {
    auto at = m_units.find(address);
    if (at == m_units.end()) {
        // Heard before this run started (a restart of the server or of publishing): its online
        // stands on the broker until it is told otherwise.
        if (!online) out.push_back(m_messages.Availability(address, false));
        return;
    }
    if (at->second.online == online) return;
    at->second.online = online;
    out.push_back(m_messages.Availability(address, online));
}

void UnitPublications::SetLabels(const PublishedLabels& labels, std::vector<mqtt::Message>& out) {
    if (labels.names == m_labels.names && labels.title == m_labels.title) return;
    m_labels = labels;
    for (const auto& [address, unit] : m_units) AddDiscovery(address, out);
}

void UnitPublications::Republish(std::vector<mqtt::Message>& out) const {
    for (const auto& [address, unit] : m_units) {
        AddDiscovery(address, out);
        out.push_back(m_messages.Availability(address, unit.online));
        out.push_back(m_messages.State(unit.last, m_labels));
        for (int i = 0; i < kDiChannels; ++i) {
            out.push_back(m_messages.Input(address, i, unit.last.Input(i)));
        }
    }
}

void UnitPublications::AddDiscovery(const std::string& address,
                                    std::vector<mqtt::Message>& out) const {
    if (!m_discovery) return;
    for (int i = 0; i < kDiChannels; ++i) out.push_back(m_messages.Discovery(address, i, m_labels));
}
