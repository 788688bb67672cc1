#include "core/PixelShape.h"

#include <gtest/gtest.h>

namespace {

struct StretchCase {
    int width;
    int height;
    int num;
    int den;
    int shownWidth;
    int shownHeight;
};

class PixelShapeStretch : public testing::TestWithParam<StretchCase> {};

// Stretched in one direction only, never shrunk, to the nearest whole pixel.
TEST_P(PixelShapeStretch, GivesTheSizeWithSquarePixels) {
    const StretchCase& c = GetParam();
    const core::PixelShape::Size size =
        core::PixelShape::of(c.num, c.den).squareSize(c.width, c.height);
    EXPECT_EQ(size.width, c.shownWidth);
    EXPECT_EQ(size.height, c.shownHeight);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PixelShapeStretch,
                         testing::Values(StretchCase{720, 480, 8, 9, 720, 540},   // DV 4:3
                                         StretchCase{720, 480, 32, 27, 853, 480}, // DV 16:9
                                         StretchCase{1440, 1080, 4, 3, 1920, 1080},
                                         StretchCase{720, 480, 40, 33, 873, 480}, // 872.7
                                         StretchCase{720, 486, 8, 9, 720, 547},   // 546.75
                                         StretchCase{640, 480, 1, 1, 640, 480}));

// What a stream declares reaches us as a fraction of any size, or as nonsense.
TEST(PixelShape, IsReducedAndWhatNoPictureHasCountsAsSquare) {
    EXPECT_EQ(core::PixelShape::of(64, 72), (core::PixelShape{8, 9}));
    EXPECT_EQ(core::PixelShape::of(8, 1), (core::PixelShape{8, 1}));
    EXPECT_EQ(core::PixelShape::of(1, 8), (core::PixelShape{1, 8}));
    for (const auto& [num, den] :
         {std::pair{0, 1}, {0, 0}, {1, 0}, {-4, 3}, {4, -3}, {9, 1}, {1, 9}, {2147483647, 1}})
        EXPECT_EQ(core::PixelShape::of(num, den), core::PixelShape{}) << num << ":" << den;
}

} // namespace
