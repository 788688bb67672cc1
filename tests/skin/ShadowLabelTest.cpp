#include "skin/ShadowLabel.h"

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct StepCase {
    int step;
    int steps;
    int red;
};

class ShadowLabelSteps : public ::testing::TestWithParam<StepCase> {};

// Truncation, not rounding: a four-step ramp of one channel from 0 to 255 gives 0, 84, 169, 255.
TEST_P(ShadowLabelSteps, ChannelIsTruncated) {
    const StepCase& c = GetParam();
    EXPECT_EQ(TShadowLabel::gradientStep(clBlack, clRed, c.step, c.steps),
              platform::rgb(c.red, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Ramp, ShadowLabelSteps,
                         ::testing::Values(StepCase{0, 4, 0}, StepCase{1, 4, 84},
                                           StepCase{2, 4, 169}, StepCase{3, 4, 255},
                                           StepCase{0, 1, 0}, StepCase{5, 11, 127}));

TEST(ShadowLabel, GradientBitmapsComputeOneLineAndCopyIt) {
    QImage vertical(3, 4, QImage::Format_RGB32);
    TShadowLabel::gradBitmap(vertical, clBlack, clRed, true);
    QImage horizontal(4, 2, QImage::Format_RGB32);
    TShadowLabel::gradBitmap(horizontal, clBlack, clRed, false);
    const int reds[] = {0, 84, 169, 255};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pixelAt(vertical, 2, i), platform::rgb(reds[i], 0, 0));
        EXPECT_EQ(pixelAt(horizontal, i, 1), platform::rgb(reds[i], 0, 0));
    }
    QImage empty(0, 5, QImage::Format_RGB32);
    TShadowLabel::gradBitmap(empty, clBlack, clRed, true); // nothing to do, no crash
}

// The main window's field captions: a silver copy one pixel right and down.
TShadowLabel* fieldCaption(TPanel& host, const QString& caption) {
    auto* label = new TShadowLabel(&host);
    label->setAutoSize(false);
    label->setBounds(0, 0, 80, 15);
    label->setTransparent(true);
    label->setLayout(tlCenter);
    label->Highlight()->setVisible(false);
    label->Font().setHeight(-11);
    label->setCaption(caption);
    return label;
}

TEST(ShadowLabel, ShadowIsTheCaptionMovedOnePixelRightAndDown) {
    auto host = makeHost(80, 15, clBlack);
    auto* label = fieldCaption(*host, QStringLiteral("0"));
    label->Font().setColor(clWhite);
    const QRect area(0, 0, 80, 15);
    const QImage image = host->renderToImage();
    const PixelSet text = pixelsOf(image, clWhite, area);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(pixelsOf(image, clSilver, area), shiftedOutside(text, 1, 1));
}

TEST(ShadowLabel, HighlightIsDrawnOverTheShadowAndUnderTheCaption) {
    auto host = makeHost(80, 15, clBlack);
    auto* label = fieldCaption(*host, QStringLiteral("I"));
    label->Font().setColor(clWhite);
    label->Shadow()->setVisible(false);
    label->Highlight()->setVisible(true);
    label->Highlight()->setColor(clRed);
    const QRect area(0, 0, 80, 15);
    const QImage image = host->renderToImage();
    const PixelSet text = pixelsOf(image, clWhite, area);
    EXPECT_EQ(pixelsOf(image, clRed, area), shiftedOutside(text, -1, -1));
}

TEST(ShadowLabel, TwoColourCaptionRunsFromFontColourToGradationColour) {
    auto host = makeHost(80, 15, clBlack);
    auto* label = fieldCaption(*host, QStringLiteral("計："));
    label->Shadow()->setVisible(false);
    label->Font().setColor(clBlue);
    label->setTextGradation(tg2Colors);
    label->setTextGradationColor(clAqua);
    const QImage image = host->renderToImage();

    QImage scratch(1, 1, QImage::Format_RGB32);
    platform::Canvas canvas(scratch);
    canvas.font().assign(label->Font());
    const int firstWidth = canvas.textWidth(QStringLiteral("計"));
    const PixelSet blue = pixelsOf(image, clBlue, QRect(0, 0, 80, 15));
    const PixelSet aqua = pixelsOf(image, clAqua, QRect(0, 0, 80, 15));
    ASSERT_FALSE(blue.empty());
    ASSERT_FALSE(aqua.empty());
    for (const auto& [x, y] : blue)
        EXPECT_LT(x, firstWidth);
    for (const auto& [x, y] : aqua)
        EXPECT_GE(x, firstWidth);
}

