#include "ExtractRun.h"
#include "cli/TextPainter.h"
#include "core/BgrImage.h"
#include "support/testmedia/TestMedia.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using clitest::runExtract;

constexpr int margin = 4;

// 24 frames of 64 x 48 at 25 fps, decoded exactly as coded: a tile shown at the movie's own size
// is its picture byte for byte.
testmedia::MovieRecipe smallMovie() {
    testmedia::MovieRecipe recipe;
    recipe.codec = testmedia::Codec::RawBgr24;
    recipe.width = 64;
    recipe.height = 48;
    recipe.frames = 24;
    return recipe;
}

bool showsAt(const clitest::BmpPicture& sheet, int x, int y, const std::vector<std::uint8_t>& tile,
             int width, int height) {
    if (x + width > sheet.width || y + height > sheet.height)
        return false;
    for (int row = 0; row < height; ++row)
        if (std::memcmp(sheet.bytes.data() + static_cast<std::size_t>(y + row) * sheet.stride +
                            x * 3,
                        tile.data() + static_cast<std::size_t>(row) * width * 3, width * 3) != 0)
            return false;
    return true;
}

// Where the tiles' rows start and how far apart they are: the first tile found in the first
// column, and the rows' pitch from the sheet's height. Both are checked by the tiles they place.
struct Rows {
    int first = -1;
    int pitch = 0;
};

Rows rowsOf(const clitest::BmpPicture& sheet, const std::vector<std::uint8_t>& firstTile,
            const testmedia::MovieRecipe& recipe, int rows) {
    for (int y = 0; y < sheet.height; ++y)
        if (showsAt(sheet, margin, y, firstTile, recipe.width, recipe.height))
            return {y, (sheet.height - y) / rows};
    return {};
}

// Frame `frames[i]` at tile i of a sheet of `columns` x `rows`, in reading order, nothing else.
void expectTiles(const clitest::BmpPicture& sheet, const testmedia::MovieRecipe& recipe,
                 int columns, int rows, const std::vector<int>& frames) {
    ASSERT_EQ(sheet.width, columns * (recipe.width + margin) + margin);
    const Rows at = rowsOf(sheet, testmedia::expectedPicture(recipe, frames.front()), recipe, rows);
    ASSERT_GE(at.first, margin) << "frame " << frames.front() << " is on no tile";
    EXPECT_EQ((sheet.height - at.first) % rows, 0);
    for (std::size_t tile = 0; tile < static_cast<std::size_t>(columns * rows); ++tile) {
        const int x = margin + static_cast<int>(tile) % columns * (recipe.width + margin);
        const int y = at.first + static_cast<int>(tile) / columns * at.pitch;
        const std::vector<std::uint8_t> black(recipe.width * recipe.height * 3, 0x20);
        const std::vector<std::uint8_t> expected =
            tile < frames.size() ? testmedia::expectedPicture(recipe, frames[tile]) : black;
        EXPECT_TRUE(showsAt(sheet, x, y, expected, recipe.width, recipe.height))
            << "tile " << tile << " at " << x << "," << y;
    }
}

TEST(ExtractSheet, TilesShowTheFramesSpreadOverTheChoiceInReadingOrder) {
    const testmedia::MovieRecipe recipe = smallMovie();
    const fs::path movie = testmedia::sharedMovie(recipe);
    const fs::path work = clitest::freshFolder("sheet-tiles");
    const std::string stem = movie.stem().string();

    // Six stretches of four frames: the middle of each.
    ASSERT_EQ(runExtract({"--sheet", "3x2", "--size", "64x48", movie.string()}, work).exitCode, 0);
    expectTiles(clitest::readBmp(work / (stem + "_sheet.bmp")), recipe, 3, 2,
                {2, 6, 10, 14, 18, 22});
    // Standard output takes the same picture.
    ASSERT_EQ(runExtract({"--sheet", "3x2", "--size", "64x48", "--out", "-", movie.string()}, work,
                         work / "sheet.out")
                  .exitCode,
              0);
    EXPECT_EQ(clitest::readBytes(work / "sheet.out"),
              clitest::readBytes(work / (stem + "_sheet.bmp")));

    // Two pages share the spread; each page is a file.
    ASSERT_EQ(runExtract({"--sheet", "2x1", "--sheet-pages", "2", "--size", "64x", "--start", "4",
                          "--end", "11", "--out", "pages", movie.string()},
                         work)
                  .exitCode,
              0);
    expectTiles(clitest::readBmp(work / "pages" / (stem + "_sheet_1.bmp")), recipe, 2, 1, {5, 7});
    expectTiles(clitest::readBmp(work / "pages" / (stem + "_sheet_2.bmp")), recipe, 2, 1, {9, 11});

    // Fewer frames chosen than tiles: the rest stay empty.
    ASSERT_EQ(runExtract({"--sheet", "2x2", "--frames", "1,20", "--size", "64x48", "--out", "few",
                          movie.string()},
                         work)
                  .exitCode,
              0);
    expectTiles(clitest::readBmp(work / "few" / (stem + "_sheet.bmp")), recipe, 2, 2, {1, 20});
}

// The ink of `text` as the sheet's captions draw it, on the sheet's background, `width` wide.
core::BgrImage captionOf(const std::string& text, int width, cli::TextPainter& painter) {
    core::BgrImage strip = core::BgrImage::blank(width, painter.lineHeight());
    std::fill(strip.bytes.begin(), strip.bytes.end(), 0x20);
    painter.draw(strip, (width - painter.width(text)) / 2, 0, width, text, 0xFFFFFF);
    return strip;
}

