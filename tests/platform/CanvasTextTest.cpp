#include "CanvasTestSupport.h"

#include <gtest/gtest.h>

namespace {

using canvastest::at;
using canvastest::blankImage;
using canvastest::inked;
using namespace platform;

// An 11-pixel gothic on a white picture, text in black, no background.
class CanvasTextTest : public ::testing::Test {
protected:
    static constexpr int kLine = 11;  // the designed font's cell: as high as its em
    static constexpr int kAscent = 9; // 220/256 of it

    CanvasTextTest() : image(blankImage(120, 60)), canvas(image) { prepare(canvas); }

    static void prepare(Canvas& c) {
        c.font().setHeight(-11);
        c.font().setColor(clBlack);
        c.brush().setStyle(bsClear);
    }

    // What textOut draws at the given places, on a picture of the same size.
    QImage expectedText(std::initializer_list<std::pair<QPoint, QString>> runs) const {
        QImage reference = blankImage(image.width(), image.height());
        Canvas c(reference);
        prepare(c);
        for (const auto& [at, text] : runs)
            c.textOut(at.x(), at.y(), text);
        return reference;
    }

    int width(const QString& text) const { return canvas.textWidth(text); }

    QImage image;
    Canvas canvas;
};

struct AlignCase {
    const char* name;
    unsigned format;
    int expectedX; // -1: centred, -2: right aligned
    int expectedY; // -1: centred, -2: at the bottom
};

class CanvasTextAlignTest : public CanvasTextTest,
                            public ::testing::WithParamInterface<AlignCase> {};

TEST_P(CanvasTextAlignTest, PlacesTheLineInItsRectangle) {
    const QRect rect(10, 5, 90, 40);
    const QString text = QStringLiteral("変換 Ag");
    const int w = width(text);
    const AlignCase& t = GetParam();
    const int x = t.expectedX == -1 ? 10 + (90 - w) / 2 : t.expectedX == -2 ? 100 - w : t.expectedX;
    const int y = t.expectedY == -1   ? 5 + (40 - kLine) / 2
                  : t.expectedY == -2 ? 45 - kLine
                                      : t.expectedY;
    canvas.drawText(text, rect, t.format);
    EXPECT_EQ(image, expectedText({{QPoint(x, y), text}}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanvasTextAlignTest,
    ::testing::Values(AlignCase{"LeftTop", DT_LEFT, 10, 5}, AlignCase{"Centre", DT_CENTER, -1, 5},
                      AlignCase{"Right", DT_RIGHT, -2, 5},
                      AlignCase{"VCentreSingle", DT_CENTER | DT_VCENTER | DT_SINGLELINE, -1, -1},
                      AlignCase{"BottomSingle", DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, -2, -2},
                      // Vertical placement needs a single line.
                      AlignCase{"VCentreIgnored", DT_CENTER | DT_VCENTER, -1, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CanvasTextTest, AnswersTheHeightDrawn) {
    EXPECT_EQ(canvas.drawText(QStringLiteral("a\nb"), QRect(0, 0, 100, 50), DT_LEFT).height,
              2 * kLine);
    EXPECT_EQ(canvas.drawText(QStringLiteral("a\n"), QRect(0, 0, 100, 50), DT_LEFT).height, kLine);
    EXPECT_EQ(canvas.drawText(QStringLiteral("a"), QRect(0, 0, 100, 50), DT_SINGLELINE | DT_VCENTER)
                  .height,
              (50 - kLine) / 2 + kLine);
    const DrawTextResult empty = canvas.drawText(QString(), QRect(3, 4, 100, 50), DT_CALCRECT);
    EXPECT_EQ(empty.height, 0);
    EXPECT_EQ(empty.rect, QRect(3, 4, 0, 0));
}

TEST_F(CanvasTextTest, CalcRectMeasuresWithoutDrawing) {
    const DrawTextResult r =
        canvas.drawText(QStringLiteral("変換"), QRect(5, 6, 0, 0), DT_CALCRECT);
    EXPECT_EQ(r.rect, QRect(5, 6, 22, kLine));
    EXPECT_EQ(r.height, kLine);
    EXPECT_TRUE(inked(image, clWhite).empty());
}

TEST_F(CanvasTextTest, WordBreakWrapsAtSpacesAndDropsTheSpaceAtTheBreak) {
    const QString text = QStringLiteral("aaa bbb ccc");
    const int fits = width(QStringLiteral("aaa bbb"));
    const DrawTextResult r =
        canvas.drawText(text, QRect(0, 0, fits + 2, 0), DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.rect, QRect(0, 0, fits, 2 * kLine));

    canvas.drawText(text, QRect(4, 3, fits + 2, 50), DT_WORDBREAK);
    EXPECT_EQ(image, expectedText({{QPoint(4, 3), QStringLiteral("aaa bbb")},
                                   {QPoint(4, 3 + kLine), QStringLiteral("ccc")}}));
}

TEST_F(CanvasTextTest, WordBreakBreaksJapaneseBetweenAnyCharacters) {
    const DrawTextResult r = canvas.drawText(QStringLiteral(" 変換処理の実行"), QRect(0, 0, 30, 0),
                                             DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    // Lines " 変換" (3 + 22 pixels), "処理", "の実", "行": the leading blank stays.
    EXPECT_EQ(r.rect.height(), 4 * kLine);
    EXPECT_EQ(r.rect.width(), 25);
}

TEST_F(CanvasTextTest, AWordLongerThanTheLineIsBrokenWhereItOverflows) {
    const QString text = QStringLiteral("xxxxxxxxxx yy");
    const int fits = width(QStringLiteral("xxxx")) + 1;
    canvas.drawText(text, QRect(0, 0, fits, 60), DT_WORDBREAK);
    EXPECT_EQ(image, expectedText({{QPoint(0, 0), QStringLiteral("xxxx")},
                                   {QPoint(0, kLine), QStringLiteral("xxxx")},
                                   {QPoint(0, 2 * kLine), QStringLiteral("xx")},
                                   {QPoint(0, 3 * kLine), QStringLiteral("yy")}}));
}

TEST_F(CanvasTextTest, PrefixUnderlinesTheMarkedCharacterAndDoubleAmpersandIsOne) {
    const QRect rect(2, 2, 100, 20);
    EXPECT_EQ(canvas.drawText(QStringLiteral("&File"), rect, DT_CALCRECT).rect.width(),
              width(QStringLiteral("File")));
    EXPECT_EQ(
        canvas.drawText(QStringLiteral("&File"), rect, DT_CALCRECT | DT_NOPREFIX).rect.width(),
        width(QStringLiteral("&File")));

    canvas.drawText(QStringLiteral("A&&B"), rect, DT_LEFT);
    EXPECT_EQ(image, expectedText({{QPoint(2, 2), QStringLiteral("A&B")}}));

    QImage underlined = blankImage(120, 60);
    Canvas c(underlined);
    prepare(c);
    c.drawText(QStringLiteral("x&File"), rect, DT_LEFT);
    QImage plain = expectedText({{QPoint(2, 2), QStringLiteral("xFile")}});
    // The only difference: a line under "F" one pixel below the baseline, one pixel shorter
    // than the character's advance.
    const int x0 = 2 + width(QStringLiteral("x"));
    const int x1 = 2 + width(QStringLiteral("xF")) - 1;
    for (int x = x0; x < x1; ++x)
        plain.setPixel(x, 2 + kAscent + 1, qRgb(0, 0, 0));
    EXPECT_EQ(underlined, plain);

    QImage hidden = blankImage(120, 60);
    Canvas h(hidden);
    prepare(h);
    h.drawText(QStringLiteral("x&File"), rect, DT_LEFT | DT_HIDEPREFIX);
    EXPECT_EQ(hidden, expectedText({{QPoint(2, 2), QStringLiteral("xFile")}}));
}

TEST_F(CanvasTextTest, EndEllipsisKeepsWhatFitsBeforeThreeDots) {
    const QString shortened = QStringLiteral("abc...");
    const int w = width(shortened);
    const DrawTextResult r = canvas.drawText(QStringLiteral("abcdefghij"), QRect(0, 0, w, 20),
                                             DT_CALCRECT | DT_END_ELLIPSIS);
    EXPECT_EQ(r.rect.width(), w);
    canvas.drawText(QStringLiteral("abcdefghij"), QRect(3, 3, w, 20), DT_END_ELLIPSIS);
    EXPECT_EQ(image, expectedText({{QPoint(3, 3), shortened}}));
}

TEST_F(CanvasTextTest, PathEllipsisKeepsTheLastComponent) {
    const QString path = QStringLiteral("/home/user/Movies/holiday/clip.avi");
    const QString shortened = QStringLiteral("/home/us.../clip.avi");
    canvas.drawText(path, QRect(1, 1, width(shortened), 20), DT_PATH_ELLIPSIS | DT_NOPREFIX);
    EXPECT_EQ(image, expectedText({{QPoint(1, 1), shortened}}));

    // Too narrow even for the last component: with an end ellipsis as well, that too is cut.
    const QRect narrow(0, 0, width(QStringLiteral(".../cl...")), 20);
    const DrawTextResult r =
        canvas.drawText(path, narrow, DT_CALCRECT | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS);
    EXPECT_LE(r.rect.width(), narrow.width());
}

TEST_F(CanvasTextTest, TabsExpandToEightAverageCharacters) {
    canvas.drawText(QStringLiteral("a\tb"), QRect(0, 0, 110, 20), DT_EXPANDTABS | DT_SINGLELINE);
    const int tab = 8 * canvas.textMetrics().tmAveCharWidth;
    EXPECT_EQ(image, expectedText({{QPoint(0, 0), QStringLiteral("a")},
                                   {QPoint(tab, 0), QStringLiteral("b")}}));
    EXPECT_EQ(
        canvas.drawText(QStringLiteral("a\tb"), QRect(0, 0, 110, 20), DT_CALCRECT | DT_EXPANDTABS)
            .rect.width(),
        tab + width(QStringLiteral("b")));
}

TEST_F(CanvasTextTest, ClippedToItsRectangleUnlessNoClip) {
    const QRect rect(0, 0, 12, 6);
    canvas.drawText(QStringLiteral("WWWW"), rect, DT_LEFT);
    for (const auto& [x, y] : inked(image, clWhite))
        EXPECT_TRUE(rect.contains(x, y)) << x << "," << y;

    QImage unclipped = blankImage(120, 60);
    Canvas c(unclipped);
    prepare(c);
    c.drawText(QStringLiteral("WWWW"), rect, DT_LEFT | DT_NOCLIP);
    EXPECT_EQ(unclipped, expectedText({{QPoint(0, 0), QStringLiteral("WWWW")}}));
}

TEST_F(CanvasTextTest, OpaqueBackgroundFillsTheTextCell) {
    canvas.brush().setColor(clAqua); // a solid brush: opaque, its colour behind the text
    canvas.textOut(5, 5, QStringLiteral("変換"));
    EXPECT_EQ(at(image, 5, 5), clAqua);
    EXPECT_EQ(at(image, 26, 5 + kLine - 1), clAqua);
    EXPECT_EQ(at(image, 27, 5 + kLine - 1), clWhite);
    EXPECT_EQ(at(image, 26, 5 + kLine), clWhite);
    EXPECT_EQ(canvastest::colours(image).size(), 3u);
}

TEST_F(CanvasTextTest, TextFollowsTheOriginAndClipOfAChildControl) {
    canvas.setOrigin(QPoint(30, 20));
    canvas.setClipRect(QRect(30, 20, 40, 12));
    canvas.drawText(QStringLiteral("変換元"), QRect(0, 0, 40, 12), DT_LEFT);
    EXPECT_EQ(image, expectedText({{QPoint(30, 20), QStringLiteral("変換元")}}));
}

TEST_F(CanvasTextTest, MarginsOfDrawTextExNarrowTheLine) {
    DrawTextParams params;
    params.leftMargin = 7;
    params.rightMargin = 5;
    canvas.drawTextEx(QStringLiteral("Ag"), QRect(10, 0, 80, 20), DT_RIGHT, params);
    EXPECT_EQ(image,
              expectedText({{QPoint(85 - width(QStringLiteral("Ag")), 0), QStringLiteral("Ag")}}));
}

TEST_F(CanvasTextTest, TextRectClipsAndFillsWithANonClearBrush) {
    canvas.brush().setColor(clYellow);
    canvas.textRect(QRect(10, 10, 8, 12), 10, 10, QStringLiteral("WWWW"));
    EXPECT_EQ(at(image, 10, 10), clYellow);
    EXPECT_EQ(at(image, 17, 21), clYellow);
    for (const auto& [x, y] : inked(image, clWhite))
        EXPECT_TRUE(QRect(10, 10, 8, 12).contains(x, y)) << x << "," << y;
}

TEST_F(CanvasTextTest, EscapementOf2700RunsTheTextDownward) {
    canvas.font().setOrientation(2700);
    canvas.textOut(40, 5, QStringLiteral("100 %"));
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (const auto& [x, y] : inked(image, clWhite)) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    EXPECT_GT(bottom - top, 2 * (right - left));
    EXPECT_LE(right, 40); // the glyphs lie left of the reference point, below it
    EXPECT_GE(top, 5);
}

TEST(CanvasText24Bit, DrawsIntoA24BitPictureToo) {
    QImage image(30, 14, QImage::Format_BGR888);
    image.fill(Qt::white);
    Canvas canvas(image);
    canvas.font().setHeight(-11);
    canvas.font().setColor(clRed);
    canvas.brush().setStyle(bsClear);
    canvas.textOut(1, 1, QStringLiteral("変"));
    canvas.setPixel(0, 0, clBlue);
    EXPECT_EQ(canvas.pixel(0, 0), clBlue);
    EXPECT_EQ(image.format(), QImage::Format_BGR888);
    EXPECT_EQ(canvastest::colours(image),
              (std::set<QRgb>{qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255)}));
}

} // namespace
