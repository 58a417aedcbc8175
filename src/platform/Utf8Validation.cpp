#include "Utf8Validation.h"

#include <cstdint>

namespace joulemap {

namespace {

constexpr bool isContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const uint8_t lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        // The allowed range of the second byte carries the rules against overlongs (E0, F0),
        // surrogates (ED) and code points above U+10FFFF (F4).
        int length = 0;
        uint8_t secondMin = 0x80;
        uint8_t secondMax = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) secondMin = 0xA0;
            if (lead == 0xED) secondMax = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) secondMin = 0x90;
            if (lead == 0xF4) secondMax = 0x8F;
        } else {
            return false;  // stray continuation byte, C0/C1 overlong lead, or F5..FF
        }
        if (end - p < length) return false;
        if (p[1] < secondMin || p[1] > secondMax) return false;
        for (int i = 2; i < length; ++i) {
            if (!isContinuation(p[i])) return false;
        }
        p += length;
    }
    return true;
}

}  // namespace joulemap
