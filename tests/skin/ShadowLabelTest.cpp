#include "skin/ShadowLabel.h"

#include "SkinTestSupport.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

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

// The colours a caption's characters are drawn in, one set per character cell from the left,
// each cell as wide as `character` is in the label's font.
std::vector<std::set<TColor>> colourOfEachCharacter(const QImage& image, TShadowLabel& label,
                                                    const QString& character, int count) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    platform::Canvas canvas(scratch);
    canvas.font().assign(label.Font());
    const int width = canvas.textWidth(character);
    std::vector<std::set<TColor>> colours(static_cast<std::size_t>(count));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < width * count; ++x)
            if (const TColor c = pixelAt(image, x, y); c != clBlack)
                colours[std::size_t(x / width)].insert(c);
    return colours;
}

struct RunCase {
    const char* caption;
    std::vector<TColor> colours; // of each character in turn
};

class ShadowLabelThreeColours : public ::testing::TestWithParam<RunCase> {};

// The first run ends at the middle byte in the middle colour; the rest starts from it again.
// Red, lime, blue: the middle of lime and blue is (0, 127, 127).
TEST_P(ShadowLabelThreeColours, SplitAtTheMiddleByte) {
    const RunCase& c = GetParam();
    auto host = makeHost(80, 15, clBlack);
    auto* label = fieldCaption(*host, QString::fromLatin1(c.caption));
    label->Shadow()->setVisible(false);
    label->Font().setColor(clRed);
    label->setTextGradation(tg3Colors);
    label->setTextMidColor(clLime);
    label->setTextGradationColor(clBlue);
    const auto colours = colourOfEachCharacter(host->renderToImage(), *label, QStringLiteral("H"),
                                               int(c.colours.size()));
    for (std::size_t k = 0; k < c.colours.size(); ++k)
        EXPECT_EQ(colours[k], std::set<TColor>{c.colours[k]}) << "character " << k;
}

INSTANTIATE_TEST_SUITE_P(Runs, ShadowLabelThreeColours,
                         ::testing::Values(RunCase{"HHH", {clRed, clLime, clBlue}},
                                           RunCase{"HHHHH",
                                                   {clRed, clLime, clLime,
                                                    platform::rgb(0, 127, 127), clBlue}}));

// Gradient runs are drawn character by character from the left edge; the shadow is one whole
// line, aligned as configured.
TEST(ShadowLabel, CentredGradientTextStartsAtTheLeftWhileItsShadowIsCentred) {
    auto host = makeHost(80, 15, clBlack);
    auto* label = fieldCaption(*host, QStringLiteral("HH"));
    label->setAlignment(taCenter);
    label->Font().setColor(clRed);
    label->setTextGradation(tg2Colors);
    label->setTextGradationColor(clBlue);
    const QImage image = host->renderToImage();
    const QRect area(0, 0, 80, 15);
    const PixelSet red = pixelsOf(image, clRed, area);
    const PixelSet shadow = pixelsOf(image, clSilver, area);
    ASSERT_FALSE(red.empty());
    ASSERT_FALSE(shadow.empty());
    EXPECT_LT(red.begin()->first, 4);
    EXPECT_GT(shadow.begin()->first, 30);
}

// Disabled, the characters keep their gradient; only the shadow turns grey.
TEST(ShadowLabel, DisabledGradientTextKeepsItsColours) {
    auto host = makeHost(80, 15, clBlack);
    auto* label = fieldCaption(*host, QStringLiteral("HH"));
    label->Font().setColor(clRed);
    label->setTextGradation(tg2Colors);
    label->setTextGradationColor(clBlue);
    label->setEnabled(false);
    const auto colours =
        colourOfEachCharacter(host->renderToImage(), *label, QStringLiteral("H"), 2);
    EXPECT_TRUE(colours[0].count(clRed)) << colours[0].size();
    EXPECT_TRUE(colours[1].count(clBlue)) << colours[1].size();
    EXPECT_TRUE(colours[1].count(painted(clGray)));
    EXPECT_FALSE(colours[0].count(clSilver));
}

// A transparent label paints no background, whatever its background settings say.
TEST(ShadowLabel, TransparentLabelLeavesTheParentVisible) {
    auto host = makeHost(20, 10, clBlack);
    auto* label = new TShadowLabel(host.get());
    label->setAutoSize(false);
    label->setBounds(0, 0, 20, 10);
    label->setCaption(QString());
    label->setTransparent(true);
    label->setGradation(true);
    label->setGradationColor(clRed);
    label->setColor(clBlue);
    const QImage image = host->renderToImage();
    EXPECT_TRUE(pixelsOf(image, clRed, QRect(0, 0, 20, 10)).empty());
    EXPECT_TRUE(pixelsOf(image, clBlue, QRect(0, 0, 20, 10)).empty());
}

// One pixel along the gradient is a run of one step: it takes the first colour.
TEST(ShadowLabel, OnePixelAlongTheGradientTakesTheFirstColour) {
    QImage column(1, 3, QImage::Format_RGB32);
    TShadowLabel::gradBitmap(column, clRed, clBlue, false);
    QImage row(3, 1, QImage::Format_RGB32);
    TShadowLabel::gradBitmap(row, clRed, clBlue, true);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pixelAt(column, 0, i), clRed);
        EXPECT_EQ(pixelAt(row, i, 0), clRed);
    }
}

} // namespace
