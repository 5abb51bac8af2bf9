#pragma once

#include "eventlog/EventLog.h"
#include "mqtt/MqttPublisher.h"
#include "server/ServerListener.h"
#include "server/ServerListeners.h"
#include "server/SignalServer.h"
#include "settings/SettingsFormat.h"
#include "units/UnitTable.h"

#include <optional>
#include <string>

class TerminalText;

// The core with no window: the settings the pointer file names, the server on their port, their
// CSV log, the table of units with its silent marking, their broker, and the trace on the
// terminal, until Ctrl+C or SIGTERM.
class ServeOnly : private ServerListener {
public:
    // Messages for the operator go to errors, the trace to out.
    ServeOnly(std::string homeFolder, TerminalText& out, TerminalText& errors);

    // The exit status: 0 after a stop, 1 when it cannot serve (and has said why).
    int Run();

private:
    void OnTrace(std::string_view text) override;
    void OnAlert(std::string_view text) override;
    void OnIdle() override;

    // The defaults, or what the settings file the pointer file names makes of them; nullopt
    // when that file cannot be read.
    std::optional<SettingsValues> LoadSettings();
    void ServeUntilTerminated();

    const std::string m_homeFolder;
    TerminalText& m_out;
    TerminalText& m_errors;
    // What the publisher's thread tells goes out at once: the worker's next idle may be far off.
    struct PublisherTerminal : ServerListener {
        explicit PublisherTerminal(ServeOnly& owner) : owner(owner) {}
        void OnTrace(std::string_view text) override;
        void OnAlert(std::string_view text) override { owner.OnAlert(text); }
        ServeOnly& owner;
    };

    ServerListeners m_listeners;
    SignalServer m_server{m_listeners};
    EventLog m_log{m_homeFolder, m_listeners};
    PublisherTerminal m_publisherTerminal{*this};
    MqttPublisher m_publisher{m_publisherTerminal};
    UnitTable m_units;  // after the publisher it tells
};
