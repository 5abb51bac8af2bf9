#include "platform/ModuleInfo.h"

#include "platform/Cp932.h"

#include <atomic>

namespace {

std::atomic<const ModuleInfo*> g_replacement{nullptr};

}  // namespace

std::optional<std::string> ModuleInfo::ExecutablePath() const {
    std::optional<std::string> path = ExecutableSystemPath();
    return path ? cp932::FromUtf8(*path) : std::nullopt;
}

const ModuleInfo& ModuleInfo::Current() {
    const ModuleInfo* replacement = g_replacement.load();
    return replacement != nullptr ? *replacement : Running();
}

void ModuleInfo::Replace(const ModuleInfo* info) {
    g_replacement.store(info);
}
