#pragma once

#include "ProcessLister.h"

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace joulemap {

// Reads every process's processor time, parent, reaped children's time and program straight from
// procfs. Linux ps prints whole seconds, too coarse for a short sample, and spawning it costs more
// than reading /proc. Processes of the kernel, of system accounts and of the desktop session are
// marked as the system's.
class LinuxProcessLister : public ProcessLister {
public:
    explicit LinuxProcessLister(std::filesystem::path procRoot = "/proc");

    ProcessPowerService::Snapshot snapshot() override;

private:
    void readProcess(const char* pidText, ProcessPowerService::Snapshot& out);
    const char* pathOf(const char* pidText, const char* leaf);
    std::string programOf(const char* pidText, std::string_view commandName);
    bool isSystemAccount(const char* pidText, uid_t fileOwner);

    // What a process runs does not change until it calls exec, which renames it; so its program and
    // whether it is the system's are looked up once, not on every listing.
    struct KnownProgram {
        uint64_t startTicks = 0;
        std::string commandName;
        std::string path;
        bool system = false;
    };

    std::string root_;
    double secondsPerTick_;
    uid_t ownUid_;
    std::string pathBuffer_;  // reused so that a snapshot does not allocate per file name
    size_t lastCount_ = 0;
    std::unordered_map<int64_t, KnownProgram> known_;  // from the previous listing
    std::unordered_map<int64_t, KnownProgram> seen_;   // in this one
};

}  // namespace joulemap
