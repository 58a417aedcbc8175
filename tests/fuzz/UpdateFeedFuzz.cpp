// The update feed, which comes over the network: it decodes to an offer with the two required
// texts, or to nothing, and its version compares without fault against any other.
#include "FuzzInput.h"
#include "UpdateInfo.h"
#include "Version.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    const auto info = decodeUpdateInfo(fuzz::asText(data, size));
    if (!info) return 0;
    // Newer than itself would offer the running version as an update for ever.
    if (isNewerVersion(info->version, info->version)) std::abort();
    (void)isNewerVersion(info->version, "0.1.0");
    (void)isNewerVersion("0.1.0", info->version);
    return 0;
}
