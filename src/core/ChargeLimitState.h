#pragma once

namespace joulemap {

// An end threshold of 100 % is no limit at all.
inline constexpr int kNoChargeLimitPct = 100;

// Why a charge limit cannot be set, or why the last attempt did not take.
enum class ChargeLimitIssue {
    none,
    unsupported,   // the battery's driver offers no end threshold
    notWritable,   // the threshold exists but this user may not write it
    writeRefused,  // the driver turned the value down
};

// The charge limit as the kernel reports it, read back after every write.
struct ChargeLimitState {
    int endPct = 0;    // 1..100; 0 when there is none or it cannot be read
    int startPct = 0;  // 1..100; 0 when there is none
    bool writable = false;
    ChargeLimitIssue issue = ChargeLimitIssue::unsupported;

    bool operator==(const ChargeLimitState&) const = default;
};

}  // namespace joulemap
