#include "cli/TextPainter.h"

#include "core/BgrImage.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Ink {
    int left = -1; // the first and last columns with ink; -1 when none
    int right = -1;
};

// Draws `text` at (2, 0) on black, clipped before column `clip`.
core::BgrImage drawn(cli::TextPainter& painter, const std::string& text, int clip = 400) {
    core::BgrImage image = core::BgrImage::blank(400, painter.lineHeight());
    painter.draw(image, 2, 0, clip, text, 0xFFFFFF);
    return image;
}

Ink inkOf(const core::BgrImage& image) {
    Ink ink;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.row(y)[x * 3] != 0) {
                ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
    return ink;
}

TEST(TextPainter, CharactersStandSideBySideClippedAndFromTheFontThatHasThem) {
    cli::TextPainter painter(13);
    if (!painter.hasFont())
        GTEST_SKIP() << "no font installed";
    // A second digit starts where the first one's advance ends: none overlap.
    const Ink one = inkOf(drawn(painter, "0"));
    const Ink two = inkOf(drawn(painter, "00"));
    ASSERT_GE(one.left, 2);
    EXPECT_EQ(two.right - one.right, painter.width("0"));
    EXPECT_GE(two.right - two.left + 1, 2 * (one.right - one.left + 1));
    // Nothing lands at or past the clip: the caption of one tile stays out of the next.
    const Ink clipped = inkOf(drawn(painter, "00:00:00.000", 20));
    EXPECT_GE(clipped.right, 10);
    EXPECT_LT(clipped.right, 20);
    // A Japanese name is drawn by the Japanese font, not as the sign of a missing character.
    if (cli::TextPainter::systemFonts().size() > 1) {
        cli::TextPainter latinOnly(13, {cli::TextPainter::systemFonts().front()});
        const core::BgrImage kana = drawn(painter, "\xE3\x81\x82"); // U+3042
        EXPECT_GE(inkOf(kana).left, 0);
        EXPECT_NE(kana.bytes, drawn(latinOnly, "\xE3\x81\x82").bytes);
    }
}

} // namespace
