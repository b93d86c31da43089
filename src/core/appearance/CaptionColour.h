#pragma once
// The colour of the captions that mark checks whose findings need not be errors: pure blue where
// that can be read, a lighter blue on a dark window.

namespace vrelmont {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb &) const = default;
};

// The contrast ratio of two colours as the web accessibility guidelines define it, from 1 to 21.
double ContrastRatio(const Rgb &a, const Rgb &b);

// The least contrast at which small text counts as readable.
inline constexpr double kReadableContrast = 4.5;

// Pure blue when it reaches kReadableContrast on `background`; otherwise the darkest blue mixed
// towards white that does, or, if none does, the one with the highest contrast.
Rgb ReadableBlue(const Rgb &background);

} // namespace vrelmont
