#pragma once

#include "ProcessLister.h"

#include <string>

namespace joulemap {

// Lists processes through ps, whose processor-time column has hundredths of a second on macOS.
class MacProcessLister : public ProcessLister {
public:
    explicit MacProcessLister(std::string psPath = "/bin/ps");

    ProcessPowerService::Snapshot snapshot() override;

private:
    std::string psPath_;
};

}  // namespace joulemap
