// versions.json, the release history the changelog window shows; a damaged or hostile file must
// decode to nothing rather than to a half-read history.
#include "ChangelogData.h"
#include "FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    const auto root = ChangelogData::decode(fuzz::asText(data, size));
    if (!root) return 0;
    for (const auto& version : root->versions) {
        (void)version.id();
        for (const auto& group : version.groups) (void)group.id();
    }
    return 0;
}
