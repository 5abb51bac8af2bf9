#include "server/SignalServer.h"

#include "Strings.h"
#include "server/ServeRun.h"
#include "server/Trace.h"

#include <cstdio>
#include <utility>

SignalServer::SignalServer(ServerListener& listener) : m_listener(listener) {}

SignalServer::~SignalServer() {
    AbandonListening();
}

std::optional<std::string> SignalServer::Listen(int port) {
    auto fail = [this](const char* format) {
        char message[128];
        std::snprintf(message, sizeof message, format, wsock::WSAGetLastError());
        AbandonListening();
        return std::string(message);
    };
    // Without it a stop could never wake the worker.
    if (!m_eventStop.IsValid()) return kTextWorkerFailed;
    // The worker accepts until nothing is pending, so an accept must never wait.
    m_sockListen = wsock::socket();
    if (m_sockListen == wsock::kInvalidSocket) return fail(kFormatSocketError);
    if (wsock::bind(m_sockListen, static_cast<uint16_t>(port)) == wsock::kSocketError) {
        return fail(kFormatBindError);
    }
    if (wsock::listen(m_sockListen) == wsock::kSocketError) return fail(kFormatListenError);
    Trace(m_listener, "server start.\r\n");
    m_running = true;
    // The previous worker has ended: a stop it was woken for must not wake this one.
    m_eventStop.Reset();
    return std::nullopt;
}

void SignalServer::AbandonListening() {
    m_running = false;
    if (m_sockListen != wsock::kInvalidSocket) wsock::closesocket(m_sockListen);
    m_sockListen = wsock::kInvalidSocket;
}

void SignalServer::Serve() {
    ServeRun run(std::exchange(m_sockListen, wsock::kInvalidSocket), m_running, m_eventStop,
                 m_listener);
    run.Serve();
}

void SignalServer::RequestStop() {
    m_running = false;
    m_eventStop.Set();
}
