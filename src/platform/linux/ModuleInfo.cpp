#include "platform/ModuleInfo.h"

#include <unistd.h>

#include <climits>

namespace {

class RunningModule : public ModuleInfo {
public:
    std::optional<std::string> ExecutableSystemPath() const override {
        char path[PATH_MAX];
        ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
        // A full buffer may hold a cut path.
        if (length <= 0 || length == static_cast<ssize_t>(sizeof path)) return std::nullopt;
        return std::string(path, static_cast<size_t>(length));
    }
    std::optional<Version> FileVersion() const override {
        return Version{NR_FILE_VERSION_MAJOR, NR_FILE_VERSION_MINOR, NR_FILE_VERSION_BUILD,
                       NR_FILE_VERSION_REVISION};
    }
};

}  // namespace

const ModuleInfo& ModuleInfo::Running() {
    static const RunningModule running;
    return running;
}
