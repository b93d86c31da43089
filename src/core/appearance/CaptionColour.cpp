#include "appearance/CaptionColour.h"

#include <algorithm>
#include <cmath>

namespace vrelmont {
namespace {

double Linear(int channel) {
    const double c = std::clamp(channel, 0, 255) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const Rgb &colour) {
    return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

} // namespace

double ContrastRatio(const Rgb &a, const Rgb &b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableBlue(const Rgb &background) {
    Rgb best{0, 0, 255};
    double bestContrast = ContrastRatio(best, background);
    for (int white = 0; white <= 255 && bestContrast < kReadableContrast; ++white) {
        const Rgb candidate{white, white, 255};
        const double contrast = ContrastRatio(candidate, background);
        if (contrast > bestContrast) {
            best = candidate;
            bestContrast = contrast;
        }
    }
    return best;
}

} // namespace vrelmont
