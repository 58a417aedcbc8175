#pragma once

class QImage;

namespace joulemap {

// Blurs a premultiplied ARGB image in place like a Gaussian of the given standard deviation (three
// box passes). Meant for images rendered once per change (glows, shadows), not for every frame.
void gaussianBlur(QImage& image, double sigmaPixels);

}  // namespace joulemap
