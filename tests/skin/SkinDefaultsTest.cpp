#include "SkinTestSupport.h"
#include "skin/AHMFadingLabel.h"
#include "skin/DxfProgressBar.h"
#include "skin/GradBox.h"
#include "skin/ShadowLabel.h"
#include "skin/ShineSpeedButton.h"

#include <gtest/gtest.h>

namespace {

struct DefaultCase {
    const char* className;
    const char* property;
    QVariant expected;
};

std::ostream& operator<<(std::ostream& out, const DefaultCase& c) {
    return out << c.className << "." << c.property;
}

class SkinDefaults : public ::testing::TestWithParam<DefaultCase> {};

// Created by class name through the form loader, as the windows create them.
TEST_P(SkinDefaults, PublishedPropertyStartsAtItsDefault) {
    const DefaultCase& c = GetParam();
    auto host = makeHost(600, 300);
    loadInto(*host, QStringLiteral("object Probe: %1\nend").arg(c.className));
    QObject* probe = host->findChild<QObject*>(QStringLiteral("Probe"));
    ASSERT_NE(probe, nullptr);
    EXPECT_STREQ(probe->metaObject()->className(), c.className);
    const QVariant value = readProperty(probe, QString::fromLatin1(c.property));
    ASSERT_TRUE(value.isValid()) << c.property;
    if (c.expected.typeId() == QMetaType::QString)
        EXPECT_EQ(value.toString(), c.expected.toString());
    else
        EXPECT_EQ(value.toLongLong(), c.expected.toLongLong());
}

QVariant v(int value) {
    return QVariant(value);
}

INSTANTIATE_TEST_SUITE_P(GradBox, SkinDefaults,
                         ::testing::Values(DefaultCase{"TGradBox", "CaptionLeft", v(10)},
                                           DefaultCase{"TGradBox", "CaptionTop", v(10)},
                                           DefaultCase{"TGradBox", "TopColor", v(clGreen)},
                                           DefaultCase{"TGradBox", "LastColor", v(clLime)},
                                           DefaultCase{"TGradBox", "OutLineColor", v(clBlack)},
                                           DefaultCase{"TGradBox", "DrawOutLine", v(false)},
                                           DefaultCase{"TGradBox", "GradStyle", v(gsTopBottom)},
                                           DefaultCase{"TGradBox", "Font3D", v(false)},
                                           DefaultCase{"TGradBox", "FontDepth", v(1)},
                                           DefaultCase{"TGradBox", "Style3D", v(fsRaise3D)},
                                           DefaultCase{"TGradBox", "BackFont", v(clYellow)},
                                           DefaultCase{"TGradBox", "Width", v(200)},
                                           DefaultCase{"TGradBox", "Height", v(100)}));

INSTANTIATE_TEST_SUITE_P(
    ShadowLabel, SkinDefaults,
    ::testing::Values(DefaultCase{"TShadowLabel", "Ellipsis", v(elNone)},
                      DefaultCase{"TShadowLabel", "Flickerless", v(true)},
                      DefaultCase{"TShadowLabel", "GradateVert", v(false)},
                      DefaultCase{"TShadowLabel", "Gradation", v(false)},
                      DefaultCase{"TShadowLabel", "GradationColor", v(clBlue)},
                      DefaultCase{"TShadowLabel", "Highlight.Visible", v(true)},
                      DefaultCase{"TShadowLabel", "Highlight.Color", v(clWhite)},
                      DefaultCase{"TShadowLabel", "Highlight.OffsetLeft", v(-1)},
                      DefaultCase{"TShadowLabel", "Highlight.OffsetTop", v(-1)},
                      DefaultCase{"TShadowLabel", "Shadow.Visible", v(true)},
                      DefaultCase{"TShadowLabel", "Shadow.Color", v(clSilver)},
                      DefaultCase{"TShadowLabel", "Shadow.OffsetLeft", v(1)},
                      DefaultCase{"TShadowLabel", "Shadow.OffsetTop", v(1)},
                      DefaultCase{"TShadowLabel", "TextGradation", v(tgNone)},
                      DefaultCase{"TShadowLabel", "TextGradationColor", v(clMaroon)},
                      DefaultCase{"TShadowLabel", "TextMidColor", v(clNavy)},
                      DefaultCase{"TShadowLabel", "ShowAccelChar", v(true)},
                      DefaultCase{"TShadowLabel", "Transparent", v(false)},
                      DefaultCase{"TShadowLabel", "AutoSize", v(true)}));

INSTANTIATE_TEST_SUITE_P(
    ShineSpeedButton, SkinDefaults,
    ::testing::Values(
        DefaultCase{"TShineSpeedButton", "GroupIndex", v(0)},
        DefaultCase{"TShineSpeedButton", "Down", v(false)},
        DefaultCase{"TShineSpeedButton", "ClickDownHook", v(false)},
        DefaultCase{"TShineSpeedButton", "AccelCharDown", v(false)},
        DefaultCase{"TShineSpeedButton", "FrameType", v(ftNormalFrame)},
        DefaultCase{"TShineSpeedButton", "Transparent", v(false)},
        DefaultCase{"TShineSpeedButton", "ActiveFrame", v(true)},
        DefaultCase{"TShineSpeedButton", "UpFrame", v(true)},
        DefaultCase{"TShineSpeedButton", "DownFrame", v(true)},
        DefaultCase{"TShineSpeedButton", "ActiveImage", v(aiFrameLight)},
        DefaultCase{"TShineSpeedButton", "DisabledImage", v(diDefault)},
        DefaultCase{"TShineSpeedButton", "DisabledHighlight", v(clBtnHighlight)},
        DefaultCase{"TShineSpeedButton", "DisabledShadow", v(clBtnShadow)},
        DefaultCase{"TShineSpeedButton", "Colors.Color", v(clBtnFace)},
        DefaultCase{"TShineSpeedButton", "Colors.Highlight", v(clBtnHighlight)},
        DefaultCase{"TShineSpeedButton", "Colors.Shadow", v(clBtnShadow)},
        DefaultCase{"TShineSpeedButton", "Colors.DarkShadow", v(clWindowFrame)},
        DefaultCase{"TShineSpeedButton", "Colors.GradColor", v(clBlue)},
        DefaultCase{"TShineSpeedButton", "Colors.GradVertical", v(false)},
        DefaultCase{"TShineSpeedButton", "Colors.Gradation", v(false)},
        DefaultCase{"TShineSpeedButton", "PressedColors.Color", v(clBtnHighlight)},
        DefaultCase{"TShineSpeedButton", "PressedColors.Highlight", v(clBtnHighlight)},
        DefaultCase{"TShineSpeedButton", "PressedColors.DarkShadow", v(clWindowFrame)},
        DefaultCase{"TShineSpeedButton", "ShineColor", v(clYellow)},
        DefaultCase{"TShineSpeedButton", "FontHighlight", v(clNone)},
        DefaultCase{"TShineSpeedButton", "FontShadow", v(clNone)},
        DefaultCase{"TShineSpeedButton", "AllowAllUp", v(false)},
        DefaultCase{"TShineSpeedButton", "Layout", v(blGlyphLeft)},
        DefaultCase{"TShineSpeedButton", "Margin", v(-1)},
        DefaultCase{"TShineSpeedButton", "Spacing", v(4)},
        DefaultCase{"TShineSpeedButton", "Caption", QVariant(QString())},
        DefaultCase{"TShineSpeedButton", "Width", v(25)},
        DefaultCase{"TShineSpeedButton", "Height", v(25)}));

INSTANTIATE_TEST_SUITE_P(
    DxfProgressBar, SkinDefaults,
    ::testing::Values(DefaultCase{"TdxfProgressBar", "BarBevelOuter", v(skin::bvNone)},
                      DefaultCase{"TdxfProgressBar", "BevelOuter", v(skin::bvLowered)},
                      DefaultCase{"TdxfProgressBar", "Orientation", v(orHorizontal)},
                      DefaultCase{"TdxfProgressBar", "Max", v(100)},
                      DefaultCase{"TdxfProgressBar", "Min", v(0)},
                      DefaultCase{"TdxfProgressBar", "Position", v(0)},
                      DefaultCase{"TdxfProgressBar", "ShowText", v(false)},
                      DefaultCase{"TdxfProgressBar", "ShowTextStyle", v(stsPercent)},
                      DefaultCase{"TdxfProgressBar", "BeginColor", v(clNavy)},
                      DefaultCase{"TdxfProgressBar", "EndColor", v(clWhite)},
                      DefaultCase{"TdxfProgressBar", "Style", v(sRectangles)},
                      DefaultCase{"TdxfProgressBar", "Step", v(10)},
                      DefaultCase{"TdxfProgressBar", "TransparentGlyph", v(true)},
                      DefaultCase{"TdxfProgressBar", "Width", v(150)},
                      DefaultCase{"TdxfProgressBar", "Height", v(16)}));

INSTANTIATE_TEST_SUITE_P(
    AHMFadingLabel, SkinDefaults,
    ::testing::Values(DefaultCase{"TAHMFadingLabel", "Showing", v(false)},
                      DefaultCase{"TAHMFadingLabel", "Fade", v(true)},
                      DefaultCase{"TAHMFadingLabel", "BetweenColors", v(16)},
                      DefaultCase{"TAHMFadingLabel", "FadeAlltheTime", v(true)},
                      DefaultCase{"TAHMFadingLabel", "FadeSpeed", v(2)},
                      DefaultCase{"TAHMFadingLabel", "About", QVariant(QString())},
                      DefaultCase{"TAHMFadingLabel", "Transparent", v(true)}));

TEST(SkinDefaults, ButtonFontsStartInTheirOwnColours) {
    TShineSpeedButton button(nullptr);
    EXPECT_EQ(button.Font().color(), clBtnText);
    EXPECT_EQ(button.ActiveFont().color(), clHighlight);
    EXPECT_TRUE(button.Glyph().isNull());
}

// The main window's descriptions set sub-objects and fonts by dotted names.
TEST(SkinForms, SubObjectsAndFontsAreSetFromFormDescriptions) {
    auto host = makeHost(484, 214, clBlack);
    loadInto(*host, QStringLiteral(R"(
  object Label: TShadowLabel
    Caption = 'x'
    Highlight.Visible = False
    Highlight.Color = clWhite
    Shadow.Color = clRed
    TextGradation = tg3Colors
  end
  object Button: TShineSpeedButton
    Colors.Color = clAqua
    Colors.Gradation = True
    PressedColors.GradColor = clNavy
    ActiveFont.Color = clWhite
    ActiveFont.Style = [fsBold]
    FontHighlight = 8388672
  end
  object Bar: TdxfProgressBar
    BevelOuter = bvLowered
    BarBevelOuter = bvNone
    Style = sExSolid
  end)"));
    auto* label = host->findChild<TShadowLabel*>(QStringLiteral("Label"));
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->Highlight()->Visible());
    EXPECT_EQ(label->Shadow()->Color(), clRed);
    EXPECT_EQ(label->TextGradation(), tg3Colors);
    auto* button = host->findChild<TShineSpeedButton*>(QStringLiteral("Button"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Colors()->Color(), clAqua);
    EXPECT_TRUE(button->Colors()->Gradation());
    EXPECT_EQ(button->PressedColors()->GradColor(), clNavy);
    EXPECT_EQ(button->ActiveFont().color(), clWhite);
    EXPECT_EQ(button->ActiveFont().style(), TFontStyles(fsBold));
    EXPECT_EQ(button->FontHighlight(), 0x00800040);
    auto* bar = host->findChild<TdxfProgressBar*>(QStringLiteral("Bar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->BevelOuter(), skin::bvLowered);
    EXPECT_EQ(bar->Style(), sExSolid);
}

} // namespace
