#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace joulemap::ShellRunner {

// A tool that never exits must not pin a worker thread forever.
inline constexpr std::chrono::milliseconds kDefaultTimeout{15000};

struct Outcome {
    std::optional<std::string> output;  // absent: not started, timed out, or not UTF-8
    int exitStatus = -1;                // -1 when the child did not exit normally
};

// Runs path with args (no shell, stderr to /dev/null), reads stdout to the end, then waits.
Outcome runDetailed(const std::string& path, const std::vector<std::string>& args,
                    std::chrono::milliseconds timeout = kDefaultTimeout);

// The child's whole standard output, whatever its exit status.
std::optional<std::string> run(const std::string& path, const std::vector<std::string>& args,
                               std::chrono::milliseconds timeout = kDefaultTimeout);

}  // namespace joulemap::ShellRunner
