#pragma once

#include "platform/ModuleInfo.h"

#include <optional>
#include <string>

// The running executable said to live at another file system path, for start-up to find its
// home folder there. Installed for its lifetime.
class PlacedModule : public ModuleInfo {
public:
    explicit PlacedModule(std::optional<std::string> executablePath)
        : path(std::move(executablePath)), m_version(ModuleInfo::Current().FileVersion()) {
        ModuleInfo::Replace(this);
    }
    ~PlacedModule() override { ModuleInfo::Replace(nullptr); }
    PlacedModule(const PlacedModule&) = delete;
    PlacedModule& operator=(const PlacedModule&) = delete;

    std::optional<std::string> ExecutableSystemPath() const override { return path; }
    std::optional<Version> FileVersion() const override { return m_version; }

    std::optional<std::string> path;  // nullopt: a path that cannot be read

private:
    const std::optional<Version> m_version;
};
