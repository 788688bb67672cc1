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
    EXPECT_EQ(tm.tmHeight, 12);
    EXPECT_EQ(tm.tmAscent, 10);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmInternalLeading, 1);
    EXPECT_EQ(tm.tmExternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, 5);
    EXPECT_EQ(tm.tmOverhang, 0);
    EXPECT_EQ(tm.tmWeight, 400);
    EXPECT_TRUE(tm.tmPitchAndFamily & platform::TMPF_TRUETYPE);
    EXPECT_TRUE(tm.tmPitchAndFamily & platform::TMPF_FIXED_PITCH); // variable pitch
    EXPECT_EQ(canvas.textExtent(QStringLiteral("変換")), QSize(22, 12));
    EXPECT_EQ(canvas.textWidth(QStringLiteral("INFO.")), 29);

    canvas.font().setHeight(-12);
    EXPECT_EQ(canvas.textMetrics().tmHeight, 13);
    EXPECT_EQ(canvas.textWidth(QStringLiteral("変換")), 24);
}

TEST(FontMetrics, PositiveHeightAsksForTheCellHeight) {
    QImage image = blankImage(10, 10);
    platform::Canvas canvas(image);
    canvas.font().setHeight(12);
    EXPECT_EQ(canvas.textMetrics().tmHeight, 12);
    EXPECT_EQ(canvas.font().pixelSize(), 11);
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
