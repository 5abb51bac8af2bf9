#include "app/serve/ServeOnly.h"

#include "Strings.h"
#include "platform/ComputerName.h"
#include "platform/PathText.h"
#include "platform/TerminalText.h"
#include "platform/TerminationSignals.h"
#include "platform/WakeEvent.h"
#include "platform/Winsock.h"
#include "server/PortText.h"
#include "server/Trace.h"
#include "settings/HomeFiles.h"
#include "settings/SettingsFile.h"

#include <cstdio>
#include <thread>

ServeOnly::ServeOnly(std::string homeFolder, TerminalText& out, TerminalText& errors)
    : m_homeFolder(std::move(homeFolder)),
      m_out(out),
      m_errors(errors),
      m_units(ResolvePath(kUnitsFileName, m_homeFolder), m_listeners) {
    m_listeners.Add(m_log);
    m_listeners.Add(m_units);
    // After the table: the availability its OnIdle tells goes out with the same batch.
    m_listeners.Add(m_publisher);
    m_units.AddListener(m_publisher);
    // Last: its OnIdle puts out what the others traced in theirs.
    m_listeners.Add(*this);
}

int ServeOnly::Run() {
    std::optional<SettingsValues> settings = LoadSettings();
    if (!settings) return 1;
    m_log.SetFile(settings->logFile);
    m_log.SetNames(settings->names);
    m_log.SetLogging(settings->logging);
    m_log.WriteWaitingRows();
    m_units.SetSilentSeconds(settings->silentSeconds);
    const int port = ParsePortText(settings->portText);
    if (port < kMinPort || port > kMaxPort) {
        OnAlert(std::string(kTextBadPort) + "\r\n");
        return 1;
    }
    if (std::optional<std::string> failure = m_server.Listen(port)) {
        OnAlert(*failure);
        return 1;
    }
    m_publisher.SetTitle(settings->title);
    m_publisher.SetNames(settings->names);
    m_publisher.Start(settings->mqtt, TopicPrefix(settings->mqtt, ComputerName(), port));
    m_units.Restore();
    ServeUntilTerminated();
    return 0;
}

std::optional<SettingsValues> ServeOnly::LoadSettings() {
    SettingsValues defaults;
    defaults.title = kAppName;
    defaults.portText = kDefaultPortText;
    for (int i = 0; i < kDiChannels; ++i) defaults.names[i] = "DI" + std::to_string(i + 1);
    defaults.logFile = ResolvePath(kLogFileName, m_homeFolder);
    std::string settingsFile = ResolvePath(kSettingsFileName, m_homeFolder);
    SettingsCollector settings(defaults);
    // A pointer file that names nothing leaves the defaults, as the window starts with them.
    std::optional<std::string> named = ReadPointerFile(ResolvePath(kPointerFileName, m_homeFolder));
    if (named && !named->empty()) {
        settingsFile = *named;
        const SettingsRead read =
            ReadSettingsFile(ResolvePath(settingsFile, m_homeFolder), settings, m_listeners);
        if (!read.opened || read.readFailed) {
            char message[512];
            std::snprintf(message, sizeof message, kFormatSettingsUnreadable,
                          ResolvePath(settingsFile, m_homeFolder).c_str());
            OnAlert(message);
            return std::nullopt;
        }
    }
    Trace(m_listeners, "cfg : %s\r\n", settingsFile.c_str());
    return settings.values;
}

void ServeOnly::ServeUntilTerminated() {
    std::thread worker([this] { m_server.Serve(); });
    WakeEvent& terminated = TerminationSignals::Event();
    wsock::PollEntry entry{terminated.Handle()};
    // A signal interrupts the wait it sets the event for: the wait starts again and sees it.
    while (wsock::WSAPoll(&entry, 1, -1) == wsock::kSocketError &&
           wsock::WSAGetLastError() == wsock::kErrorInterrupted) {
    }
    terminated.Reset();
    m_server.RequestStop();
    worker.join();
}

void ServeOnly::OnTrace(std::string_view text) {
    m_out.Write(text);
}

void ServeOnly::OnAlert(std::string_view text) {
    m_out.Flush();
    m_errors.Write(text);
    m_errors.Flush();
}

void ServeOnly::OnIdle() {
    m_out.Flush();
}

void ServeOnly::PublisherTerminal::OnTrace(std::string_view text) {
    owner.m_out.Write(text);
    owner.m_out.Flush();
}
