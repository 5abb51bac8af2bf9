#pragma once

#include "platform/ModuleInfo.h"

#include <optional>
#include <string>

// An executable said to live at a given file system path, with a given version: runs the window
// "beside" another folder (tests, the screenshot and benchmark tools). Installed for its lifetime.
class PlacedModule : public ModuleInfo {
public:
    explicit PlacedModule(std::optional<std::string> executablePath)
        : path(std::move(executablePath)) {
        ModuleInfo::Replace(this);
    }
    ~PlacedModule() override { ModuleInfo::Replace(nullptr); }
    PlacedModule(const PlacedModule&) = delete;
    PlacedModule& operator=(const PlacedModule&) = delete;

    std::optional<std::string> ExecutableSystemPath() const override { return path; }
    std::optional<Version> FileVersion() const override { return version; }

    std::optional<std::string> path;  // nullopt: a path that cannot be read
    std::optional<Version> version = Version{1, 0, 2, 0};
};
