// AppNameMap.json, which users may edit, and the names its rules give to a few paths.
#include "FuzzInput.h"
#include "ProcessPowerService.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    const auto rules = ProcessPowerService::decodeRules(fuzz::asText(data, size));
    if (!rules) return 0;
    constexpr std::array<const char*, 3> kPaths{"/usr/bin/firefox", "/opt/WeChat/wechat", ""};
    for (const char* path : kPaths) (void)ProcessPowerService::displayName(path, *rules);
    return 0;
}
