#include "ExtractRun.h"
#include "core/BmpWriter.h"
#include "media/Movie.h"
#include "support/testmedia/ContainerDamage.h"
#include "support/testmedia/TestMedia.h"

#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <png.h>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using clitest::fileNames;
using clitest::freshFolder;
using clitest::readBytes;
using clitest::runExtract;
using testmedia::Codec;

testmedia::MovieRecipe recipe(Codec codec, int frames, int width = 128, int height = 96) {
    testmedia::MovieRecipe recipe;
    recipe.codec = codec;
    recipe.frames = frames;
    recipe.width = width;
    recipe.height = height;
    return recipe;
}

std::string frameFile(const std::string& base, int frame, const char* extension = "bmp") {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%05d.%s", base.c_str(), frame, extension);
    return name;
}

std::vector<std::string> frameFiles(const std::string& base, const std::vector<int>& frames) {
    std::vector<std::string> names;
    for (const int frame : frames)
        names.push_back(frameFile(base, frame));
    return names;
}

std::vector<int> framesFromTo(int first, int last) {
    std::vector<int> frames;
    for (int frame = first; frame <= last; ++frame)
        frames.push_back(frame);
    return frames;
}

// The frame number a written BMP file shows, read from its own rows (bottom row first).
int frameNumberInBmp(const fs::path& file) {
    const std::vector<std::uint8_t> bytes = readBytes(file);
    if (bytes.size() < 54)
        return -2;
    const auto read32 = [&](std::size_t at) {
        return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                         bytes[at + 3] << 24);
    };
    const int width = read32(18);
    const int height = read32(22);
    const int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> topFirst;
    const std::size_t pixels = static_cast<std::size_t>(read32(10));
    for (int y = height - 1; y >= 0; --y) {
        const auto row = bytes.begin() + static_cast<std::ptrdiff_t>(pixels) + y * stride;
        topFirst.insert(topFirst.end(), row, row + stride);
    }
    return testmedia::readFrameNumber({topFirst.data(), width, height, stride});
}

TEST(ExtractFrameList, WritesEachListedFrameOnceInAnyOrderOfTheText) {
    const fs::path movie = testmedia::sharedMovie(recipe(Codec::Mjpeg, 30));
    const fs::path out = freshFolder("frame-list");

    const clitest::RunResult run = runExtract(
        {"--frames", "25,3,10-14,0-20/7,3,17-17", "--out", out.string(), movie.string()}, out);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<int> listed{0, 3, 7, 10, 11, 12, 13, 14, 17, 25};
    const std::string base = movie.stem().string();
    ASSERT_EQ(fileNames(out), frameFiles(base, listed));
    for (const int frame : listed)
        EXPECT_EQ(frameNumberInBmp(out / frameFile(base, frame)), frame);
}

// The same files, byte for byte, whether one job decodes the movie or several decode stretches
// of it side by side, for a movie with B-frames and one of key frames only.
TEST(ExtractJobs, SeveralJobsWriteTheFilesOfOneJob) {
    for (const Codec codec : {Codec::Mpeg4BFrames, Codec::Mjpeg}) {
        const fs::path movie = testmedia::sharedMovie(recipe(codec, 60));
        for (const std::vector<std::string>& range :
             {std::vector<std::string>{}, std::vector<std::string>{"--frames", "1,5-59/3,58"}}) {
            const fs::path root = freshFolder("jobs-" + testmedia::codecName(codec));
            std::map<std::string, std::vector<std::string>> listing;
            for (const char* jobs : {"1", "4"}) {
                std::vector<std::string> args = range;
                args.insert(args.end(),
                            {"--jobs", jobs, "--out", (root / jobs).string(), movie.string()});
                const clitest::RunResult run = runExtract(args, root);
                EXPECT_EQ(run.exitCode, 0) << run.err;
                listing[jobs] = fileNames(root / jobs);
            }
            ASSERT_EQ(listing["4"], listing["1"]) << testmedia::codecName(codec);
            EXPECT_GT(listing["1"].size(), 20u);
            for (const std::string& name : listing["1"])
                EXPECT_EQ(readBytes(root / "4" / name), readBytes(root / "1" / name)) << name;
        }
    }
}

