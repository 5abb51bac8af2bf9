#pragma once

#include <mutex>
#include <string>

// A text one thread replaces while another reads it: every read gets a whole value.
class SharedText {
public:
    SharedText() = default;
    SharedText(const SharedText&) = delete;
    SharedText& operator=(const SharedText&) = delete;

    SharedText& operator=(std::string text) {
        std::lock_guard lock(m_mutex);
        m_text = std::move(text);
        return *this;
    }
    std::string Get() const {
        std::lock_guard lock(m_mutex);
        return m_text;
    }

private:
    mutable std::mutex m_mutex;
    std::string m_text;
};
