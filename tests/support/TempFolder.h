#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// A folder of its own for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// How many entries a folder holds.
long EntriesIn(const std::string& folder);

// While it lives, this thread meets file permissions as an ordinary user does, also when the
// tests run as root, who may write anything; the folder is opened to that user.
class AsOrdinaryUser {
public:
    explicit AsOrdinaryUser(const TempFolder& folder);
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    bool m_switched;
};

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