// Stretches decoded side by side meet at key frames; each frame is still written once, so the
// progress a user watches ends at the planned count and never passes it.
TEST(ExtractJobs, TheProgressLineCountsEachFrameOnce) {
    const fs::path movie = testmedia::sharedMovie(recipe(Codec::Mjpeg, 60));
    const fs::path out = freshFolder("jobs-progress");

    const clitest::RunResult run =
        clitest::runExtractOnTerminal({"--jobs", "4", "--out", out.string(), movie.string()}, out);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(fileNames(out).size(), 60u);
    std::vector<int> counts;
    std::istringstream shown(run.err);
    std::string piece;
    while (std::getline(shown, piece, '\r')) {
        int done = 0;
        int total = 0;
        if (std::sscanf(piece.c_str(), " %d/%d frames", &done, &total) == 2 && total == 60)
            counts.push_back(done);
    }
    ASSERT_FALSE(counts.empty()) << run.err;
    EXPECT_EQ(counts.back(), 60) << run.err;
    EXPECT_EQ(counts.size(), 60u) << run.err;
}

TEST(ExtractSeveralMovies, OneUnreadableMovieFailsAloneAndEachMovieGetsItsFolder) {
    const fs::path root = freshFolder("several-movies");
    testmedia::writeMovie(root / "first.avi", recipe(Codec::Mjpeg, 5));
    testmedia::writeMalformed(root / "broken.avi", testmedia::Malformed::NotRiff);
    testmedia::writeMovie(root / "last.avi", recipe(Codec::Mjpeg, 4));
    const fs::path out = root / "out";

    const clitest::RunResult run = runExtract(
        {"--out-per-movie", "--out", out.string(), "first.avi", "broken.avi", "last.avi"}, root);

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(fileNames(out), (std::vector<std::string>{"first", "last"}));
    EXPECT_EQ(fileNames(out / "first"), frameFiles("first", framesFromTo(0, 4)));
    EXPECT_EQ(fileNames(out / "last"), frameFiles("last", framesFromTo(0, 3)));
    EXPECT_NE(run.err.find("broken.avi"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("1 of 3 movies failed"), std::string::npos) << run.err;
}

// Decoded from the PNG file by libpng, compared with the picture the movie was made from: a
// channel swap, a lost row or a wrong palette place fails. A palettised movie keeps its palette.
TEST(ExtractPng, DecodesToTheSourcePicturesAsTheBmpDoes) {
    for (const Codec codec : {Codec::RawBgr24, Codec::RawPal8}) {
        const testmedia::MovieRecipe colour = recipe(codec, 6, 70, 40);
        ASSERT_TRUE(testmedia::isRgbExact(colour.codec));
        const fs::path movie = testmedia::sharedMovie(colour);
        const fs::path out = freshFolder("png-" + movie.stem().string());

        const clitest::RunResult run =
            runExtract({"--format", "png", "--out", out.string(), movie.string()}, out);

        ASSERT_EQ(run.exitCode, 0) << run.err;
        const png_uint_32 stored =
            codec == Codec::RawPal8 ? PNG_FORMAT_RGB_COLORMAP : PNG_FORMAT_RGB; // 8-bit, no alpha
        for (int frame = 0; frame < colour.frames; ++frame) {
            png_image image{};
            image.version = PNG_IMAGE_VERSION;
            const fs::path file = out / frameFile(movie.stem().string(), frame, "png");
            ASSERT_NE(png_image_begin_read_from_file(&image, file.c_str()), 0) << file;
            EXPECT_EQ(image.format, stored) << file;
            image.format = PNG_FORMAT_BGR;
            std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
            ASSERT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0);
            EXPECT_EQ(pixels, testmedia::expectedPicture(colour, frame)) << file;
        }
    }
}

