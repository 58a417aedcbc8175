#include "ImageBlur.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace joulemap {

namespace {

constexpr int kBoxBlurPasses = 3;

// Box widths whose three passes together blur like a Gaussian of the given deviation.
std::array<int, kBoxBlurPasses> boxRadii(double sigma) {
    const double n = kBoxBlurPasses;
    int lower = static_cast<int>(std::floor(std::sqrt(12 * sigma * sigma / n + 1)));
    if (lower % 2 == 0) --lower;
    const int upper = lower + 2;
    const double smallerCount =
        std::round((12 * sigma * sigma - n * lower * lower - 4 * n * lower - 3 * n) / (-4.0 * lower - 4));
    std::array<int, kBoxBlurPasses> radii{};
    for (int i = 0; i < kBoxBlurPasses; ++i) radii[i] = ((i < smallerCount ? lower : upper) - 1) / 2;
    return radii;
}

// One box pass over `count` pixels `step` bytes apart, each of the four channels separately;
// outside the line counts as transparent.
void boxBlurLine(const uint8_t* src, uint8_t* dst, int count, int step, int radius) {
    const int width = 2 * radius + 1;
    for (int channel = 0; channel < 4; ++channel) {
        const uint8_t* in = src + channel;
        uint8_t* out = dst + channel;
        int sum = 0;
        for (int k = 0; k < std::min(radius, count); ++k) sum += in[k * step];
        for (int i = 0; i < count; ++i) {
            if (i + radius < count) sum += in[(i + radius) * step];
            out[i * step] = static_cast<uint8_t>((sum + width / 2) / width);
            if (i - radius >= 0) sum -= in[(i - radius) * step];
        }
    }
}

}  // namespace

// Averaging premultiplied pixels keeps them valid premultiplied pixels.
void gaussianBlur(QImage& image, double sigmaPixels) {
    if (sigmaPixels <= 0 || image.isNull()) return;
    const int w = image.width();
    const int h = image.height();
    const auto stride = static_cast<int>(image.bytesPerLine());
    QImage scratch(image.size(), image.format());
    for (int radius : boxRadii(sigmaPixels)) {
        if (radius <= 0) continue;
        for (int y = 0; y < h; ++y) {
            boxBlurLine(image.constScanLine(y), scratch.scanLine(y), w, 4, radius);
        }
        const uint8_t* src = scratch.constBits();
        uint8_t* dst = image.bits();
        for (int x = 0; x < w; ++x) boxBlurLine(src + 4 * x, dst + 4 * x, h, stride, radius);
    }
}


}  // namespace joulemap
