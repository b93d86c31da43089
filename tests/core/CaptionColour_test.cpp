#include "appearance/CaptionColour.h"

#include <gtest/gtest.h>

using namespace vrelmont;

TEST(CaptionColour, ContrastRatioFollowsTheAccessibilityGuidelines) {
    EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio({255, 255, 255}, {0, 0, 0}), 21.0, 1e-9) << "the order does not matter";
    EXPECT_NEAR(ContrastRatio({0, 0, 255}, {255, 255, 255}), 8.59, 0.01);
    EXPECT_NEAR(ContrastRatio({119, 119, 119}, {119, 119, 119}), 1.0, 1e-9);
}

TEST(CaptionColour, PureBlueOnLightBackgroundsLighterBlueOnDarkOnes) {
    for (const Rgb light : {Rgb{255, 255, 255}, Rgb{239, 239, 239}, Rgb{240, 240, 240}, Rgb{212, 208, 200}})
        EXPECT_EQ(ReadableBlue(light), (Rgb{0, 0, 255}));
    for (const Rgb dark : {Rgb{0, 0, 0}, Rgb{30, 30, 30}, Rgb{49, 54, 59}, Rgb{53, 53, 53}, Rgb{0, 0, 80}}) {
        const Rgb blue = ReadableBlue(dark);
        EXPECT_GE(ContrastRatio(blue, dark), kReadableContrast);
        EXPECT_EQ(blue.blue, 255) << "still a blue";
        EXPECT_EQ(blue.red, blue.green);
        EXPECT_LT(ContrastRatio(Rgb{blue.red - 1, blue.green - 1, 255}, dark), kReadableContrast)
            << "the darkest such blue";
    }
    EXPECT_LT(ContrastRatio({0, 0, 255}, {53, 53, 53}), 2.0) << "pure blue cannot be read there";
}

TEST(CaptionColour, WhereNoBlueIsReadableTheMostReadableIsTaken) {
    const Rgb grey{128, 128, 128};
    const Rgb blue = ReadableBlue(grey);
    for (int white = 0; white <= 255; ++white)
        EXPECT_GE(ContrastRatio(blue, grey), ContrastRatio({white, white, 255}, grey) - 1e-12);
}
