#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

struct Report;

// Whoever listens to the core: the window, the serving-only program, the log and every other
// consumer of a report. Each takes what it needs; the core calls on the worker, except where a
// caller on another thread (a start, a settings read) traces.
class ServerListener {
public:
    virtual ~ServerListener() = default;

    // Before the unit gets its reply: the reply means the report is recorded.
    virtual void OnReport(const Report&) {}
    // A diagnostic text, CR LF included where a line ends; at most 255 bytes.
    virtual void OnTrace(std::string_view) {}
    // What the operator must be told, as a message of its own.
    virtual void OnAlert(std::string_view) {}
    // How many rows of the CSV log wait for its file, whenever that changes.
    virtual void OnLogWaiting(size_t) {}
    // The server has stopped: its connections and its port are closed.
    virtual void OnStopped() {}
    // The worker has served what arrived and is about to wait: what was gathered goes out, and
    // work due by now is done.
    virtual void OnIdle() {}
    // When the listener wants OnIdle again though nothing arrives; nullopt: no sooner than
    // something arrives. OnIdle moves it past the present, or the worker would spin.
    virtual std::optional<std::chrono::steady_clock::time_point> WakeAt() { return std::nullopt; }
};