TEST(ShadowLabel, ThreeColourSplitKeepsADoubleByteRestInTheLastColour) {
    // "ab" + one double-byte character: four bytes, the first run "ab" ends in the middle
    // colour and the rest, a single character, is drawn in the last colour alone.
    auto host = makeHost(80, 15, clBlack);
    auto* label = fieldCaption(*host, QStringLiteral("llあ"));
    label->Shadow()->setVisible(false);
    label->Font().setColor(clRed);
    label->setTextGradation(tg3Colors);
    label->setTextMidColor(clLime);
    label->setTextGradationColor(clBlue);
    const QImage image = host->renderToImage();
    const QRect area(0, 0, 80, 15);
    EXPECT_FALSE(pixelsOf(image, clRed, area).empty());
    EXPECT_FALSE(pixelsOf(image, clLime, area).empty());
    EXPECT_FALSE(pixelsOf(image, clBlue, area).empty());
}

TEST(ShadowLabel, DisabledLabelTakesTheButtonColours) {
    auto host = makeHost(80, 15, clBlack);
    auto* label = fieldCaption(*host, QStringLiteral("H"));
    label->Font().setColor(clWhite);
    label->Shadow()->setVisible(false);
    const QRect area(0, 0, 80, 15);
    const PixelSet text = pixelsOf(host->renderToImage(), clWhite, area);
    ASSERT_FALSE(text.empty());

    label->Shadow()->setVisible(true);
    label->setEnabled(false);
    const QImage image = host->renderToImage();
    // The grey shadow and the caption in the button-shadow colour (grey as well).
    PixelSet expected = text;
    const PixelSet shadow = shiftedOutside(text, 1, 1);
    expected.insert(shadow.begin(), shadow.end());
    ASSERT_EQ(painted(clBtnShadow), painted(clGray));
    EXPECT_EQ(pixelsOf(image, clBtnShadow, area), expected);
    EXPECT_TRUE(pixelsOf(image, clWhite, area).empty());
    EXPECT_TRUE(pixelsOf(image, clSilver, area).empty());
}

class ShadowLabelBackground : public ::testing::TestWithParam<bool> {};

// Off-screen or straight on the parent, the background gradient is the same.
TEST_P(ShadowLabelBackground, VerticalGradientRunsFromGradationColourToColour) {
    auto host = makeHost(20, 4, clRed);
    auto* label = new TShadowLabel(host.get());
    label->setAutoSize(false);
    label->setBounds(0, 0, 20, 4);
    label->setFlickerless(GetParam());
    label->setGradation(true);
    label->setGradateVert(true);
    label->setGradationColor(clBlack);
    label->setColor(clRed);
    const QImage image = host->renderToImage();
    const int reds[] = {0, 84, 169, 255};
    for (int y = 0; y < 4; ++y)
        for (int x : {0, 19})
            EXPECT_EQ(pixelAt(image, x, y), platform::rgb(reds[y], 0, 0)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(FlickerlessOnAndOff, ShadowLabelBackground, ::testing::Bool());

TEST(ShadowLabel, AssigningAShadowCopiesIntoTheOwnedObject) {
    TShadowLabel label(nullptr);
    TShadow* owned = label.Shadow();
    TShadow other;
    other.setColor(clRed);
    other.setOffsetLeft(3);
    label.setShadow(&other);
    label.setShadow(nullptr);
    EXPECT_EQ(label.Shadow(), owned);
    EXPECT_EQ(owned->Color(), clRed);
    EXPECT_EQ(owned->OffsetLeft(), 3);
}

TEST(ShadowLabel, AssignReportsOnceEvenWithoutDifference) {
    TShadow shadow;
    int changes = 0;
    shadow.setOnChange([&] { ++changes; });
    shadow.assign(TShadow());
    EXPECT_EQ(changes, 1);
    shadow.setColor(clSilver);
    EXPECT_EQ(changes, 1);
}

} // namespace