// Frame, time, key flag and size a line, as the movie was written: 25 frames a second, a key
// picture shown every 12 frames (its chunk stored before the B-frames that show ahead of it), a
// dropped frame a zero-size non-key one.
TEST(ExtractFrameTable, ListsTheContainersTimesKeysAndSizes) {
    testmedia::MovieRecipe gop12 = recipe(Codec::Mpeg4BFrames, 30);
    testmedia::MovieRecipe dropped = recipe(Codec::Mjpeg, 10);
    dropped.droppedFrames = {7};
    for (const testmedia::MovieRecipe& movie : {gop12, dropped}) {
        const fs::path file = testmedia::sharedMovie(movie);
        const clitest::RunResult run = runExtract({"--list", file.string()}, file.parent_path());
        ASSERT_EQ(run.exitCode, 0) << run.err;

        std::istringstream lines(run.out);
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, "frame,seconds,key,packet_size");
        for (int frame = 0; frame < movie.frames; ++frame) {
            ASSERT_TRUE(std::getline(lines, line)) << "frame " << frame;
            const bool isDropped = frame == 7 && !movie.droppedFrames.empty();
            const bool key = movie.codec == Codec::Mjpeg ? !isDropped : frame % movie.gop == 0;
            char start[64];
            std::snprintf(start, sizeof start, "%d,%.6f,%d,", frame, frame / 25.0, key ? 1 : 0);
            EXPECT_EQ(line.rfind(start, 0), 0u) << line;
            const int size = std::stoi(line.substr(std::string(start).size()));
            EXPECT_EQ(size == 0, isDropped) << line;
        }
        EXPECT_FALSE(std::getline(lines, line)) << line;
    }
}

// Whichever of the three signals stops a run, only whole files stay, no temporary file, the
// count it reports is the count in the folder, the signal is named, and the status is 128 + the
// signal.
TEST(ExtractInterruption, StopsPromptlyLeavingOnlyWholeFiles) {
    const testmedia::MovieRecipe big = recipe(Codec::Mjpeg, 300, 640, 480);
    const fs::path movie = testmedia::sharedMovie(big);
    const std::uintmax_t wholeSize = 54 + 640 * 480 * 3;
    const std::pair<int, std::string> signals[] = {
        {SIGINT, "INT"}, {SIGTERM, "TERM"}, {SIGHUP, "HUP"}};
    for (const auto& [signal, signalName] : signals) {
        const fs::path out = freshFolder("interrupt-" + std::to_string(signal));
        clitest::BackgroundRun run({"--jobs", "2", "--out", out.string(), movie.string()}, out);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (fileNames(out).size() < 3 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_GE(fileNames(out).size(), 3u) << "the run wrote no files";
        run.signal(signal);

        const clitest::RunResult result = run.wait(10.0);

        EXPECT_EQ(result.exitCode, 128 + signal) << result.err;
        const std::vector<std::string> names = fileNames(out);
        EXPECT_LT(names.size(), static_cast<std::size_t>(big.frames));
        for (const std::string& name : names) {
            EXPECT_NE(name.front(), '.') << name;
            EXPECT_EQ(fs::file_size(out / name), wholeSize) << name;
        }
        EXPECT_NE(result.err.find("stopped by SIG" + signalName + ": " +
                                  std::to_string(names.size()) + " files written"),
                  std::string::npos)
            << result.err;
    }
}

// A user pressing Ctrl+C twice: the second signal, coming while the files in hand are finished,
// changes nothing; the run still ends by itself and says what it wrote.
TEST(ExtractInterruption, ASecondSignalWhileStoppingChangesNothing) {
    const fs::path movie = testmedia::sharedMovie(recipe(Codec::Mjpeg, 300, 640, 480));
    const fs::path out = freshFolder("interrupt-twice");
    clitest::BackgroundRun run({"--jobs", "2", "--out", out.string(), movie.string()}, out);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (fileNames(out).size() < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(fileNames(out).size(), 3u) << "the run wrote no files";
    run.signal(SIGINT);
    // Two signals sent at once arrive as one.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    run.signal(SIGINT);

    const clitest::RunResult result = run.wait(10.0);

    EXPECT_EQ(result.exitCode, 128 + SIGINT) << result.err;
    EXPECT_NE(result.err.find("stopped by SIGINT: "), std::string::npos) << result.err;
}

// Frames no decoder accepts, the last of one job's stretch and the first of the next: the run
// stops at the first (files after it that another job had finished are taken back, and the
// second job's failure, met sooner, is not the one told), or with --keep-going goes on and
// writes every other frame as its own picture.
TEST(ExtractDamagedFrame, StopsThereOrKeepsGoingPastIt) {
    const fs::path root = freshFolder("damaged");
    testmedia::writeGarbledFrames(root / "bad.avi", 30, {3, 4});
    std::vector<int> allButDamaged = framesFromTo(0, 29);
    allButDamaged.erase(allButDamaged.begin() + 4);
    allButDamaged.erase(allButDamaged.begin() + 3);
    for (const bool keepGoing : {false, true}) {
        const fs::path out = root / (keepGoing ? "keep-going" : "stop");
        std::vector<std::string> args{"--jobs", "2", "--out", out.string(), "bad.avi"};
        if (keepGoing)
            args.push_back("--keep-going");

        const clitest::RunResult run = runExtract(args, root);

        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("frame 3:"), std::string::npos) << run.err;
        const std::vector<int> expected = keepGoing ? allButDamaged : framesFromTo(0, 2);
        EXPECT_EQ(fileNames(out), frameFiles("bad", expected));
        for (const int frame : expected)
            EXPECT_EQ(frameNumberInBmp(out / frameFile("bad", frame)), frame);
        if (keepGoing) {
            EXPECT_NE(run.err.find("frames missing: 2"), std::string::npos) << run.err;
        }
    }
}

// A picture the decoder had to conceal errors in is never written as good: the run stops
// there, or with --keep-going reports it and goes on from the next key frame.
TEST(ExtractConcealedPicture, StopsThereOrKeepsGoingFromTheNextKeyFrame) {
    const fs::path root = freshFolder("concealed");
    fs::copy_file(testmedia::damagedContainerMovie(testmedia::ContainerDamage::Mp4FlippedBits),
                  root / "flipped.mp4");
    const int damaged = testmedia::flippedBitsFrame();
    constexpr int gop = 12;
    constexpr int frames = 36;
    for (const bool keepGoing : {false, true}) {
        const fs::path out = root / (keepGoing ? "keep-going" : "stop");
        std::vector<std::string> args{"--jobs", "2", "--out", out.string(), "flipped.mp4"};
        if (keepGoing)
            args.push_back("--keep-going");

        const clitest::RunResult run = runExtract(args, root);

        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("frame " + std::to_string(damaged) + ": damaged"), std::string::npos)
            << run.err;
        std::vector<int> expected = framesFromTo(0, damaged - 1);
        if (keepGoing) {
            const std::vector<int> nextGop = framesFromTo(2 * gop, frames - 1);
            expected.insert(expected.end(), nextGop.begin(), nextGop.end());
            EXPECT_NE(run.err.find("frames missing: " + std::to_string(2 * gop - damaged)),
                      std::string::npos)
                << run.err;
        }
        EXPECT_EQ(fileNames(out), frameFiles("flipped", expected));
        for (const int frame : expected) {
            if (frame < gop || frame >= 2 * gop) {
                EXPECT_EQ(frameNumberInBmp(out / frameFile("flipped", frame)), frame);
            }
        }
    }
}

