#include "core/BmpWriter.h"

#include "ScratchFolder.h"
#include "core/BgrImage.h"
#include "core/Error.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/resource.h>
#endif

using core::BgrImage;

namespace {

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

std::uint32_t u16At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8;
}

// Every pixel distinct; the padding holds junk the file must not receive.
BgrImage patternImage(int width, int height) {
    BgrImage image = BgrImage::blank(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.row(y);
        for (int x = 0; x < width; ++x) {
            row[x * 3 + 0] = static_cast<std::uint8_t>(16 * y + x + 1);
            row[x * 3 + 1] = static_cast<std::uint8_t>(16 * y + x + 101);
            row[x * 3 + 2] = static_cast<std::uint8_t>(16 * y + x + 201);
        }
        for (int i = width * 3; i < image.stride(); ++i)
            row[i] = 0xEE;
    }
    return image;
}

struct EncodeCase {
    int width;
    bool withPalette;
};

class EncodeBmp : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeBmp, MatchesTheFileLayout) {
    const auto [width, withPalette] = GetParam();
    constexpr int height = 3;
    BgrImage image = patternImage(width, height);
    if (withPalette)
        image.palette = {0x00123456, 0x00ABCDEF, 0xFF000001};
    const std::uint32_t rowSize = (width * 3 + 3) / 4 * 4;
    const std::uint32_t tableSize = withPalette ? 12 : 0;
    const std::uint32_t imageSize = rowSize * height;

    const std::vector<std::uint8_t> file = core::encodeBmp(image);

