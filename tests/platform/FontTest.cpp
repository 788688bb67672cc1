#include "CanvasTestSupport.h"
#include "platform/TBrush.h"
#include "platform/TFont.h"
#include "platform/TPen.h"

#include <QFont>
#include <QFontInfo>
#include <gtest/gtest.h>

namespace {

using canvastest::blankImage;

TEST(Font, DefaultsAreTheWindowFontAtTwelvePixels) {
    const TFont font;
    EXPECT_EQ(font.name(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(font.height(), -12);
    EXPECT_EQ(font.size(), 9);
    EXPECT_EQ(font.color(), clWindowText);
    EXPECT_EQ(font.style(), TFontStyles());
    EXPECT_EQ(font.charset(), DEFAULT_CHARSET);
}

TEST(Font, SizeInPointsAndHeightInPixelsFollowNinetySixDpi) {
    TFont font;
    font.setSize(8);
    EXPECT_EQ(font.height(), -11);
    font.setSize(9);
    EXPECT_EQ(font.height(), -12);
    font.setHeight(-11);
    EXPECT_EQ(font.size(), 8);
}

TEST(Font, ReportsOnlyRealChangesAndEveryAssign) {
    TFont font;
    int changes = 0;
    font.onChange = [&] { ++changes; };
    font.setColor(clWindowText);
    font.setHeight(-12);
    EXPECT_EQ(changes, 0);
    font.setColor(clWhite);
    font.setStyle(fsBold | fsUnderline);
    EXPECT_EQ(changes, 2);
    TFont other;
    font.assign(other);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(font, other);

    // A copy carries the values, never the handler; assigning keeps the target's handler.
    TFont copy(font);
    EXPECT_FALSE(copy.onChange);
    copy.setColor(clRed);
    font = copy;
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(font.color(), clRed);
}

TEST(PenAndBrush, ReportChangesAndAClearBrushTurnsSolidWhenColoured) {
    TPen pen;
    int penChanges = 0;
    pen.onChange = [&] { ++penChanges; };
    pen.setColor(clBlack);
    pen.setMode(pmXor);
    pen.setWidth(1);
    EXPECT_EQ(penChanges, 1);

    TBrush brush;
    int brushChanges = 0;
    brush.onChange = [&] { ++brushChanges; };
    brush.setStyle(bsClear);
    brush.setColor(clWhite);
    EXPECT_EQ(brush.style(), bsSolid);
    EXPECT_EQ(brushChanges, 2);
    brush.setColor(clWhite);
    EXPECT_EQ(brushChanges, 2);
}

struct FamilyCase {
    const char* name;
    const char* family;
};

class FontSubstitutionTest : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(FontSubstitutionTest, DesignedForFamiliesResolveToTheIpaFonts) {
    TFont font;
    font.setName(QString::fromUtf8(GetParam().name));
    const QFont qfont = font.toQFont();
    EXPECT_EQ(QFontInfo(qfont).family(), QString::fromUtf8(GetParam().family));
    EXPECT_EQ(qfont.pixelSize(), 12);
    EXPECT_TRUE(qfont.styleStrategy() & QFont::NoAntialias);
}

INSTANTIATE_TEST_SUITE_P(Table, FontSubstitutionTest,
                         ::testing::Values(FamilyCase{"ＭＳ Ｐゴシック", "IPAPGothic"},
                                           FamilyCase{"MS PGothic", "IPAPGothic"},
                                           FamilyCase{"ＭＳ ゴシック", "IPAGothic"}));

TEST(FontMetrics, ElevenPixelGothicMeasuresAsDesigned) {
    QImage image = blankImage(40, 20);
    platform::Canvas canvas(image);
    canvas.font().setHeight(-11);
    const platform::TextMetrics tm = canvas.textMetrics();
    // The designed family's cell, as high as the em with 220/256 of it above the baseline.
    EXPECT_EQ(tm.tmHeight, 11);
    EXPECT_EQ(tm.tmAscent, 9);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmInternalLeading, 0);
    EXPECT_EQ(tm.tmExternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, 5);
    EXPECT_EQ(tm.tmOverhang, 0);
    EXPECT_EQ(tm.tmWeight, 400);
    EXPECT_TRUE(tm.tmPitchAndFamily & platform::TMPF_TRUETYPE);
    EXPECT_TRUE(tm.tmPitchAndFamily & platform::TMPF_FIXED_PITCH); // variable pitch
    EXPECT_EQ(canvas.textExtent(QStringLiteral("変換")), QSize(22, 11));
    EXPECT_EQ(canvas.textWidth(QStringLiteral("INFO.")), 29);

    canvas.font().setHeight(-12);
    EXPECT_EQ(canvas.textMetrics().tmHeight, 12);
    EXPECT_EQ(canvas.textMetrics().tmAscent, 10);
    EXPECT_EQ(canvas.textWidth(QStringLiteral("変換")), 24);

    // Asked for by its own name, the stand-in keeps its own, taller cell.
    canvas.font().setName(QStringLiteral("IPAPGothic"));
    canvas.font().setHeight(-11);
    EXPECT_EQ(canvas.textMetrics().tmHeight, 12);
}

TEST(FontMetrics, PositiveHeightAsksForTheCellHeight) {
    QImage image = blankImage(10, 10);
    platform::Canvas canvas(image);
    canvas.font().setHeight(12);
    EXPECT_EQ(canvas.textMetrics().tmHeight, 12);
    EXPECT_EQ(canvas.font().pixelSize(), 12);

    canvas.font().setName(QStringLiteral("IPAPGothic"));
    EXPECT_EQ(canvas.textMetrics().tmHeight, 12);
    EXPECT_EQ(canvas.font().pixelSize(), 11);
}

// The minimise button's caption: drawn low in its cell, it vanished under the button's frame
// while the stand-in's taller cell pushed it a row down.
TEST(FontRendering, FullWidthLowLineLiesOnTheCellsLastRow) {
    QImage image = blankImage(20, 20);
    platform::Canvas canvas(image);
    canvas.font().setHeight(-11);
    canvas.font().setColor(clBlack);
    canvas.brush().setStyle(bsClear);
    canvas.textOut(0, 0, QStringLiteral("＿"));
    const auto ink = canvastest::inked(image, clWhite);
    ASSERT_FALSE(ink.empty());
    for (const auto& [x, y] : ink)
        EXPECT_EQ(y, canvas.textMetrics().tmHeight - 1) << x;
}

TEST(FontRendering, GlyphsAreDrawnInExactlyTwoColours) {
    QImage image = blankImage(80, 16);
    platform::Canvas canvas(image);
    canvas.font().setHeight(-11);
    canvas.font().setColor(clNavy);
    canvas.brush().setStyle(bsClear);
    canvas.textOut(2, 2, QStringLiteral("変換元：Ag"));
    EXPECT_EQ(canvastest::colours(image),
              (std::set<QRgb>{platform::toQRgb(clWhite), platform::toQRgb(clNavy)}));

    canvas.font().setStyle(fsBold);
    canvas.textOut(2, 2, QStringLiteral("INFO."));
    EXPECT_EQ(canvastest::colours(image).size(), 2u);
}

} // namespace
