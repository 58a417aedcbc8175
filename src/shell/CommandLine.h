#pragma once

#include <optional>
#include <string>

namespace joulemap {

struct CommandLine {
    // Started by the updater: wait for the old instance to leave instead of handing off to it.
    bool replace = false;
    // Write the metrics to this file after every refresh, whatever the settings say.
    std::optional<std::string> prometheusTextfile;
    // Write the metrics once to this file and quit, without a window.
    std::optional<std::string> exportMetricsFile;
};

// Reads the arguments before any application object exists, so "--help" and "--version" print and
// finish without touching the display. Returns the exit status when the program should end there
// (after help, version or a mistyped option), else the options to run with.
struct CommandLineResult {
    CommandLine options;
    std::optional<int> exitStatus;
};

CommandLineResult parseCommandLine(int argc, char** argv);

}  // namespace joulemap
