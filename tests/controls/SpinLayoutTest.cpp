// Layout, look and loading from a form description.
#include "SpinTestSupport.h"
#include "controls/SpinEditRegistration.h"
#include "framework/Form.h"
#include "framework/FormLoader.h"

#include <set>

namespace {

using spintest::painted;
using spintest::SpinEditTest;

struct Layout {
    const char* name;
    TFormBorderStyle border;
    bool ctl3D;
    QSize size;
    QRect button; // in the edit's coordinates
    QRect text;
};

class SpinLayout : public SpinEditTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(SpinLayout, PlacesButtonAndTextRectangle) {
    const Layout& row = GetParam();
    edit->setBorderStyle(row.border);
    edit->setCtl3D(row.ctl3D);
    edit->setBounds(10, 10, row.size.width(), row.size.height());

    const QRect button(edit->Button()->mapTo(edit, QPoint(0, 0)), edit->Button()->size());
    EXPECT_EQ(button, row.button);
    EXPECT_EQ(editor()->geometry(), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Borders, SpinLayout,
    ::testing::Values(
        // The main window's edits: 69 x 15 client area, 15-pixel button at client x 54, a text
        // rectangle 52 pixels wide.
        Layout{"Sunken", bsSingle, true, {73, 19}, {56, 2, 15, 15}, {2, 2, 52, 15}},
        Layout{"SunkenLarger", bsSingle, true, {100, 25}, {77, 2, 21, 21}, {2, 2, 73, 21}},
        Layout{"Flat", bsSingle, false, {73, 19}, {55, 1, 19, 19}, {1, 1, 50, 17}},
        Layout{"NoBorder", bsNone, true, {73, 19}, {54, 0, 19, 19}, {0, 0, 52, 19}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpinEditTest, HeightNeverGoesBelowTheFontsMinimum) {
    // The 11-pixel window font fits the main window's 19-pixel edits.
    EXPECT_LE(edit->MinHeight(), 19);
    EXPECT_EQ(edit->Height(), 19);

    edit->setHeight(8);
    EXPECT_EQ(edit->Height(), edit->MinHeight());
    EXPECT_EQ(edit->Button()->Width(), edit->MinHeight() - 4);

    edit->setBorderStyle(bsNone);
    EXPECT_EQ(edit->MinHeight(), edit->Height() - 4);
}

// The colours of the pixels in the text rectangle.
std::set<TColor> textAreaColours(TSpinEdit* edit) {
    const QImage image = edit->grab().toImage();
    std::set<TColor> colours;
    const QRect area = edit->Editor()->geometry();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            colours.insert(platform::fromQRgb(image.pixel(x, y)));
    return colours;
}

TEST_F(SpinEditTest, TextIsDrawnInTheFontColourOnColourAndGreyWhenDisabled) {
    edit->setValue(88);
    EXPECT_EQ(textAreaColours(edit), (std::set<TColor>{painted(clSilver), painted(clWhite)}));

    edit->setEnabled(false);
    EXPECT_EQ(textAreaColours(edit), (std::set<TColor>{painted(clSilver), painted(clGrayText)}));
    EXPECT_EQ(edit->Button()->FaceState(), TSpinButton::Face::Disabled);

    edit->setEnabled(true);
    edit->setColor(clNavy);
    EXPECT_EQ(textAreaColours(edit), (std::set<TColor>{painted(clNavy), painted(clWhite)}));
}

TEST_F(SpinEditTest, BorderIsTheSunkenClientEdge) {
    const QImage image = edit->grab().toImage();
    const auto at = [&](int x, int y) { return platform::fromQRgb(image.pixel(x, y)); };

    EXPECT_EQ(at(0, 0), painted(clBtnShadow));
    EXPECT_EQ(at(1, 1), painted(cl3DDkShadow));
    EXPECT_EQ(at(72, 18), painted(clBtnHighlight));
    EXPECT_EQ(at(71, 17), painted(cl3DLight));
    EXPECT_EQ(at(54, 8), painted(clSilver)); // between the text rectangle and the button
}

// ---- Loading from a form description ----

class SpinTestForm : public TForm {
    Q_OBJECT

public:
    Q_INVOKABLE void SpinEdit6Change() { ++intervalChanges; }
    int intervalChanges = 0;
};

// SpinEdit6 as the main window stores it, and an edit with every other property set.
const char* const kForm = R"(object SpinForm: SpinTestForm
  Font.Height = -12
  object SpinEdit6: TSpinEdit
    Left = 400
    Top = 137
    Width = 73
    Height = 19
    AutoSize = False
    Color = clSilver
    Enabled = False
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clWhite
    Font.Height = -11
    Font.Name = 'ＭＳ Ｐゴシック'
    Hint = ' 切り出しフレーム間隔'
    ParentShowHint = False
    ShowHint = True
    MaxLength = 4
    MaxValue = 9999
    MinValue = 1
    TabOrder = 3
    Value = 1
    OnChange = SpinEdit6Change
  end
  object SpinEdit7: TSpinEdit
    Width = 90
    Height = 30
    Alignment = taRightJustify
    AutoSelect = False
    BorderStyle = bsNone
    Ctl3D = False
    EditorEnabled = False
    Interval = 200
    LineSize = 2
    PageSize = 5
    ReadOnly = True
    Suffix = ' f'
    MaxValue = 5
    MinValue = 5
    Value = 9
  end
end
)";

TEST(SpinEditForm, LoadsTheStoredPropertiesWithoutChangeEvents) {
    registerSpinEditClasses();
    SpinTestForm form;
    FormLoader::load(&form, QString::fromUtf8(kForm), QStringLiteral("spin.form"));

    auto& interval = form.Component<TSpinEdit>(QStringLiteral("SpinEdit6"));
    EXPECT_EQ(form.intervalChanges, 0);
    EXPECT_EQ(interval.Text(), QStringLiteral("1"));
    EXPECT_EQ(interval.MinValue(), 1);
    EXPECT_EQ(interval.MaxValue(), 9999);
    EXPECT_EQ(interval.MaxLength(), 4);
    EXPECT_EQ(interval.BoundsRect(), QRect(400, 137, 73, 19));
    EXPECT_EQ(interval.Button()->FaceState(), TSpinButton::Face::Disabled);
    EXPECT_EQ(interval.Editor()->geometry(), QRect(2, 2, 52, 15));

    interval.setEnabled(true);
    interval.setValue(3);
    EXPECT_EQ(form.intervalChanges, 1);

    auto& other = form.Component<TSpinEdit>(QStringLiteral("SpinEdit7"));
    EXPECT_EQ(other.Alignment(), taRightJustify);
    EXPECT_FALSE(other.AutoSelect());
    EXPECT_EQ(other.BorderStyle(), bsNone);
    EXPECT_FALSE(other.Ctl3D());
    EXPECT_FALSE(other.EditorEnabled());
    EXPECT_EQ(other.Interval(), 200);
    EXPECT_EQ(other.LineSize(), 2);
    EXPECT_EQ(other.PageSize(), 5);
    EXPECT_TRUE(other.ReadOnly());
    // Equal bounds load and leave the stored value unclamped.
    EXPECT_EQ(other.MinValue(), 5);
    EXPECT_EQ(other.MaxValue(), 5);
    EXPECT_EQ(other.Text(), QStringLiteral("9 f"));
}

} // namespace

#include "SpinLayoutTest.moc"
