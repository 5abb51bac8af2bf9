#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// Where the executable lives and which file version it carries. Tests replace the source, to
// place the program in a temporary folder (support/PlacedModule.h).
class ModuleInfo {
public:
    using Version = std::array<uint16_t, 4>;  // major, minor, build, revision

    virtual ~ModuleInfo() = default;
    // The executable's full path in UTF-8 (as Linux names files; converted from UTF-16 on
    // Windows); nullopt when it cannot be read.
    virtual std::optional<std::string> ExecutableSystemPath() const = 0;
    virtual std::optional<Version> FileVersion() const = 0;

    // The same path in CP932; nullopt also when it has a character CP932 cannot hold.
    std::optional<std::string> ExecutablePath() const;

    static const ModuleInfo& Current();
    // nullptr puts the real source back.
    static void Replace(const ModuleInfo* info);

private:
    // The running executable's, from this system's back end.
    static const ModuleInfo& Running();
};
