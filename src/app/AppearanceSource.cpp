#include "AppearanceSource.h"

namespace joulemap {

AppearanceSource::~AppearanceSource() = default;

}  // namespace joulemap
