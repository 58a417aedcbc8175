#include "SystemInfoSources.h"

#if defined(__APPLE__)
#include "macos/MacSystemInfoSource.h"
#else
#include "linux/LinuxSystemInfoSource.h"
#endif

namespace joulemap {

std::unique_ptr<SystemInfoSource> makeSystemInfoSource() {
#if defined(__APPLE__)
    return std::make_unique<MacSystemInfoSource>();
#else
    return std::make_unique<LinuxSystemInfoSource>();
#endif
}

}  // namespace joulemap
