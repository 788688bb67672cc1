#include "MediaTestSupport.h"
#include "media/FfmpegLog.h"
#include "media/FfmpegPtr.h"
#include "media/Movie.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/RiffFile.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <vector>

namespace {

using mediatest::errorOf;
using mediatest::frameNumberOf;
using mediatest::movieFor;
using mediatest::recipeOf;
using mediatest::scratchFolder;
using mediatest::utf8;
using testmedia::Codec;
using testmedia::Malformed;

bool mentions(const media::MovieError& error, const std::string& text) {
    return std::string(error.what()).find(text) != std::string::npos;
}

constexpr int malformedFrames = 30;

std::filesystem::path malformedMovie(Malformed kind) {
    const auto file = scratchFolder() / ("malformed_" + testmedia::malformedName(kind) + ".avi");
    if (!std::filesystem::exists(file))
        testmedia::writeMalformed(file, kind, malformedFrames);
    return file;
}

class Unopenable : public testing::TestWithParam<Malformed> {};

TEST_P(Unopenable, ThrowsNamingTheFile) {
    const auto file = malformedMovie(GetParam());
    const auto error = errorOf([&] { media::Movie movie(file); });
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(mentions(*error, utf8(file))) << error->what();
    EXPECT_EQ(error->frame(), -1);
}

INSTANTIATE_TEST_SUITE_P(Media, Unopenable, testing::Values(Malformed::Empty, Malformed::NotRiff),
                         [](const auto& info) { return testmedia::malformedName(info.param); });

// Files that are no movie at all get those words, not FFmpeg's "Invalid data found ...", under
// any movie name: an MP4 name sends them to the container engine first.
struct NotAMovieCase {
    const char* name;
    const char* contents;
    const char* says;
};

class NotAMovie : public testing::TestWithParam<NotAMovieCase> {};

TEST_P(NotAMovie, IsCalledSo) {
    const NotAMovieCase c = GetParam();
    const auto file = scratchFolder() / c.name;
    std::ofstream(file, std::ios::binary) << c.contents;
    const auto error = errorOf([&] { media::Movie movie(file); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind(), media::MovieError::Kind::NotAMovie);
    EXPECT_TRUE(mentions(*error, utf8(file) + ": not a movie: " + c.says)) << error->what();
}

INSTANTIATE_TEST_SUITE_P(
    Media, NotAMovie,
    testing::Values(NotAMovieCase{"empty.mp4", "", "the file is empty"},
                    NotAMovieCase{"notes.mp4", "Shopping list\nmilk\n", "no movie format"},
                    NotAMovieCase{"notes.avi", "Shopping list\nmilk\n", "no movie format"}),
    [](const auto& info) { return std::string(info.param.name).replace(5, 1, "_"); });

// Files that still hold frames: each frame present is fetched right, in any order, and the
// count is the frames present, whatever the header claims.
struct DamagedCase {
    Malformed kind;
    int minimumFrames;
    int maximumFrames;
    const char* beyondTheEnd; // what asking past the last frame present reports
};

class Damaged : public testing::TestWithParam<DamagedCase> {};

TEST_P(Damaged, FramesPresentAreFetchedAndTheRestReported) {
    const DamagedCase c = GetParam();
    media::Movie movie(malformedMovie(c.kind));
    const int count = movie.frameCount();
    ASSERT_GE(count, c.minimumFrames);
    ASSERT_LE(count, c.maximumFrames);
    std::vector<int> frames{count - 1, 0, count / 2, 1, count - 1};
    for (int n = 0; n < count; ++n)
        frames.push_back(n);
    for (const int n : frames)
        EXPECT_EQ(frameNumberOf(movie.frame(n)), n);
    const auto error = errorOf([&] { movie.frame(count); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->frame(), count);
    EXPECT_TRUE(mentions(*error, c.beyondTheEnd)) << error->what();
    EXPECT_TRUE(mentions(*error, "frame " + std::to_string(count))) << error->what();
}

INSTANTIATE_TEST_SUITE_P(
    Media, Damaged,
    testing::Values(DamagedCase{Malformed::TruncatedInData, 5, malformedFrames - 2, "truncated"},
                    DamagedCase{Malformed::NoIndex, malformedFrames, malformedFrames, "range"},
                    DamagedCase{Malformed::OverclaimedFrames, malformedFrames, malformedFrames,
                                "range"}),
    [](const auto& info) { return testmedia::malformedName(info.param.kind); });

TEST(MovieOpen, MissingFileAndFolderAreReportedByName) {
    const auto missing = scratchFolder() / "no such movie.avi";
    const auto folder = scratchFolder() / "a folder.avi";
    std::filesystem::create_directories(folder);
    for (const auto& file : {missing, folder}) {
        const auto error = errorOf([&] { media::Movie movie(file); });
        ASSERT_TRUE(error.has_value()) << utf8(file);
        EXPECT_TRUE(mentions(*error, utf8(file))) << error->what();
    }
}

// An 8 x 8 bitmap file: FFmpeg reads it, but it is no movie of ours.
void writeBitmap(const std::filesystem::path& file) {
    const core::BgrImage image = core::BgrImage::blank(8, 8);
    std::ofstream out(file, std::ios::binary);
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(image.bytes.size());
    unsigned char header[54] = {'B', 'M'};
    std::memcpy(header + 2, &size, 4);
    header[10] = 54;
    header[14] = 40;
    header[18] = 8;
    header[22] = 8;
    header[26] = 1;
    header[28] = 24;
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    out.write(reinterpret_cast<const char*>(image.bytes.data()),
              static_cast<std::streamsize>(image.bytes.size()));
}

TEST(MovieOpen, FileOfAnotherContainerIsRefused) {
    const auto file = scratchFolder() / "not-avi.avi";
    writeBitmap(file);
    const auto error = errorOf([&] { media::Movie movie(file); });
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(mentions(*error, utf8(file))) << error->what();
}

// A picture whose name reads as a numbered series ("shot%d.bmp") opens in FFmpeg as a movie of
// the pictures shot1.bmp, shot2.bmp ...: a still series, not a movie.
TEST(MovieOpen, APictureSeriesNameIsRefused) {
    const auto file = scratchFolder() / "shot%d.bmp";
    writeBitmap(file);
    writeBitmap(scratchFolder() / "shot1.bmp");
    const auto error = errorOf([&] { media::Movie movie(file); });
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(mentions(*error, "still picture")) << error->what();
}

TEST(MovieRange, FramesOutsideTheMovieAreReportedWithTheirNumber) {
    media::Movie movie(movieFor(recipeOf(Codec::Mjpeg, 20)));
    for (const int n : {-1, 20, 1000}) {
        const auto error = errorOf([&] { movie.frame(n); });
        ASSERT_TRUE(error.has_value()) << n;
        EXPECT_EQ(error->frame(), n);
        EXPECT_TRUE(mentions(*error, "out of range")) << error->what();
    }
    EXPECT_EQ(frameNumberOf(movie.frame(19)), 19);
}

std::vector<unsigned char> readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& file, const std::vector<unsigned char>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::size_t offsetOf(const std::vector<unsigned char>& bytes, const char* tag) {
    const auto found = std::search(bytes.begin(), bytes.end(), tag, tag + 4);
    return found == bytes.end() ? bytes.size() : static_cast<std::size_t>(found - bytes.begin());
}

// Puts `value` into the data of the first chunk tagged `tag`, `offset` bytes in.
void patchChunk(std::vector<unsigned char>& bytes, const char* tag, std::size_t offset,
                const char value[4]) {
    const std::size_t at = offsetOf(bytes, tag) + 8 + offset;
    ASSERT_LE(at + 4, bytes.size()) << tag;
    std::copy(value, value + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// Overwrites the data of the video chunk `chunk` (in stored order) with `fill`.
void damageChunk(std::vector<unsigned char>& bytes, int chunk, unsigned char fill) {
    const auto read32 = [&](std::size_t at) {
        return static_cast<std::size_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                        bytes[at + 3] << 24);
    };
    std::size_t at = offsetOf(bytes, "movi") + 4;
    for (int seen = 0;; ++seen) {
        ASSERT_LT(at + 8, bytes.size());
        const std::size_t size = read32(at + 4);
        if (seen == chunk) {
            std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at + 8), size, fill);
            return;
        }
        at += 8 + size + (size & 1);
    }
}

std::filesystem::path alteredCopy(const std::filesystem::path& source, const std::string& name,
                                  const std::function<void(std::vector<unsigned char>&)>& alter) {
    std::vector<unsigned char> bytes = readBytes(source);
    alter(bytes);
    const auto file = scratchFolder() / name;
    writeBytes(file, bytes);
    return file;
}

TEST(MovieOpen, UnknownCodecIsReportedAsNotSupported) {
    const auto file =
        alteredCopy(movieFor(recipeOf(Codec::Mjpeg, 10)), "unknown-codec.avi", [](auto& bytes) {
            patchChunk(bytes, "strh", 4, "QQQQ");  // handler
            patchChunk(bytes, "strf", 16, "QQQQ"); // compression
        });
    const auto error = errorOf([&] { media::Movie movie(file); });
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(mentions(*error, "not supported")) << error->what();
    EXPECT_TRUE(mentions(*error, utf8(file))) << error->what();
}

// A capture cut off before its headers were final: no index, and a frame count of one.
TEST(MovieCount, IndexlessFileWithStaleHeaderCountsTheFramesItHolds) {
    const auto file =
        alteredCopy(malformedMovie(Malformed::NoIndex), "stale-header.avi", [](auto& bytes) {
            const char one[4] = {1, 0, 0, 0};
            patchChunk(bytes, "avih", 16, one);
            patchChunk(bytes, "strh", 32, one);
        });
    media::Movie movie(file);
    ASSERT_EQ(movie.frameCount(), malformedFrames);
    for (const int n : {malformedFrames - 1, 3, 17})
        EXPECT_EQ(frameNumberOf(movie.frame(n)), n);
}

// Rewritten in place by another program while open: its frames would come from the old layout.
TEST(MovieDamage, AFileRewrittenWhileOpenIsReportedNotMisread) {
    const auto file = scratchFolder() / "rewritten.avi";
    std::filesystem::copy_file(movieFor(recipeOf(Codec::Mjpeg, 12)), file,
                               std::filesystem::copy_options::overwrite_existing);
    media::Movie movie(file);
    EXPECT_EQ(frameNumberOf(movie.frame(3)), 3);
    const std::vector<unsigned char> other = readBytes(movieFor(recipeOf(Codec::Mjpeg, 30)));
    {
        std::ofstream out(file, std::ios::binary | std::ios::in | std::ios::out);
        out.write(reinterpret_cast<const char*>(other.data()),
                  static_cast<std::streamsize>(other.size()));
    }
    const auto error = errorOf([&] { movie.frame(4); });
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(mentions(*error, "changed")) << error->what();
    EXPECT_EQ(error->frame(), 4);
}

// A rewrite of the same length (a tag editor, a repair in place) is told by its write time,
// and even frame 0 is refused.
TEST(MovieDamage, AFileRewrittenInPlaceToTheSameSizeIsReported) {
    const auto file = scratchFolder() / "rewritten-same-size.avi";
    std::filesystem::copy_file(movieFor(recipeOf(Codec::Mjpeg, 12)), file,
                               std::filesystem::copy_options::overwrite_existing);
    media::Movie movie(file);
    EXPECT_EQ(frameNumberOf(movie.frame(1)), 1);
    const auto written = std::filesystem::last_write_time(file);
    std::vector<unsigned char> bytes = readBytes(file);
    damageChunk(bytes, 0, 0x00);
    {
        std::ofstream out(file, std::ios::binary | std::ios::in | std::ios::out);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::filesystem::last_write_time(file, written + std::chrono::seconds(2));
    const auto error = errorOf([&] { movie.frame(0); });
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(mentions(*error, "changed")) << error->what();
    EXPECT_EQ(error->frame(), 0);
}

// The stream header's start (dwStart) puts blank frames before the first picture. A start
// longer than the movie itself is a broken header: believed, a 14 KB file would count two
// billion frames.
TEST(MovieCount, AStartLongerThanTheMovieIsNotBelieved) {
    struct StartCase {
        char start[4];
        int blanks;
    };
    for (const StartCase& c :
         {StartCase{{3, 0, 0, 0}, 3}, StartCase{{12, 0, 0, 0}, 12}, StartCase{{0, 0, 0, 0x40}, 0},
          StartCase{{static_cast<char>(0xff), 0x7f, 0, 0}, 0}}) {
        const int blanks = c.blanks;
        const auto file =
            alteredCopy(movieFor(recipeOf(Codec::Mjpeg, 12)),
                        "start-" + std::to_string(static_cast<unsigned char>(c.start[3])) + "-" +
                            std::to_string(static_cast<unsigned char>(c.start[1])) + ".avi",
                        [&](auto& bytes) { patchChunk(bytes, "strh", 28, c.start); });
        media::Movie movie(file);
        ASSERT_EQ(movie.frameCount(), 12 + blanks);
        for (const int n : {0, blanks, blanks + 5, blanks + 11}) {
            const int expected = n < blanks ? -1 : n - blanks;
            EXPECT_EQ(frameNumberOf(movie.frame(n)), expected) << "frame " << n;
        }
    }
}

// Rewrites the key-frame flags of the first `entries` idx1 entries (all when negative): entry i
// is flagged when `every` > 0 divides i.
void flagIndexEntries(std::vector<unsigned char>& bytes, int entries, int every) {
    const std::size_t index = offsetOf(bytes, "idx1");
    ASSERT_LT(index + 8, bytes.size());
    std::size_t entry = index + 8;
    for (int i = 0; i != entries && entry + 16 <= bytes.size(); ++i, entry += 16)
        bytes[entry + 4] = every > 0 && i % every == 0 ? 0x10 : 0x00; // AVIIF_KEYFRAME
}

// Key flags do not always tell the truth: some writers flag every chunk, a damaged index may
// flag predicted pictures or none up to some point. Frames still come right, in any order.
struct KeyFlagCase {
    const char* name;
    Codec codec;
    int entries;
    int every;
};

class MisflaggedKeys : public testing::TestWithParam<KeyFlagCase> {};

TEST_P(MisflaggedKeys, FramesComeRightInAnyOrder) {
    const KeyFlagCase c = GetParam();
    const auto file =
        alteredCopy(movieFor(recipeOf(c.codec, 30)), std::string(c.name) + ".avi",
                    [&](auto& bytes) { flagIndexEntries(bytes, c.entries, c.every); });
    media::Movie movie(file);
    ASSERT_EQ(movie.frameCount(), 30);
    for (const int n : {13, 17, 29, 2, 22, 0, 11, 26, 5})
        EXPECT_EQ(frameNumberOf(movie.frame(n)), n) << n;
}

INSTANTIATE_TEST_SUITE_P(
    Media, MisflaggedKeys,
    testing::Values(KeyFlagCase{"EveryChunkFlaggedInter", Codec::Mpeg4BFrames, -1, 1},
                    KeyFlagCase{"EveryThirdFlaggedInter", Codec::Mpeg4BFrames, -1, 3},
                    KeyFlagCase{"FirstChunksUnflaggedIntra", Codec::Mjpeg, 10, 0},
                    KeyFlagCase{"FirstChunkUnflaggedInter", Codec::Mpeg4BFrames, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Without an index the demuxer takes every chunk for a key frame, and a jump could only start at
// the beginning. The key frames are found in the pictures' own headers, and jumps land right.
TEST(MovieIndexless, KeyFramesAreFoundInThePictures) {
    for (const Codec codec : {Codec::H264, Codec::Mpeg4BFrames, Codec::Mpeg4PackedBFrames}) {
        const auto file = scratchFolder() / ("indexless-" + testmedia::codecName(codec) + ".avi");
        testmedia::writeIndexlessMovie(file, recipeOf(codec, 60, 12));
        media::Movie movie(file);
        if (codec == Codec::H264) {
            const std::vector<media::FrameRecord> table = movie.frameTable();
            ASSERT_EQ(table.size(), 60u);
            for (int n = 0; n < 60; ++n)
                EXPECT_EQ(table[static_cast<std::size_t>(n)].key, n % 12 == 0) << "frame " << n;
        }
        for (const int n : {59, 13, 36, 35, 2, 47, 24, 23, 11, 12, 10})
            EXPECT_EQ(frameNumberOf(movie.frame(n)), n) << testmedia::codecName(codec);
    }
}

// The first frame matters most: its picture fixes how the others are numbered, and a broken
// one once shifted every later frame by one.
TEST(MovieDamage, UndecodableFrameIsReportedAndItsNeighboursStillCome) {
    for (const int damaged : {9, 0, 19}) {
        const auto file = alteredCopy(movieFor(recipeOf(Codec::Mjpeg, 20)),
                                      "damaged-frame-" + std::to_string(damaged) + ".avi",
                                      [&](auto& bytes) { damageChunk(bytes, damaged, 0x00); });
        media::Movie movie(file);
        ASSERT_EQ(movie.frameCount(), 20);
        for (const int n : {8, 9, 10, 9, 0, 1, 9, 18, 19}) {
            if (n != damaged) {
                EXPECT_EQ(frameNumberOf(movie.frame(n)), n) << "damaged " << damaged;
                continue;
            }
            const auto error = errorOf([&] { movie.frame(n); });
            ASSERT_TRUE(error.has_value()) << "damaged " << damaged;
            EXPECT_EQ(error->frame(), damaged);
            EXPECT_TRUE(mentions(*error, "frame " + std::to_string(damaged))) << error->what();
            EXPECT_TRUE(mentions(*error, utf8(file))) << error->what();
        }
    }
}

// Stepping back keeps the pictures decoded on the way. Pictures decoded from a damaged reference
// must not be among them, or a later step would hand one out as good.
TEST(MovieDamage, SteppingBackPastADamagedPictureHandsOutNoBrokenOne) {
    const auto file = alteredCopy(movieFor(recipeOf(Codec::Mpeg4BFrames, 24)), "damaged-p.avi",
                                  [](auto& bytes) { damageChunk(bytes, 4, 0x00); });
    media::Movie movie(file);
    std::vector<int> reported;
    for (int n = 14; n >= 0; --n) {
        try {
            EXPECT_EQ(frameNumberOf(movie.frame(n)), n);
        } catch (const media::MovieError& error) {
            EXPECT_EQ(error.frame(), n);
            reported.push_back(n);
        }
    }
    EXPECT_FALSE(reported.empty());
}

// The decoder's complaint says which component failed, but not where it lived in memory: an
// address tells a reader nothing.
TEST(MovieDamage, TheDecodersComplaintCarriesNoAddress) {
    const auto file = scratchFolder() / "garbled-5.avi";
    testmedia::writeGarbledFrame(file, 12, 5);
    media::Movie movie(file);
    const auto error = errorOf([&] { movie.frame(5); });
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(mentions(*error, "decode failure (mjpeg: ")) << error->what();
    EXPECT_FALSE(mentions(*error, "0x")) << error->what();
    EXPECT_FALSE(mentions(*error, "[")) << error->what();
}

// MJPEG decodes noise in its data into a picture it does not mark, and only its log tells: that
// frame is an error however it is reached, and its neighbours stay good.
TEST(MovieDamage, APictureTheDecoderLoggedErrorsForIsDamaged) {
    const auto file = scratchFolder() / "scrambled-5.avi";
    testmedia::writeScrambledFrame(file, 12, 5);
    media::Movie movie(file);
    for (const int from : {4, 0, 8}) { // reading on, by a jump forward, by a jump back
        EXPECT_EQ(frameNumberOf(movie.frame(from)), from);
        const auto error = errorOf([&] { movie.frame(5); });
        ASSERT_TRUE(error.has_value()) << "after frame " << from;
        EXPECT_EQ(error->frame(), 5);
        EXPECT_TRUE(mentions(*error, "damaged")) << error->what();
    }
    EXPECT_EQ(frameNumberOf(movie.frame(6)), 6);
}

// An index entry whose chunk is not where it says, or not the size it says: that frame is
// damaged, and every other frame keeps its own picture, whether read on to or jumped to.
TEST(MovieDamage, AnIndexEntryWithoutItsChunkIsADamagedFrameThatMovesNoOther) {
    const auto overwritten = scratchFolder() / "overwritten-10-11.avi";
    const auto missized = scratchFolder() / "missized-10.avi";
    testmedia::writeOverwrittenChunks(overwritten, 30, 10, 11);
    testmedia::writeDamagedIndexEntry(missized, 30, 10, testmedia::IndexEntryDamage::Size);
    for (const auto& [file, lastDamaged] : {std::pair{overwritten, 11}, std::pair{missized, 10}}) {
        media::Movie movie(file);
        ASSERT_EQ(movie.frameCount(), 30) << utf8(file);
        std::vector<int> frames{29, 12, lastDamaged, 10, 13, 5};
        for (int n = 0; n < 30; ++n)
            frames.push_back(n);
        for (const int n : frames) {
            std::optional<int> shown;
            const auto error = errorOf([&] { shown = frameNumberOf(movie.frame(n)); });
            if (n < 10 || n > lastDamaged) {
                EXPECT_EQ(shown, n) << utf8(file);
                continue;
            }
            ASSERT_TRUE(error.has_value()) << utf8(file) << ", frame " << n;
            EXPECT_EQ(error->frame(), n);
            EXPECT_TRUE(mentions(*error, "damaged")) << error->what();
        }
    }
}

// An index entry of no stream is dropped, and the demuxer's own count of the chunks it reads no
// longer matches the index past it: each frame must still be one picture however it is reached.
TEST(MovieDamage, AnIndexEntryOfNoStreamGivesEachFrameOnePicture) {
    const auto file = scratchFolder() / "misnamed-10.avi";
    testmedia::writeDamagedIndexEntry(file, 30, 10, testmedia::IndexEntryDamage::Id);
    media::Movie readingOn(file);
    media::Movie jumping(file);
    const int count = readingOn.frameCount();
    std::vector<int> shown;
    for (int n = 0; n < count; ++n)
        shown.push_back(frameNumberOf(readingOn.frame(n)));
    for (int n = count - 1; n >= 0; n -= 2)
        EXPECT_EQ(frameNumberOf(jumping.frame(n)), shown[static_cast<std::size_t>(n)])
            << "frame " << n;
}

// A stop asked for mid-jump ends the decode at the next packet, in either engine; the movie
// then still serves the frame.
TEST(MovieStop, ALongJumpEndsWhenAskedAndTheMovieGoesOn) {
    testmedia::ContainerRecipe mp4;
    mp4.frames = 48;
    mp4.gop = 48;
    for (const std::filesystem::path& file :
         {movieFor(recipeOf(Codec::H264, 48, 48)), testmedia::sharedContainerMovie(mp4)}) {
        int asked = 0;
        int answerYesAt = 0;
        media::Movie movie(file, {.stopRequested = [&] {
                               ++asked;
                               return asked == answerYesAt;
                           }});
        asked = 0;
        answerYesAt = 5;
        const auto error = errorOf([&] { movie.frame(40); });
        ASSERT_TRUE(error.has_value()) << utf8(file);
        EXPECT_EQ(error->kind(), media::MovieError::Kind::Stopped) << error->what();
        EXPECT_EQ(asked, 5) << utf8(file);
        EXPECT_EQ(frameNumberOf(movie.frame(40)), 40) << utf8(file);
    }
}

// Movies decoding side by side each keep their own decoder's and demuxer's complaints.
TEST(FfmpegLog, EachLogHoldsTheErrorsOfItsOwnContextsOnly) {
    media::FfmpegLog first;
    media::FfmpegLog second;
    const media::CodecContextPtr decoder(
        avcodec_alloc_context3(avcodec_find_decoder(AV_CODEC_ID_MJPEG)));
    const media::InputContextPtr demuxer(avformat_alloc_context());
    ASSERT_TRUE(decoder && demuxer);
    first.attach(*decoder);
    second.attach(*demuxer);

    av_log(decoder.get(), AV_LOG_ERROR, "first broke\n");
    av_log(demuxer.get(), AV_LOG_WARNING, "only a warning\n");
    av_log(nullptr, AV_LOG_ERROR, "nobody's\n");
    EXPECT_EQ(first.takeLastError(), "mjpeg: first broke");
    EXPECT_EQ(second.takeLastError(), "");

    av_log(demuxer.get(), AV_LOG_ERROR, "second broke\n");
    EXPECT_EQ(first.takeLastError(), "");
    EXPECT_NE(second.takeLastError().find("second broke"), std::string::npos);
}

} // namespace

namespace {

// An index entry pointing at another stream's chunk, out of sequence: frame 7 must not come out
// as the picture of the chunk stored after that one. The movie's own chunks tell the truth.
TEST(MovieDamage, AnIndexEntryOnAnotherStreamsChunkIsNotBelieved) {
    const auto file = mediatest::scratchFolder() / "misindexed.avi";
    testmedia::writeMisindexedMovie(file, 30, 7, 11);
    media::Movie movie(file);
    ASSERT_EQ(movie.frameCount(), 30);
    for (const int n : {7, 29, 6, 7, 8, 0, 11})
        EXPECT_EQ(mediatest::frameNumberOf(movie.frame(n)), n) << "frame " << n;
    for (int n = 0; n < 30; ++n)
        EXPECT_EQ(mediatest::frameNumberOf(movie.frame(n)), n) << "frame " << n;
}

// Bits flipped inside one picture of an AVI file: the decoder conceals the damage, and that frame
// is an error, with one decoder thread or several; the pictures around it are whole.
TEST(MovieDamage, AConcealedPictureInAnAviFileIsAnErrorOfItsFrame) {
    constexpr int damaged = 10;
    const auto file = mediatest::scratchFolder() / "flipped.avi";
    testmedia::writeMovie(file, recipeOf(Codec::Mpeg4Intra, 30));
    std::ifstream in(file, std::ios::binary);
    testmedia::RiffFile riff(std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in), {}});
    int chunk = 0;
    std::vector<std::uint8_t> bytes = riff.bytes();
    for (const auto& stored : riff.children(riff.require(riff.root(), "LIST", "movi")))
        if (stored.id.substr(2) == "dc" && chunk++ == damaged)
            for (std::size_t at = stored.dataOffset() + stored.size / 3;
                 at < stored.dataOffset() + stored.size * 2 / 3; ++at)
                bytes[at] ^= 0x55;
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    for (const int threads : {1, 0}) {
        media::Movie movie(file, {.decoderThreads = threads});
        for (const int n : {damaged - 1, damaged + 1, 0})
            EXPECT_EQ(frameNumberOf(movie.frame(n)), n) << "frame " << n;
        const auto error = errorOf([&] { movie.frame(damaged); });
        ASSERT_TRUE(error.has_value()) << "threads " << threads;
        EXPECT_EQ(error->frame(), damaged);
        EXPECT_NE(error->reason().find("damaged"), std::string::npos) << error->what();
    }
}

} // namespace
