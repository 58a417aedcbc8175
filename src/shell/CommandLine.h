#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace joulemap {

struct CommandLine {
    // Started by the updater: wait for the old instance to leave instead of handing off to it.
    bool replace = false;
    // Write the history as CSV files into this folder and exit, without a display.
    std::optional<std::string> exportCsvFolder;
    int64_t exportDays = 30;
    // Write the metrics to this file after every refresh, whatever the settings say.
    std::optional<std::string> prometheusTextfile;
    // Write the metrics once to this file and quit, without a window.
    std::optional<std::string> exportMetricsFile;
};

// Reads the arguments before any application object exists, so "--help" and "--version" print and
// finish without touching the display. Returns the exit status when the program should end there
// (after help, version or a mistyped option), else the options to run with. A mistake in an option's
// value gets one line on standard error and status 2.
struct CommandLineResult {
    CommandLine options;
    std::optional<int> exitStatus;
};

CommandLineResult parseCommandLine(int argc, char** argv);

}  // namespace joulemap
