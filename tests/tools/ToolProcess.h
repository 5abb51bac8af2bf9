#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace nr::tools::test {

struct ToolRun {
    int exitCode = -1;  // 128 + signal when it did not exit by itself
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
    std::string spawnError;  // set when the tool could not be started at all
};

// Runs a built tool with stdin from /dev/null and captures its output; a tool still running
// after `limit` is killed.
ToolRun RunTool(const std::string& path, const std::vector<std::string>& args,
                std::chrono::milliseconds limit = std::chrono::seconds(20));
// The same with "--port PORT" in front of the arguments.
ToolRun RunToolAt(const std::string& path, std::uint16_t port, std::vector<std::string> args);

// The "key=value key=value" line that nr-load prints for scripts; empty when there is none.
std::map<std::string, std::string> MachineLine(const std::string& out);

}  // namespace nr::tools::test
