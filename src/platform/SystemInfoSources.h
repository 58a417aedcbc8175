#pragma once

#include "SystemInfoSource.h"

#include <memory>

namespace joulemap {

// The system information source of the machine we run on.
std::unique_ptr<SystemInfoSource> makeSystemInfoSource();

}  // namespace joulemap
