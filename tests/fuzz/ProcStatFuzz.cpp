// One /proc/<pid>/stat line, read by the procfs process lister from a scratch tree.
#include "FuzzInput.h"
#include "linux/LinuxProcessLister.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    static const fuzz::ScratchTree proc;
    proc.write("4242/stat", fuzz::asText(data, size));
    (void)LinuxProcessLister(proc.root()).snapshot();
    return 0;
}
