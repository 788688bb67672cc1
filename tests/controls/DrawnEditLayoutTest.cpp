#include "BrowseTestSupport.h"
#include "controls/ControlGlyphs.h"
#include "controls/EditButton.h"
#include "controls/EditLayout.h"
#include "controls/FileOpenEdit.h"

#include <QEnterEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace browsetest;

namespace {

struct LayoutCase {
    const char* name;
    QSize size;
    TEditBevelMode mode;
    int buttons;
    int buttonWidth;
    QRect client; // window coordinates
    QRect text;   // client coordinates, as are the buttons
    std::vector<QRect> buttonRects;
};

class EditLayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(EditLayoutTable, PlacesTextAndButtons) {
    const LayoutCase& c = GetParam();
    const EditLayout layout = editLayout(c.size, c.mode, c.buttons, c.buttonWidth);
    EXPECT_EQ(layout.client, c.client);
    EXPECT_EQ(layout.text, c.text);
    EXPECT_EQ(layout.buttons, c.buttonRects);
}

INSTANTIATE_TEST_SUITE_P(
    DrawnEdit, EditLayoutTable,
    ::testing::Values(
        // The worked example: 122 x 15 client area, text x 1..101, button x 104..121.
        LayoutCase{"ClientEdgeOneButton",
                   QSize(126, 19),
                   bmWindows,
                   1,
                   18,
                   QRect(2, 2, 122, 15),
                   QRect(1, 1, 101, 13),
                   {QRect(104, 0, 18, 15)}},
        // The edit's own bevel: buttons start at the paint rectangle's top.
        LayoutCase{"FlatBevelOneButton",
                   QSize(126, 19),
                   bmFlat,
                   1,
                   18,
                   QRect(0, 0, 126, 19),
                   QRect(2, 2, 103, 15),
                   {QRect(107, 1, 18, 17)}},
        LayoutCase{"NoBorderTwoButtons",
                   QSize(100, 20),
                   bmNone,
                   2,
                   16,
                   QRect(0, 0, 100, 20),
                   QRect(1, 1, 65, 18),
                   {QRect(68, 0, 16, 20), QRect(84, 0, 16, 20)}},
        LayoutCase{"NoButtons",
                   QSize(73, 19),
                   bmWindows,
                   0,
                   16,
                   QRect(2, 2, 69, 15),
                   QRect(1, 1, 66, 13),
                   {}}),
    [](const auto& info) { return std::string(info.param.name); });

class BrowseEditPixels : public ::testing::Test {
protected:
    void SetUp() override {
        edit = new TFileOpenEdit(host.get()); // owned by the host
        edit->setBounds(45, 20, 126, 19);
        edit->setColor(clSilver);
    }

    std::unique_ptr<TPanel> host = makeHost();
    TFileOpenEdit* edit = nullptr;
    static constexpr QPoint kButton{106, 2}; // window coordinates of the button
};

TEST_F(BrowseEditPixels, PartsSitWhereTheLayoutSays) {
    EXPECT_EQ(edit->editor()->geometry(), QRect(3, 3, 101, 13));
    EXPECT_EQ(edit->BrowseButton()->geometry(), QRect(kButton, QSize(18, 15)));
}

TEST_F(BrowseEditPixels, SunkenClientEdgeTwoPixelsWide) {
    const QImage image = edit->renderToImage();
    struct Probe {
        int x, y;
        TColor color;
    };
    const Probe probes[] = {
        {60, 0, clBtnShadow},     {0, 9, clBtnShadow},
        {60, 1, cl3DDkShadow},    {1, 9, cl3DDkShadow},
        {60, 18, clBtnHighlight}, {125, 9, clBtnHighlight},
        {60, 17, cl3DLight},      {124, 9, cl3DLight},
        {105, 9, clSilver}, // the gap between text and button is the edit's colour
    };
    for (const Probe& p : probes)
        EXPECT_EQ(pixelAt(image, p.x, p.y), painted(p.color)) << p.x << "," << p.y;
}

TEST_F(BrowseEditPixels, GlyphCentredOnTheButtonWithMagentaTransparent) {
    const QImage glyph = controls::openFolderGlyph();
    ASSERT_EQ(glyph.size(), QSize(14, 13));
    const QImage image = edit->renderToImage();
    const QPoint origin = kButton + QPoint(2, 1); // (18 - 14) / 2, (15 - 13) / 2
    int transparent = 0;
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x) {
            const TColor g = pixelAt(glyph, x, y);
            const TColor expected = g == clFuchsia ? painted(clBtnFace) : g;
            transparent += g == clFuchsia;
            ASSERT_EQ(pixelAt(image, origin.x() + x, origin.y() + y), expected) << x << "," << y;
        }
    EXPECT_GT(transparent, 0);
}

TEST_F(BrowseEditPixels, DisabledEditShowsTheGlyphEmbossed) {
    edit->setEnabled(false);
    const QImage glyph = controls::openFolderGlyph();
    const QImage image = edit->renderToImage();
    const QPoint origin = kButton + QPoint(2, 1);
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            if (pixelAt(glyph, x, y) != clFuchsia) {
                ASSERT_EQ(pixelAt(image, origin.x() + x, origin.y() + y), painted(clBtnShadow))
                    << x << "," << y;
            }
}

TEST_F(BrowseEditPixels, ButtonFaceRaisesUnderTheMouseAndSinksWhileHeld) {
    TEditButton* button = edit->BrowseButton();
    const auto corners = [&] {
        const QImage image = edit->renderToImage();
        return std::pair{pixelAt(image, kButton.x(), kButton.y() + 5),
                         pixelAt(image, kButton.x() + 17, kButton.y() + 5)};
    };
    EXPECT_EQ(corners(), std::pair(painted(clBtnFace), painted(clBtnFace)));

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(corners(), std::pair(painted(clBtnHighlight), painted(clBtnShadow)));

    mouse(button, QEvent::MouseButtonPress, QPoint(5, 5));
    EXPECT_EQ(corners(), std::pair(painted(clBtnShadow), painted(clBtnHighlight)));
}

TEST_F(BrowseEditPixels, TextAreaInTheEditsColourAndFont) {
    edit->setColor(clNavy);
    edit->Font().setColor(clWhite);
    const QPalette palette = edit->editor()->palette();
    EXPECT_EQ(palette.color(QPalette::Active, QPalette::Base), platform::toQColor(clNavy));
    EXPECT_EQ(palette.color(QPalette::Active, QPalette::Text), platform::toQColor(clWhite));
    const QImage shot = edit->grab().toImage();
    EXPECT_EQ(pixelAt(shot, 60, 9), clNavy); // inside the empty text area
    EXPECT_EQ(pixelAt(shot, 0, 9), painted(clBtnShadow));
}

} // namespace