    ASSERT_EQ(file.size(), 54 + tableSize + imageSize);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(u32At(file, 2), 54 + tableSize + imageSize);
    EXPECT_EQ(u16At(file, 6), 0u);
    EXPECT_EQ(u16At(file, 8), 0u);
    EXPECT_EQ(u32At(file, 10), 54 + tableSize);
    EXPECT_EQ(u32At(file, 14), 40u);
    EXPECT_EQ(u32At(file, 18), static_cast<std::uint32_t>(width));
    EXPECT_EQ(u32At(file, 22), static_cast<std::uint32_t>(height));
    EXPECT_EQ(u16At(file, 26), 1u);
    EXPECT_EQ(u16At(file, 28), 24u);
    EXPECT_EQ(u32At(file, 30), 0u);
    EXPECT_EQ(u32At(file, 34), imageSize);
    EXPECT_EQ(u32At(file, 38), 0u);
    EXPECT_EQ(u32At(file, 42), 0u);
    EXPECT_EQ(u32At(file, 46), withPalette ? 3u : 0u);
    EXPECT_EQ(u32At(file, 50), 0u);
    if (withPalette) {
        const std::vector<std::uint8_t> table(file.begin() + 54, file.begin() + 66);
        EXPECT_EQ(table, (std::vector<std::uint8_t>{0x56, 0x34, 0x12, 0, 0xEF, 0xCD, 0xAB, 0, 0x01,
                                                    0, 0, 0}));
    }
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const std::size_t start = 54 + tableSize + fileRow * rowSize;
        const std::uint8_t* source = image.row(height - 1 - fileRow);
        for (std::uint32_t i = 0; i < rowSize; ++i) {
            const std::uint8_t expected = i < static_cast<std::uint32_t>(width * 3) ? source[i] : 0;
            ASSERT_EQ(file[start + i], expected) << "file row " << fileRow << " byte " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(WidthsAndPalettes, EncodeBmp,
                         ::testing::Values(EncodeCase{1, false}, EncodeCase{2, false},
                                           EncodeCase{3, false}, EncodeCase{4, false},
                                           EncodeCase{5, false}, EncodeCase{1, true},
                                           EncodeCase{2, true}, EncodeCase{3, true},
                                           EncodeCase{4, true}, EncodeCase{5, true}));

TEST(EncodeBmp, TwoByTwoFileByteForByte) {
    BgrImage image = BgrImage::blank(2, 2);
    const std::uint8_t top[] = {1, 2, 3, 4, 5, 6};
    const std::uint8_t bottom[] = {7, 8, 9, 10, 11, 12};
    std::copy(std::begin(top), std::end(top), image.row(0));
    std::copy(std::begin(bottom), std::end(bottom), image.row(1));
    const std::vector<std::uint8_t> expected = {
        'B', 'M', 70, 0, 0,  0, 0, 0, 0, 0,  54, 0,  0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0,
        0,   0,   1,  0, 24, 0, 0, 0, 0, 0,  16, 0,  0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0,
        0,   0,   0,  0, 0,  0, 7, 8, 9, 10, 11, 12, 0, 0, 1,  2, 3, 4, 5, 6, 0, 0};
    EXPECT_EQ(core::encodeBmp(image), expected);
}

TEST(EncodeBmp, RejectsInconsistentPictures) {
    BgrImage shortData = BgrImage::blank(4, 4);
    shortData.bytes.pop_back();
    EXPECT_THROW(core::encodeBmp(shortData), core::Error);
    BgrImage negative;
    negative.width = -1;
    EXPECT_THROW(core::encodeBmp(negative), core::Error);
    EXPECT_THROW(BgrImage::blank(-1, 1), core::Error);
}

// --- writing files -----------------------------------------------------------------------

std::string asString(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void expectWriteFails(const std::filesystem::path& file, const BgrImage& image,
                      const std::string& reason) {
    try {
        core::writeBmpFile(file, image);
        ADD_FAILURE() << "writing " << file << " succeeded";
    } catch (const core::Error& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(file.filename().string()), std::string::npos) << message;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
}

// Rows go out in several system calls: the tall picture has more rows than one call takes, the
// wide one rows larger than a call's share of bytes. A picture stored bottom first goes out as
// stored, its padding zeroed as every picture's is.
TEST(WriteBmpFile, WritesTheEncodedBytesAndNothingElse) {
    const ScratchFolder folder;
    for (const auto& [width, height] :
         {std::pair{5, 4}, std::pair{5, 1100}, std::pair{100000, 3}}) {
        const BgrImage image = patternImage(width, height);
        core::writeBmpFile(folder / "clip_00000.bmp", image);
        const std::string expected = asString(core::encodeBmp(image));
        EXPECT_EQ(readBytes(folder / "clip_00000.bmp"), expected) << width << " x " << height;

        BgrImage stored = BgrImage::blank(width, height);
        stored.bottomFirst = true;
        for (int y = 0; y < height; ++y)
            std::copy_n(image.row(y), width * 3, stored.row(y));
        core::writeBmpFile(folder / "clip_00000.bmp", stored);
        EXPECT_EQ(readBytes(folder / "clip_00000.bmp"), expected)
            << width << " x " << height << ", rows bottom first";
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"clip_00000.bmp"});
}

TEST(WriteBmpFile, ReplacesAnExistingFile) {
    const ScratchFolder folder;
    writeBytes(folder / "clip_00000.bmp", std::string(100000, 'x'));
    const BgrImage image = patternImage(3, 3);
    core::writeBmpFile(folder / "clip_00000.bmp", image);
    EXPECT_EQ(readBytes(folder / "clip_00000.bmp"), asString(core::encodeBmp(image)));
    EXPECT_EQ(folder.entries().size(), 1u);
}

TEST(WriteBmpFile, ReadOnlyThirdFrameStopsTheRunAfterTwoFiles) {
    const ScratchFolder folder;
    writeBytes(folder / "clip_00004.bmp", "keep");
    std::filesystem::permissions(folder / "clip_00004.bmp", std::filesystem::perms::owner_read);
    const BgrImage image = patternImage(4, 2);
    int written = 0;
    try {
        for (int frame : {0, 2, 4}) {
            core::writeBmpFile(folder / ("clip_0000" + std::to_string(frame) + ".bmp"), image);
            ++written;
        }
    } catch (const core::Error& error) {
        EXPECT_NE(std::string(error.what()).find("read-only"), std::string::npos);
    }
    EXPECT_EQ(written, 2);
    EXPECT_EQ(readBytes(folder / "clip_00004.bmp"), "keep");
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{"clip_00000.bmp", "clip_00002.bmp", "clip_00004.bmp"}));
}

