#pragma once

#include "ProcessLister.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace joulemap {

// Reads every process's processor time and command path straight from procfs. Linux ps prints
// whole seconds, too coarse for a sub-second sample, and spawning it costs more than reading /proc.
class LinuxProcessLister : public ProcessLister {
public:
    explicit LinuxProcessLister(std::filesystem::path procRoot = "/proc");

    ProcessPowerService::Snapshot snapshot() override;

private:
    void readProcess(const char* pidText, ProcessPowerService::Snapshot& out);
    const char* pathOf(const char* pidText, const char* leaf);

    std::string root_;
    double secondsPerTick_;
    std::string pathBuffer_;  // reused so that a snapshot does not allocate per file name
    size_t lastCount_ = 0;
};

}  // namespace joulemap