// A frame built on a damaged key frame is never written, however the run reaches it: alone it
// fails naming that key frame, and a run from the middle of its GOP reports each frame in the
// words of a run through the key frame.
TEST(ExtractConcealedPicture, AFrameBuiltOnADamagedKeyFrameIsNeverWritten) {
    const fs::path root = freshFolder("concealed-key");
    fs::copy_file(testmedia::damagedContainerMovie(testmedia::ContainerDamage::Mp4FlippedKeyFrame),
                  root / "key.mp4");
    const fs::path alone = root / "alone";
    const clitest::RunResult single =
        runExtract({"--frames", "17", "--out", alone.string(), "key.mp4"}, root);
    EXPECT_EQ(single.exitCode, 1);
    EXPECT_NE(single.err.find("frame 17: it depends on the damaged frame 12"), std::string::npos)
        << single.err;
    EXPECT_TRUE(fileNames(alone).empty());

    const fs::path part = root / "part";
    const clitest::RunResult run = runExtract(
        {"--keep-going", "--start", "14", "--end", "25", "--out", part.string(), "key.mp4"}, root);
    EXPECT_EQ(run.exitCode, 1);
    for (int frame = 14; frame < 24; ++frame)
        EXPECT_NE(run.err.find("frame " + std::to_string(frame) +
                               ": skipped: it depends on the damaged frame 12"),
                  std::string::npos)
            << run.err;
    EXPECT_EQ(fileNames(part), frameFiles("key", {24, 25}));
}

