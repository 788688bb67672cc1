#include "SkinTestSupport.h"
#include "skin/AHMFadingLabel.h"
#include "skin/DxfProgressBar.h"
#include "skin/GradBox.h"
#include "skin/ShadowLabel.h"
#include "skin/ShineSpeedButton.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

// A setting made first (its own repaints are not counted), then the change under test.
struct RepaintCase {
    const char* className;
    const char* setting;
    QVariant settingValue;
    const char* property;
    QVariant value;
    int expected;
};

std::ostream& operator<<(std::ostream& out, const RepaintCase& c) {
    return out << c.className << " " << c.setting << " then " << c.property;
}

QObject* createCounting(const QString& className, QWidget* parent) {
    static const std::map<QString, std::function<QObject*(QWidget*)>> factories{
        {"TGradBox", [](QWidget* p) { return new Counting<TGradBox>(p); }},
        {"TShadowLabel", [](QWidget* p) { return new Counting<TShadowLabel>(p); }},
        {"TShineSpeedButton", [](QWidget* p) { return new Counting<TShineSpeedButton>(p); }},
        {"TdxfProgressBar", [](QWidget* p) { return new Counting<TdxfProgressBar>(p); }},
        {"TAHMFadingLabel", [](QWidget* p) { return new Counting<TAHMFadingLabel>(p); }},
    };
    return factories.at(className)(parent); // owned by the parent
}

class SkinRepaint : public ::testing::TestWithParam<RepaintCase> {};

TEST_P(SkinRepaint, SetterRepaintsOnlyWhenTheChangeShows) {
    const RepaintCase& c = GetParam();
    auto host = makeHost(200, 100);
    QObject* control = createCounting(QString::fromLatin1(c.className), host.get());
    auto* counts = dynamic_cast<RepaintCounts*>(control);
    ASSERT_NE(counts, nullptr);
    if (*c.setting != '\0') {
        ASSERT_TRUE(writeProperty(control, QString::fromLatin1(c.setting), c.settingValue));
    }
    counts->resetCounts();
    ASSERT_TRUE(writeProperty(control, QString::fromLatin1(c.property), c.value));
    EXPECT_EQ(counts->invalidations + counts->repaints, c.expected);
}

const QVariant none;

// clang-format off
INSTANTIATE_TEST_SUITE_P(GradBox, SkinRepaint, ::testing::Values(
    RepaintCase{"TGradBox", "", none, "TopColor", clRed, 1},
    RepaintCase{"TGradBox", "", none, "TopColor", clGreen, 0},
    RepaintCase{"TGradBox", "", none, "OutLineColor", clRed, 0},
    RepaintCase{"TGradBox", "DrawOutLine", true, "OutLineColor", clRed, 1},
    RepaintCase{"TGradBox", "", none, "BackFont", clRed, 0},
    RepaintCase{"TGradBox", "", none, "FontDepth", 3, 0},
    RepaintCase{"TGradBox", "Font3D", true, "FontDepth", 3, 1},
    RepaintCase{"TGradBox", "Font3D", true, "BackFont", clRed, 1},
    RepaintCase{"TGradBox", "", none, "GradStyle", int(gsNone), 1},
    RepaintCase{"TGradBox", "", none, "Caption", QStringLiteral("a"), 1}));

INSTANTIATE_TEST_SUITE_P(ShadowLabel, SkinRepaint, ::testing::Values(
    RepaintCase{"TShadowLabel", "", none, "TextGradationColor", clRed, 0},
    RepaintCase{"TShadowLabel", "TextGradation", int(tg2Colors), "TextGradationColor", clRed, 1},
    RepaintCase{"TShadowLabel", "TextGradation", int(tg2Colors), "TextMidColor", clRed, 0},
    RepaintCase{"TShadowLabel", "TextGradation", int(tg3Colors), "TextMidColor", clRed, 1},
    RepaintCase{"TShadowLabel", "", none, "Ellipsis", int(elNone), 0},
    RepaintCase{"TShadowLabel", "", none, "Flickerless", false, 0},
    RepaintCase{"TShadowLabel", "", none, "Shadow.Color", clRed, 1},
    RepaintCase{"TShadowLabel", "", none, "Shadow.OffsetLeft", 1, 0},
    RepaintCase{"TShadowLabel", "", none, "Highlight.OffsetTop", 2, 1}));

INSTANTIATE_TEST_SUITE_P(DxfProgressBar, SkinRepaint, ::testing::Values(
    RepaintCase{"TdxfProgressBar", "", none, "EndColor", clRed, 0},
    RepaintCase{"TdxfProgressBar", "Style", int(sExSolid), "EndColor", clRed, 1},
    RepaintCase{"TdxfProgressBar", "Style", int(sPictures), "BeginColor", clRed, 0},
    RepaintCase{"TdxfProgressBar", "", none, "ShowTextStyle", int(stsPosition), 0},
    RepaintCase{"TdxfProgressBar", "ShowText", true, "ShowTextStyle", int(stsPosition), 1},
    RepaintCase{"TdxfProgressBar", "", none, "Step", 3, 0},
    RepaintCase{"TdxfProgressBar", "Min", 10, "Max", 5, 0},
    RepaintCase{"TdxfProgressBar", "", none, "Max", 100, 0},
    RepaintCase{"TdxfProgressBar", "", none, "Min", 101, 0},
    RepaintCase{"TdxfProgressBar", "", none, "Position", 0, 0},
    RepaintCase{"TdxfProgressBar", "ShowText", true, "Position", 40, 2}));

INSTANTIATE_TEST_SUITE_P(ShineSpeedButton, SkinRepaint, ::testing::Values(
    RepaintCase{"TShineSpeedButton", "", none, "FrameType", int(ftFlatFrame), 1},
    RepaintCase{"TShineSpeedButton", "", none, "FrameType", int(ftNormalFrame), 0},
    RepaintCase{"TShineSpeedButton", "", none, "FontShadow", clNone, 1},
    RepaintCase{"TShineSpeedButton", "", none, "Colors.Color", clRed, 1},
    RepaintCase{"TShineSpeedButton", "", none, "PressedColors.Color", clBtnHighlight, 0},
    RepaintCase{"TShineSpeedButton", "", none, "Enabled", false, 1},
    RepaintCase{"TShineSpeedButton", "", none, "Down", true, 0}));

INSTANTIATE_TEST_SUITE_P(AHMFadingLabel, SkinRepaint, ::testing::Values(
    RepaintCase{"TAHMFadingLabel", "FadeSpeed", 1 << 30, "BetweenColors", 32, 0}));
// clang-format on

TEST(SkinRepaint, ButtonActiveFontChangeRepaints) {
    auto host = makeHost(50, 50);
    auto* button = new Counting<TShineSpeedButton>(host.get());
    button->resetCounts();
    button->ActiveFont().setHeight(-20);
    EXPECT_EQ(button->invalidations, 1);
}

} // namespace
