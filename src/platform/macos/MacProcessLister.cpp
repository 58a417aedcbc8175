#include "MacProcessLister.h"

#include "ShellRunner.h"

#include <utility>

namespace joulemap {

MacProcessLister::MacProcessLister(std::string psPath) : psPath_(std::move(psPath)) {}

ProcessPowerService::Snapshot MacProcessLister::snapshot() {
    const auto outcome = ShellRunner::runDetailed(psPath_, {"-A", "-o", "pid=,time=,comm="});
    // A failed listing may still have printed part of the table; half a table would turn every
    // missing process into a false "new process" in the next comparison.
    if (outcome.exitStatus != 0 || !outcome.output) return {};
    return ProcessPowerService::parseSnapshot(*outcome.output);
}

}  // namespace joulemap