// Recordings cut from the middle of a movie are numbered from the first picture a player shows:
// pictures that refer to the part cut off are no frames, and the rest all decode.
TEST(ExtractCutRecording, NumbersFromTheFirstPictureShown) {
    const fs::path root = freshFolder("cut-recording");
    for (const auto damage : {testmedia::ContainerDamage::TransportCutAtKey,
                              testmedia::ContainerDamage::MatroskaCutMidGop}) {
        const fs::path source = testmedia::damagedContainerMovie(damage);
        fs::copy_file(source, root / source.filename());
        const std::string base = source.stem().string();
        const clitest::RunResult run =
            runExtract({"--jobs", "2", "--out", base, source.filename().string()}, root);

        EXPECT_EQ(run.exitCode, 0) << run.err;
        constexpr int firstShown = 12;
        EXPECT_EQ(fileNames(root / base), frameFiles(base, framesFromTo(0, 35 - firstShown)));
        for (const int frame : {0, 1, 23})
            EXPECT_EQ(frameNumberInBmp(root / base / frameFile(base, frame)), firstShown + frame);
    }
}

// A container whose header counts no frames, cut inside its data: truncated, but no promise of
// frames was broken.
TEST(ExtractCutRecording, ACutWithoutACountIsTheMoviesFaultButPromisesNothing) {
    const fs::path root = freshFolder("cut-without-count");
    const fs::path source =
        testmedia::damagedContainerMovie(testmedia::ContainerDamage::MatroskaCutInCluster);
    fs::copy_file(source, root / "cut.mkv");

    const clitest::RunResult run = runExtract({"--info", "cut.mkv"}, root);

    EXPECT_NE(run.err.find("'cut.mkv' is truncated: its data end early, holding "),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("promises"), std::string::npos) << run.err;

    // A time past its cut is a frame the damage took, not a wrong command line.
    const clitest::RunResult late = runExtract({"--at", "10m", "--out", "late", "cut.mkv"}, root);
    EXPECT_EQ(late.exitCode, 1) << late.err;
    EXPECT_NE(late.err.find("'cut.mkv' is truncated: its data end at "), std::string::npos)
        << late.err;
}

// A time stamp far past the movie's end is repaired, said so, and every frame keeps its picture.
TEST(ExtractDamagedTimeStamp, IsRepairedAndSaidSo) {
    const fs::path root = freshFolder("far-stamp");
    fs::copy_file(testmedia::damagedContainerMovie(testmedia::ContainerDamage::TransportStampFar),
                  root / "far.ts");

    const clitest::RunResult run = runExtract({"--out", "out", "far.ts"}, root);

    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("'far.ts': 1 damaged time stamp repaired"), std::string::npos)
        << run.err;
    EXPECT_EQ(fileNames(root / "out"), frameFiles("far", framesFromTo(0, 35)));
    for (const int frame : {21, 22, 35})
        EXPECT_EQ(frameNumberInBmp(root / "out" / frameFile("far", frame)), frame);
}

TEST(ExtractTruncated, SaysSoAndHowManyFramesTheHeaderPromised) {
    const fs::path root = freshFolder("truncated");
    testmedia::writeMalformed(root / "cut.avi", testmedia::Malformed::TruncatedInData, 30);

    const clitest::RunResult info = runExtract({"--info", "cut.avi"}, root);
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("\ntruncated=yes\nclaimed_frames=30\n"), std::string::npos) << info.out;

    const clitest::RunResult pastCut = runExtract({"--end", "29", "--out", "out", "cut.avi"}, root);
    EXPECT_EQ(pastCut.exitCode, 1);
    EXPECT_NE(pastCut.err.find("truncated"), std::string::npos) << pastCut.err;
    EXPECT_NE(pastCut.err.find("promises 30 frames"), std::string::npos) << pastCut.err;

    const clitest::RunResult startPastCut =
        runExtract({"--start", "29", "--out", "out", "cut.avi"}, root);
    EXPECT_EQ(startPastCut.exitCode, 1);
    EXPECT_NE(startPastCut.err.find("promises 30 frames"), std::string::npos) << startPastCut.err;
    EXPECT_NE(startPastCut.err.find("start frame 29 is missing"), std::string::npos)
        << startPastCut.err;

    const clitest::RunResult whole = runExtract({"--out", "out", "cut.avi"}, root);
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_NE(whole.err.find("truncated"), std::string::npos) << whole.err;
}

} // namespace