TEST(ExtractSheet, EachTileHasItsTimeUnderItAndTheSheetItsMovieAbove) {
    cli::TextPainter captions(13);
    if (!captions.hasFont())
        GTEST_SKIP() << "no font installed";
    testmedia::MovieRecipe recipe = smallMovie();
    recipe.width = 128;
    recipe.height = 96;
    const fs::path movie = testmedia::sharedMovie(recipe);
    const fs::path work = clitest::freshFolder("sheet-captions");
    ASSERT_EQ(runExtract({"--sheet", "2x2", "--size", "128x", movie.string()}, work).exitCode, 0);
    const clitest::BmpPicture sheet =
        clitest::readBmp(work / (movie.stem().string() + "_sheet.bmp"));
    const Rows at = rowsOf(sheet, testmedia::expectedPicture(recipe, 3), recipe, 2);
    ASSERT_GE(at.first, margin);

    // Frames 3, 9, 15 and 21 start at 0.12 s, 0.36 s, 0.6 s and 0.84 s.
    const char* const times[] = {"00:00:00.120", "00:00:00.360", "00:00:00.600", "00:00:00.840"};
    for (int tile = 0; tile < 4; ++tile) {
        const core::BgrImage expected = captionOf(times[tile], recipe.width, captions);
        std::vector<std::uint8_t> rows(expected.width * 3 * expected.height);
        for (int y = 0; y < expected.height; ++y)
            std::memcpy(rows.data() + y * expected.width * 3, expected.row(y), expected.width * 3);
        const int x = margin + tile % 2 * (recipe.width + margin);
        const int y = at.first + tile / 2 * at.pitch + recipe.height;
        EXPECT_TRUE(showsAt(sheet, x, y, rows, expected.width, expected.height))
            << "no " << times[tile] << " under tile " << tile;
    }
    // Above them the movie's name, duration (24 frames at 25 fps), size as stored (whatever the
    // tiles' size) and codec.
    ASSERT_EQ(runExtract({"--sheet", "3x1", "--size", "256x", "--out", "big", movie.string()}, work)
                  .exitCode,
              0);
    const clitest::BmpPicture big =
        clitest::readBmp(work / "big" / (movie.stem().string() + "_sheet.bmp"));
    cli::TextPainter headers(15);
    const std::string header = movie.filename().string() + "   00:00:00.960   128x96   rawvideo";
    ASSERT_LT(headers.width(header), big.width - 2 * margin);
    core::BgrImage expected = core::BgrImage::blank(big.width, headers.lineHeight());
    std::fill(expected.bytes.begin(), expected.bytes.end(), 0x20);
    headers.draw(expected, margin, 0, big.width - margin, header, 0xFFFFFF);
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < expected.height; ++y)
        rows.insert(rows.end(), expected.row(y), expected.row(y) + expected.width * 3);
    EXPECT_TRUE(showsAt(big, 0, margin, rows, expected.width, expected.height)) << header;
}

// Pixels of the sheet's background colour in the columns [left, left + width).
int backgroundIn(const clitest::BmpPicture& sheet, int left, int width) {
    int count = 0;
    for (int y = 0; y < sheet.height; ++y)
        for (int x = left; x < left + width; ++x) {
            const std::uint8_t* pixel =
                sheet.bytes.data() + static_cast<std::size_t>(y) * sheet.stride + x * 3;
            count += pixel[0] == 0x20 && pixel[1] == 0x20 && pixel[2] == 0x20;
        }
    return count;
}

TEST(ExtractSheet, AFrameThatCannotBeDecodedFailsTheSheetOrLeavesItsTileEmpty) {
    const fs::path work = clitest::freshFolder("sheet-damage");
    testmedia::writeGarbledFrame(work / "bad.avi", 24, 6); // the second of tiles 2, 6, 10, ...

    const clitest::RunResult stopped = runExtract({"--sheet", "3x2", "bad.avi"}, work);
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_NE(stopped.err.find("frame 6"), std::string::npos) << stopped.err;
    EXPECT_FALSE(fs::exists(work / "bad_sheet.bmp"));

    const clitest::RunResult kept =
        runExtract({"--sheet", "3x2", "--size", "128x96", "--keep-going", "bad.avi"}, work);
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_NE(kept.err.find("frames missing: 1"), std::string::npos) << kept.err;
    const clitest::BmpPicture sheet = clitest::readBmp(work / "bad_sheet.bmp");
    ASSERT_EQ(sheet.width, 3 * (128 + margin) + margin);
    // The second column lacks one picture's worth against the first.
    EXPECT_GE(backgroundIn(sheet, margin + 128 + margin, 128) - backgroundIn(sheet, margin, 128),
              128 * 96);
}

TEST(ExtractSheet, OptionsThatNeedFrameFilesAreRefused) {
    const fs::path movie = testmedia::sharedMovie(smallMovie());
    const fs::path work = clitest::freshFolder("sheet-usage");
    const std::vector<std::vector<std::string>> refused = {
        {"--sheet", "0x2"},
        {"--sheet", "3"},
        {"--sheet-pages", "2"},
        {"--sheet", "2x2", "--sheet-pages", "0"},
        {"--sheet", "2x2", "--manifest", "m.jsonl"},
        {"--sheet", "2x2", "--name", "{frame}"},
        {"--sheet", "2x2", "--out", "-", "--format", "raw"},
        {"--sheet", "2x2", "--info"},
    };
    for (std::vector<std::string> args : refused) {
        args.push_back(movie.string());
        const clitest::RunResult run = runExtract(args, work);
        EXPECT_EQ(run.exitCode, 2) << args[0] << " " << args[1] << ": " << run.err;
    }
    EXPECT_TRUE(fs::is_empty(work));
}

} // namespace
