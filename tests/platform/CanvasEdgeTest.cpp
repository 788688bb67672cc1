#include "CanvasTestSupport.h"

#include <gtest/gtest.h>

namespace {

using canvastest::blankImage;
using canvastest::picture;
using namespace platform;

// Distinct colours for the four edge colours, so that every pixel names its source.
class CanvasEdgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        setSysColor(COLOR_BTNHIGHLIGHT, 0x0000FF);
        setSysColor(COLOR_3DLIGHT, 0x00FF00);
        setSysColor(COLOR_BTNSHADOW, 0xFF0000);
        setSysColor(COLOR_3DDKSHADOW, 0x000080);
        setSysColor(COLOR_BTNFACE, 0x008080);
    }
    void TearDown() override { resetSysColors(); }

    const std::map<TColor, char> legend = {{clWhite, '.'},  {0x0000FF, 'H'}, {0x00FF00, 'L'},
                                           {0xFF0000, 'S'}, {0x000080, 'D'}, {0x008080, 'f'}};
};

struct EdgeCase {
    const char* name;
    unsigned edge;
    unsigned flags;
    const char* expected;
};

class CanvasEdgePatternTest : public CanvasEdgeTest,
                              public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(CanvasEdgePatternTest, DrawsEachBorderInItsSystemColour) {
    QImage image = blankImage(8, 7);
    Canvas canvas(image);
    canvas.drawEdge(QRect(1, 1, 6, 5), GetParam().edge, GetParam().flags);
    EXPECT_EQ(picture(image, image.rect(), legend), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanvasEdgePatternTest,
    ::testing::Values(
        // Light outer and highlight inner top-left; the bottom-right colours take the corners.
        EdgeCase{"Raised", EDGE_RAISED, BF_RECT,
                 "........\n"
                 ".LLLLLD.\n"
                 ".LHHHSD.\n"
                 ".LH..SD.\n"
                 ".LSSSSD.\n"
                 ".DDDDDD.\n"
                 "........\n"},
        EdgeCase{"Sunken", EDGE_SUNKEN, BF_RECT,
                 "........\n"
                 ".SSSSSH.\n"
                 ".SDDDLH.\n"
                 ".SD..LH.\n"
                 ".SLLLLH.\n"
                 ".HHHHHH.\n"
                 "........\n"},
        EdgeCase{"SunkenOuterOnly", BDR_SUNKENOUTER, BF_RECT,
                 "........\n"
                 ".SSSSSH.\n"
                 ".S....H.\n"
                 ".S....H.\n"
                 ".S....H.\n"
                 ".HHHHHH.\n"
                 "........\n"},
        // An inner border alone is drawn where the outer one goes.
        EdgeCase{"RaisedInnerOnly", BDR_RAISEDINNER, BF_RECT,
                 "........\n"
                 ".HHHHHS.\n"
                 ".H....S.\n"
                 ".H....S.\n"
                 ".H....S.\n"
                 ".SSSSSS.\n"
                 "........\n"},
        EdgeCase{"TopLeftOnly", EDGE_RAISED, BF_TOPLEFT,
                 "........\n"
                 ".LLLLLL.\n"
                 ".LHHHHH.\n"
                 ".LH.....\n"
                 ".LH.....\n"
                 ".LH.....\n"
                 "........\n"},
        // Without the top side the inner right line runs up to the top row.
        EdgeCase{"BottomRightOnly", EDGE_RAISED, BF_BOTTOMRIGHT,
                 "........\n"
                 ".....SD.\n"
                 ".....SD.\n"
                 ".....SD.\n"
                 ".SSSSSD.\n"
                 ".DDDDDD.\n"
                 "........\n"},
        EdgeCase{"Soft", EDGE_RAISED, BF_RECT | BF_SOFT,
                 "........\n"
                 ".HHHHHD.\n"
                 ".HLLLSD.\n"
                 ".HL..SD.\n"
                 ".HSSSSD.\n"
                 ".DDDDDD.\n"
                 "........\n"},
        EdgeCase{"Flat", EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE,
                 "........\n"
                 ".SSSSSS.\n"
                 ".SffffS.\n"
                 ".SffffS.\n"
                 ".SffffS.\n"
                 ".SSSSSS.\n"
                 "........\n"},
        EdgeCase{"Middle", EDGE_SUNKEN, BF_RECT | BF_MIDDLE,
                 "........\n"
                 ".SSSSSH.\n"
                 ".SDDDLH.\n"
                 ".SDffLH.\n"
                 ".SLLLLH.\n"
                 ".HHHHHH.\n"
                 "........\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CanvasEdgeTest, AdjustShrinksByTheBorderWidth) {
    QImage image = blankImage(20, 20);
    Canvas canvas(image);
    EXPECT_EQ(canvas.drawEdge(QRect(2, 2, 10, 8), EDGE_SUNKEN, BF_RECT | BF_ADJUST),
              QRect(4, 4, 6, 4));
    EXPECT_EQ(canvas.drawEdge(QRect(2, 2, 10, 8), BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST),
              QRect(3, 3, 9, 7));
    EXPECT_EQ(canvas.drawEdge(QRect(2, 2, 10, 8), EDGE_SUNKEN, BF_RECT), QRect(2, 2, 10, 8));
}

// The range gauge: 3 pixels high, its lowered bevel drawn as two half edges.
TEST_F(CanvasEdgeTest, LoweredBevelOfAThreePixelGauge) {
    QImage image = blankImage(8, 3);
    Canvas canvas(image);
    canvas.drawEdge(image.rect(), BDR_SUNKENOUTER, BF_LEFT | BF_TOP);
    canvas.drawEdge(image.rect(), BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM);
    EXPECT_EQ(picture(image, image.rect(), legend), "SSSSSSSH\n"
                                                    "S......H\n"
                                                    "HHHHHHHH\n");
}

} // namespace
