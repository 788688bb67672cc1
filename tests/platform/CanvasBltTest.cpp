#include "CanvasTestSupport.h"
#include "platform/CanvasRaster.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

using canvastest::at;
using canvastest::blankImage;
using canvastest::picture;
using namespace platform;

struct RopCase {
    const char* name;
    std::uint32_t rop;
    std::function<bool(bool p, bool s, bool d)> truth;
};

class TernaryRopTest : public ::testing::TestWithParam<RopCase> {};

TEST_P(TernaryRopTest, EvaluatesTheTruthTableBitByBit) {
    const RopCase& t = GetParam();
    const std::uint8_t table = raster::ropTable(t.rop);
    for (int bits = 0; bits < 8; ++bits) {
        const bool p = bits & 4;
        const bool s = bits & 2;
        const bool d = bits & 1;
        const std::uint32_t result =
            raster::rop3(table, p ? 0xFFFFFF : 0, s ? 0xFFFFFF : 0, d ? 0xFFFFFF : 0) & 0xFFFFFF;
        EXPECT_EQ(result, t.truth(p, s, d) ? 0xFFFFFFu : 0u) << "P" << p << " S" << s << " D" << d;
    }
    // Bitwise on whole colours: each bit on its own.
    const std::uint32_t p = 0xF0F0F0, s = 0xCCCCCC, d = 0xAAAAAA;
    std::uint32_t expected = 0;
    for (int bit = 0; bit < 24; ++bit)
        if (t.truth((p >> bit) & 1, (s >> bit) & 1, (d >> bit) & 1))
            expected |= 1u << bit;
    EXPECT_EQ(raster::rop3(table, p, s, d) & 0xFFFFFF, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TernaryRopTest,
    ::testing::Values(
        RopCase{"SrcCopy", SRCCOPY, [](bool, bool s, bool) { return s; }},
        RopCase{"SrcPaint", SRCPAINT, [](bool, bool s, bool d) { return s || d; }},
        RopCase{"SrcAnd", SRCAND, [](bool, bool s, bool d) { return s && d; }},
        RopCase{"SrcInvert", SRCINVERT, [](bool, bool s, bool d) { return s != d; }},
        RopCase{"SrcErase", SRCERASE, [](bool, bool s, bool d) { return s && !d; }},
        RopCase{"NotSrcCopy", NOTSRCCOPY, [](bool, bool s, bool) { return !s; }},
        RopCase{"NotSrcErase", NOTSRCERASE, [](bool, bool s, bool d) { return !(s || d); }},
        RopCase{"MergeCopy", MERGECOPY, [](bool p, bool s, bool) { return p && s; }},
        RopCase{"MergePaint", MERGEPAINT, [](bool, bool s, bool d) { return !s || d; }},
        RopCase{"PatCopy", PATCOPY, [](bool p, bool, bool) { return p; }},
        RopCase{"PatPaint", PATPAINT, [](bool p, bool s, bool d) { return p || !s || d; }},
        RopCase{"PatInvert", PATINVERT, [](bool p, bool, bool d) { return p != d; }},
        RopCase{"DstInvert", DSTINVERT, [](bool, bool, bool d) { return !d; }},
        RopCase{"Blackness", BLACKNESS, [](bool, bool, bool) { return false; }},
        RopCase{"Whiteness", WHITENESS, [](bool, bool, bool) { return true; }},
        RopCase{"DestAndPattern", DPA, [](bool p, bool, bool d) { return d && p; }},
        RopCase{"BrushThroughMask", DSPDXAX, [](bool p, bool s, bool d) { return s ? p : d; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BinaryRop, PenModesMatchTheirNames) {
    const std::uint32_t p = 0xF0, d = 0xCC;
    EXPECT_EQ(raster::rop2(13, p, d) & 0xFF, p);        // copy pen
    EXPECT_EQ(raster::rop2(7, p, d) & 0xFF, p ^ d);     // xor
    EXPECT_EQ(raster::rop2(9, p, d) & 0xFF, p & d);     // mask
    EXPECT_EQ(raster::rop2(6, p, d) & 0xFF, ~d & 0xFF); // not
    EXPECT_EQ(raster::rop2(11, p, d) & 0xFF, d);        // nop
    EXPECT_EQ(raster::rop2(4, p, d) & 0xFF, ~p & 0xFF); // not copy pen
}

QImage numberedStrip(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x, y, 7));
    return image;
}

TEST(CanvasBlt, CopiesClippedToSourceAndDestination) {
    const QImage source = numberedStrip(4, 3);
    QImage image = blankImage(6, 5);
    Canvas canvas(image);
    canvas.setOrigin(QPoint(1, 1));
    canvas.setClipRect(QRect(0, 0, 5, 5));
    // Source columns 2..5 of which only 2 and 3 exist; destination column 5 is clipped.
    canvas.bitBlt(2, 0, 4, 4, source, 2, 1, SRCCOPY);
    EXPECT_EQ(image.pixel(3, 1), qRgb(2, 1, 7));
    EXPECT_EQ(image.pixel(4, 2), qRgb(3, 2, 7));
    EXPECT_EQ(at(image, 5, 1), clWhite);
    EXPECT_EQ(at(image, 3, 3), clWhite); // source row 3 does not exist
}

TEST(CanvasBlt, SelfCopyOverlappingItself) {
    QImage image = numberedStrip(6, 1);
    Canvas canvas(image);
    canvas.bitBlt(1, 0, 5, 1, canvas, 0, 0, SRCCOPY);
    std::vector<int> reds;
    for (int x = 0; x < 6; ++x)
        reds.push_back(qRed(image.pixel(x, 0)));
    EXPECT_EQ(reds, (std::vector<int>{0, 0, 1, 2, 3, 4}));
}

TEST(CanvasBlt, MonochromeMaskPaintsTheBrushWhereWhite) {
    // The embossed look of a disabled glyph: brush through a mask, destination elsewhere.
    QImage mask(3, 1, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.setPixel(0, 0, 1);
    mask.setPixel(1, 0, 0);
    mask.setPixel(2, 0, 1);
    QImage image = blankImage(3, 1, clSilver);
    Canvas canvas(image);
    canvas.brush().setColor(clBtnHighlight);
    canvas.setTextColor(clBlack);
    canvas.setBkColor(clWhite);
    canvas.bitBlt(0, 0, 3, 1, mask, 0, 0, DSPDXAX);
    EXPECT_EQ(picture(image, image.rect(), {{clSilver, 's'}, {clWhite, 'w'}}), "wsw\n");

    // A monochrome source takes the text colour for 0 and the background colour for 1.
    canvas.setTextColor(clRed);
    canvas.setBkColor(clBlue);
    canvas.bitBlt(0, 0, 3, 1, mask, 0, 0, SRCCOPY);
    EXPECT_EQ(picture(image, image.rect(), {{clRed, 'r'}, {clBlue, 'b'}}), "brb\n");
}

TEST(CanvasBlt, PatBltInvertsAndPaintsTheBrush) {
    QImage image = blankImage(4, 2, 0x0F0F0F);
    Canvas canvas(image);
    canvas.patBlt(0, 0, 2, 1, DSTINVERT);
    EXPECT_EQ(at(image, 1, 0), 0xF0F0F0);
    canvas.brush().setColor(0x00FF00);
    canvas.patBlt(4, 2, -2, -1, PATINVERT); // negative sizes reach back
    EXPECT_EQ(at(image, 2, 1), 0x0FF00F);
    EXPECT_EQ(at(image, 1, 1), 0x0F0F0F);
    canvas.patBlt(0, 1, 1, 1, DPA);
    EXPECT_EQ(at(image, 0, 1), 0x000F00);
}

TEST(StretchMapping, EachDestinationPixelTakesTheSourcePixelUnderItsCentre) {
    const auto mapped = [](int sourceLength, int destLength) {
        std::vector<int> indices;
        for (int d = 0; d < destLength; ++d)
            indices.push_back(raster::stretchSourceIndex(d, sourceLength, destLength));
        return indices;
    };
    EXPECT_EQ(mapped(2, 5), (std::vector<int>{0, 0, 1, 1, 1}));
    EXPECT_EQ(mapped(3, 7), (std::vector<int>{0, 0, 1, 1, 1, 2, 2}));
    EXPECT_EQ(mapped(4, 2), (std::vector<int>{1, 3}));
    // A 256-step ramp on an 18-pixel button face.
    EXPECT_EQ(mapped(256, 18), (std::vector<int>{7, 21, 35, 49, 64, 78, 92, 106, 120, 135, 149, 163,
                                                 177, 192, 206, 220, 234, 248}));
}

std::vector<int> redsOfRow(const QImage& image, int y, int x0, int x1) {
    std::vector<int> reds;
    for (int x = x0; x < x1; ++x)
        reds.push_back(qRed(image.pixel(x, y)));
    return reds;
}

TEST(CanvasStretch, ColourOnColourRepeatsAndDropsWholePixels) {
    const QImage ramp = numberedStrip(4, 1);
    QImage image = blankImage(12, 3);
    Canvas canvas(image);
    canvas.setStretchBltMode(StretchMode::ColorOnColor);
    canvas.stretchBlt(0, 0, 10, 1, ramp, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(redsOfRow(image, 0, 0, 10), (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 3, 3, 3}));
    canvas.stretchBlt(0, 1, 3, 1, ramp, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(redsOfRow(image, 1, 0, 3), (std::vector<int>{0, 2, 3}));
    // Destination and source widths of opposite sign mirror.
    canvas.stretchBlt(8, 2, -8, 1, ramp, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(redsOfRow(image, 2, 0, 8), (std::vector<int>{3, 3, 2, 2, 1, 1, 0, 0}));
    canvas.stretchBlt(0, 2, 4, 1, ramp, 4, 0, -4, 1, SRCCOPY);
    EXPECT_EQ(redsOfRow(image, 2, 0, 4), (std::vector<int>{3, 2, 1, 0}));
}

TEST(CanvasStretch, ShrinkingCombinesByTheStretchMode) {
    QImage source(4, 1, QImage::Format_RGB32);
    const QRgb values[] = {qRgb(0xF0, 0, 0), qRgb(0x3C, 0, 0), qRgb(0x10, 0, 0), qRgb(0x30, 0, 0)};
    for (int x = 0; x < 4; ++x)
        source.setPixel(x, 0, values[x]);
    const auto shrink = [&](StretchMode mode) {
        QImage image = blankImage(2, 1);
        Canvas canvas(image);
        canvas.setStretchBltMode(mode);
        canvas.stretchBlt(0, 0, 2, 1, source, 0, 0, 4, 1, SRCCOPY);
        return redsOfRow(image, 0, 0, 2);
    };
    EXPECT_EQ(shrink(StretchMode::BlackOnWhite), (std::vector<int>{0x30, 0x10}));
    EXPECT_EQ(shrink(StretchMode::WhiteOnBlack), (std::vector<int>{0xFC, 0x30}));
    EXPECT_EQ(shrink(StretchMode::ColorOnColor), (std::vector<int>{0x3C, 0x30}));
    EXPECT_EQ(shrink(StretchMode::Halftone), (std::vector<int>{0x96, 0x20}));
}

TEST(CanvasStretch, OneColumnStretchedOverItsOwnPicture) {
    // A vertical gradient: column 0 computed, then spread over the whole picture.
    QImage image = blankImage(5, 3);
    for (int y = 0; y < 3; ++y)
        image.setPixel(0, y, qRgb(10 * y, 0, 0));
    Canvas canvas(image);
    canvas.stretchBlt(0, 0, 5, 3, canvas, 0, 0, 1, 3, SRCCOPY);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(redsOfRow(image, y, 0, 5), std::vector<int>(5, 10 * y)) << "row " << y;
}

TEST(CanvasDraw, TransparentColourIsLeftOut) {
    QImage glyph(3, 1, QImage::Format_RGB32);
    glyph.setPixel(0, 0, qRgb(128, 128, 0));
    glyph.setPixel(1, 0, qRgb(255, 0, 0));
    glyph.setPixel(2, 0, qRgb(128, 128, 0));
    QImage image = blankImage(4, 1);
    Canvas canvas(image);
    canvas.drawTransparent(1, 0, glyph, clOlive);
    EXPECT_EQ(picture(image, image.rect(), {{clWhite, '.'}, {clRed, 'r'}}), "..r.\n");
    canvas.draw(0, 0, glyph);
    EXPECT_EQ(at(image, 0, 0), clOlive);
}

} // namespace
