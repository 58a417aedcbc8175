#include "LinuxHealthReader.h"

namespace joulemap {

int64_t LinuxHealthReader::readHealth() { return 0; }

}  // namespace joulemap
