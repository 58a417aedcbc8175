#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace joulemap::ShellRunner {

// A tool that never exits must not pin a worker thread forever.
inline constexpr std::chrono::milliseconds kDefaultTimeout{15000};

struct Outcome {
    // Absent: not started, timed out, more than 16 MiB, or not UTF-8.
    std::optional<std::string> output;
    int exitStatus = -1;                // -1 when the child did not exit normally
};

// Runs path with args (no shell, stderr to /dev/null) in its own process group, reads stdout to
// the end, then waits. On timeout the whole group is killed. Output still arriving after the child
// has exited comes from processes it left behind and is not waited for.
Outcome runDetailed(const std::string& path, const std::vector<std::string>& args,
                    std::chrono::milliseconds timeout = kDefaultTimeout);

// The child's whole standard output, whatever its exit status.
std::optional<std::string> run(const std::string& path, const std::vector<std::string>& args,
                               std::chrono::milliseconds timeout = kDefaultTimeout);

}  // namespace joulemap::ShellRunner
