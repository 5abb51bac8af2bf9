#include "platform/ModuleInfo.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <vector>

namespace {

// Paths may be longer than MAX_PATH; this is the longest Windows has.
constexpr DWORD kLongestPath = 32768;

std::optional<std::wstring> ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return std::nullopt;
        // A full buffer holds a cut path.
        if (length < size) return path.substr(0, length);
        if (size >= kLongestPath) return std::nullopt;
        path.resize(size * 2);
    }
}

class RunningModule : public ModuleInfo {
public:
    std::optional<std::string> ExecutableSystemPath() const override {
        const std::optional<std::wstring> path = ModulePath();
        return path ? wide::ToUtf8(*path) : std::nullopt;
    }

    // The VERSIONINFO resource windres put into the executable.
    std::optional<Version> FileVersion() const override {
        const std::optional<std::wstring> path = ModulePath();
        if (!path) return std::nullopt;
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(path->c_str(), &ignored);
        if (size == 0) return std::nullopt;
        std::vector<unsigned char> data(size);
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        if (!::GetFileVersionInfoW(path->c_str(), 0, size, data.data()) ||
            !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
            length < sizeof *info) {
            return std::nullopt;
        }
        return Version{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                       HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
    }
};

}  // namespace

const ModuleInfo& ModuleInfo::Running() {
    static const RunningModule running;
    return running;
}
