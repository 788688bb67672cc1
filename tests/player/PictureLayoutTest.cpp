#include "player/PictureLayout.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
    const char* name;
    TScaleMode mode;
    QSize picture;
    QSize area;
    QRect expected;
};

class PictureLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(PictureLayout, PlacesThePicture) {
    const LayoutCase c = GetParam();
    EXPECT_EQ(player::pictureRect(c.mode, c.picture, c.area), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Player, PictureLayout,
    testing::Values(
        LayoutCase{"FitSameShapeFillsTheArea", smFit, {320, 240}, {160, 120}, {0, 0, 160, 120}},
        LayoutCase{"FitWideHasBarsAboveAndBelow", smFit, {128, 48}, {160, 120}, {0, 30, 160, 60}},
        LayoutCase{"FitTallHasBarsLeftAndRight", smFit, {240, 320}, {160, 120}, {35, 0, 90, 120}},
        LayoutCase{"FitEnlargesASmallPicture", smFit, {160, 120}, {292, 322}, {0, 51, 292, 219}},
        LayoutCase{"FitRoundsToTheNearestPixel", smFit, {3, 2}, {10, 10}, {0, 1, 10, 7}},
        LayoutCase{"FitKeepsAtLeastOnePixel", smFit, {1000, 1}, {100, 100}, {0, 49, 100, 1}},
        LayoutCase{"StretchFillsTheArea", smStretch, {128, 48}, {160, 120}, {0, 0, 160, 120}},
        LayoutCase{
            "ActualCentresASmallerPicture", smActual, {128, 48}, {160, 120}, {16, 36, 128, 48}},
        LayoutCase{"ActualCutsALargerPictureEvenly",
                   smActual,
                   {320, 240},
                   {160, 120},
                   {-80, -60, 320, 240}},
        LayoutCase{"EmptyAreaShowsNothing", smFit, {320, 240}, {0, 120}, {}},
        LayoutCase{"NoPictureShowsNothing", smStretch, {0, 0}, {160, 120}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
