#include "platform/Colors.h"

#include <gtest/gtest.h>

namespace {

using platform::colorFromName;
using platform::colorToRgb;

struct SchemeCase {
    TColor color;
    std::uint32_t rgb;
};

class ColorsToRgbTest : public ::testing::TestWithParam<SchemeCase> {};

TEST_P(ColorsToRgbTest, ResolvesSystemColoursAndMasksPlainOnes) {
    EXPECT_EQ(colorToRgb(GetParam().color), GetParam().rgb);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColorsToRgbTest,
    ::testing::Values(SchemeCase{clBtnFace, 0xC0C0C0}, SchemeCase{clBtnShadow, 0x808080},
                      SchemeCase{clBtnHighlight, 0xFFFFFF}, SchemeCase{clBtnText, 0x000000},
                      SchemeCase{clWindow, 0xFFFFFF}, SchemeCase{clWindowText, 0x000000},
                      SchemeCase{clWindowFrame, 0x000000}, SchemeCase{clHighlight, 0x800000},
                      SchemeCase{clHighlightText, 0xFFFFFF}, SchemeCase{clGrayText, 0x808080},
                      SchemeCase{clInfoBk, 0xE1FFFF}, SchemeCase{clInfoText, 0x000000},
                      SchemeCase{cl3DDkShadow, 0x000000}, SchemeCase{cl3DLight, 0xC0C0C0},
                      SchemeCase{clActiveCaption, 0x800000}, SchemeCase{clRed, 0x0000FF},
                      SchemeCase{clNavy, 0x800000}, SchemeCase{clNone, 0xFFFFFF},
                      SchemeCase{clDefault, 0x000000}, SchemeCase{TColor(0x12345678), 0x345678},
                      // Unknown system indices read as black, like the platform's table.
                      SchemeCase{TColor(0x80000019), 0}, SchemeCase{TColor(0x800000FF), 0}));

TEST(Colors, ChannelsAndConversionsKeepRedInTheLowByte) {
    EXPECT_EQ(platform::rgb(1, 2, 3), 0x030201);
    EXPECT_EQ(platform::getRValue(0x030201), 1);
    EXPECT_EQ(platform::getGValue(0x030201), 2);
    EXPECT_EQ(platform::getBValue(0x030201), 3);
    EXPECT_EQ(platform::toQRgb(clRed), qRgb(255, 0, 0));
    EXPECT_EQ(platform::toQRgb(clHighlight), qRgb(0, 0, 128));
    EXPECT_EQ(platform::fromQColor(QColor(10, 20, 30)), platform::rgb(10, 20, 30));
    EXPECT_EQ(platform::swapRedBlue(0x00112233u), 0x00332211u);
    EXPECT_TRUE(platform::isSystemColor(clBtnFace));
    EXPECT_FALSE(platform::isSystemColor(clNone));
}

TEST(Colors, SchemeChangesAreSeenUntilReset) {
    platform::setSysColor(platform::COLOR_BTNFACE, 0x123456);
    EXPECT_EQ(colorToRgb(clBtnFace), 0x123456u);
    platform::resetSysColors();
    EXPECT_EQ(colorToRgb(clBtnFace), 0xC0C0C0u);
}

struct NameCase {
    const char* text;
    std::optional<TColor> expected;
};

class ColorNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ColorNameTest, ReadsNamesHexadecimalAndDecimal) {
    EXPECT_EQ(colorFromName(QString::fromUtf8(GetParam().text)), GetParam().expected)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColorNameTest,
    ::testing::Values(NameCase{"clBlack", clBlack}, NameCase{"clbtnface", clBtnFace},
                      NameCase{"clInfoBk", clInfoBk}, NameCase{"cl3DDkShadow", cl3DDkShadow},
                      NameCase{"clNone", clNone}, NameCase{"clLtGray", clSilver},
                      NameCase{"$00FF00FF", clFuchsia}, NameCase{"$80000014", clBtnHighlight},
                      NameCase{"0x00800040", 0x800040}, NameCase{"2105376", 0x202020},
                      NameCase{"-2147483633", clBtnFace}, NameCase{" clWhite ", clWhite},
                      NameCase{"", std::nullopt}, NameCase{"clPink", std::nullopt},
                      NameCase{"$", std::nullopt}, NameCase{"$1FFFFFFFF", std::nullopt},
                      NameCase{"12abc", std::nullopt}));

TEST(Colors, NamesRoundTrip) {
    EXPECT_EQ(platform::colorToString(clBtnFace), QStringLiteral("clBtnFace"));
    EXPECT_EQ(platform::colorToString(clSilver), QStringLiteral("clSilver"));
    EXPECT_EQ(platform::colorToString(0x202020), QStringLiteral("$00202020"));
    EXPECT_EQ(colorFromName(platform::colorToString(0x00800040)), 0x00800040);
}

} // namespace
