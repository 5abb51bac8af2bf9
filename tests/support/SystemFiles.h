#pragma once

#include "support/TempFolder.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

// File-system facts the tests need that each system offers its own way, or not at all.

// Paths follow Windows' rules: drive letters, '\\' separates folders, names are CP932 text.
extern const bool kWindowsPaths;
// A path as the tests hold it, the program's bytes, as the file system names that file.
std::filesystem::path FileSystemPath(const std::string& path);

// A file whose every write fails for want of room; empty where the system has none.
std::string FullDiskPath();
// Makes a named pipe at the path; false where the system has none in its folders.
bool MakePipe(const std::string& path);
// Another program keeping the file open for writing, locked as such programs lock it, while
// this lives.
class OtherWriter {
public:
    explicit OtherWriter(const std::string& path);
    ~OtherWriter();
    OtherWriter(const OtherWriter&) = delete;
    OtherWriter& operator=(const OtherWriter&) = delete;
    bool Holds() const;

private:
    struct Hold;
    std::unique_ptr<Hold> m_hold;
};

// Takes the right to write the file away.
bool MakeReadOnly(const std::string& path);

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