TEST(WriteBmpFile, MissingFolderFailsWithoutCreatingIt) {
    const ScratchFolder folder;
    expectWriteFails(folder / "missing" / "clip_00000.bmp", patternImage(2, 2),
                     "No such file or directory");
    EXPECT_TRUE(folder.entries().empty());
}

TEST(WriteBmpFile, ReadOnlyFolderFails) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows ignores a folder's read-only mark";
#endif
    const ScratchFolder folder;
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_exec);
    expectWriteFails(folder / "clip_00000.bmp", patternImage(2, 2), "read-only");
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    EXPECT_TRUE(folder.entries().empty());
}

TEST(WriteBmpFile, FolderWithTheFramesNameFails) {
    const ScratchFolder folder;
    std::filesystem::create_directory(folder / "clip_00000.bmp");
    expectWriteFails(folder / "clip_00000.bmp", patternImage(2, 2), "folder");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"clip_00000.bmp"});
}

#ifndef _WIN32
// The process may not grow a file past a limit: writes fail part-way, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int);
};
#endif

TEST(WriteBmpFile, WriteCutShortLeavesNoPartialFile) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no per-process file size limit";
#else
    const ScratchFolder folder;
    writeBytes(folder / "clip_00000.bmp", "old frame");
    {
        const FileSizeLimit limit(4096);
        expectWriteFails(folder / "clip_00000.bmp", patternImage(100, 100), "large");
    }
    EXPECT_EQ(readBytes(folder / "clip_00000.bmp"), "old frame");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"clip_00000.bmp"});
#endif
}

// A real full file system: a 64 KiB memory file system, where mounting is allowed.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(folder_ / "disk");
#ifdef _WIN32
        GTEST_SKIP() << "Windows has no memory file system to mount";
#else
        if (mount("tmpfs", (folder_ / "disk").c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a small file system here";
        mounted_ = true;
#endif
    }
    void TearDown() override {
#ifndef _WIN32
        if (mounted_)
            umount((folder_ / "disk").c_str());
#endif
    }
    std::filesystem::path disk() const {
        return folder_ / "disk";
    }

private:
    ScratchFolder folder_;
    bool mounted_ = false;
};

TEST_F(FullDisk, FailedWriteLeavesEarlierFilesAndNoTemporaryFile) {
    core::writeBmpFile(disk() / "clip_00000.bmp", patternImage(10, 10));
    writeBytes(disk() / "clip_00001.bmp", "old frame");
    expectWriteFails(disk() / "clip_00001.bmp", patternImage(200, 200), "No space left");
    EXPECT_EQ(readBytes(disk() / "clip_00000.bmp"),
              asString(core::encodeBmp(patternImage(10, 10))));
    EXPECT_EQ(readBytes(disk() / "clip_00001.bmp"), "old frame");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(disk()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"clip_00000.bmp", "clip_00001.bmp"}));
}

// The same memory file system mounted read-only: the system's own reason reaches the user, also
// where it stopped the output folder being made and the file's open only found it missing.
class ReadOnlyDisk : public FullDisk {
protected:
    void SetUp() override {
        FullDisk::SetUp();
        if (IsSkipped())
            return;
#ifndef _WIN32
        if (mount("tmpfs", disk().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") != 0)
            GTEST_SKIP() << "cannot make the file system read-only here";
#endif
    }
};

TEST_F(ReadOnlyDisk, TheSystemsReasonIsReported) {
    for (const auto& file : {disk() / "clip_00000.bmp", disk() / "frames" / "clip_00000.bmp"})
        expectWriteFails(file, patternImage(2, 2), "Read-only file system");
}

TEST(WriteBmpFile, WritesThroughASymbolicLink) {
    const ScratchFolder folder;
    writeBytes(folder / "real.bmp", "old");
    std::error_code error;
    std::filesystem::create_symlink("real.bmp", folder / "clip_00000.bmp", error);
    if (error)
        GTEST_SKIP() << "cannot make a symbolic link here: " << error.message();
    const BgrImage image = patternImage(2, 2);
    core::writeBmpFile(folder / "clip_00000.bmp", image);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "clip_00000.bmp"));
    EXPECT_EQ(readBytes(folder / "real.bmp"), asString(core::encodeBmp(image)));
}

} // namespace
