#pragma once

#include "ProcessPowerService.h"

namespace joulemap {

// Lists every process with its cumulative processor time and command path.
// An empty snapshot means the listing could not be taken.
class ProcessLister {
public:
    virtual ~ProcessLister() = default;
    virtual ProcessPowerService::Snapshot snapshot() = 0;
};

}  // namespace joulemap
