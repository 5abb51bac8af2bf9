#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// An environment variable set for as long as this lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name) {
        if (const char* saved = std::getenv(name)) m_saved = saved;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() { m_saved ? ::setenv(m_name, m_saved->c_str(), 1) : ::unsetenv(m_name); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_saved;
};
