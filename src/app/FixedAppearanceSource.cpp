#include "FixedAppearanceSource.h"

namespace joulemap {

FixedAppearanceSource::FixedAppearanceSource(bool prefersDark, QObject* parent)
    : AppearanceSource(parent), prefersDark_(prefersDark) {}

void FixedAppearanceSource::setPrefersDark(bool prefersDark) {
    prefersDark_ = prefersDark;
    emit changed();
}

}  // namespace joulemap
