#pragma once

#include <chrono>
#include <string>
#include <vector>

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
};

// Runs a program to its end, with no input and its output captured; one still running after
// the limit is killed.
ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& args,
                      std::chrono::milliseconds limit = std::chrono::seconds(20));

// The descriptors or handles this process holds open.
long OpenHandleCount();
