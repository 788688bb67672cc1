#include "core/ProfileFile.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using core::ProfileFile;

namespace {

TEST(ProfileFile, FirstRunWritesTheFiveLines) {
    const ScratchFolder folder;
    ProfileFile file(folder / "Kirimo.ini");
    EXPECT_TRUE(file.writeInteger("SET0", "M_TOP", 20));
    EXPECT_TRUE(file.writeInteger("SET0", "M_LEFT", 20));
    EXPECT_TRUE(file.writeString("SET1", "PATH", "C:/My Documents"));
    EXPECT_EQ(readBytes(folder / "Kirimo.ini"),
              "[SET0]\r\nM_TOP=20\r\nM_LEFT=20\r\n[SET1]\r\nPATH=C:/My Documents\r\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"Kirimo.ini"});
}

TEST(ProfileFile, MissingFileGivesDefaultsAndIsNotCreated) {
    const ScratchFolder folder;
    const ProfileFile file(folder / "Kirimo.ini");
    EXPECT_EQ(file.readInteger("SET0", "M_TOP", 20), 20);
    EXPECT_EQ(file.readString("SET1", "PATH", "C:/My Documents"), "C:/My Documents");
    EXPECT_TRUE(folder.entries().empty());
}

struct ReadCase {
    std::string content;
    std::string section;
    std::string key;
    std::string value; // "<default>" when the default must come back
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FindsValuesAsThePlatformDoes) {
    const ReadCase& c = GetParam();
    const ScratchFolder folder;
    writeBytes(folder / "Kirimo.ini", c.content);
    const ProfileFile file(folder / "Kirimo.ini");
    EXPECT_EQ(file.readString(c.section, c.key, "<default>"), c.value) << c.content;
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, ProfileRead,
    ::testing::Values(
        ReadCase{"[SET1]\r\nPATH=D:\\Frames\\\r\n", "SET1", "PATH", "D:\\Frames\\"},
        ReadCase{"[SET1]\r\nPATH=\r\n", "SET1", "PATH", ""},
        ReadCase{"[set1]\r\npath=x\r\n", "SET1", "PATH", "x"},
        ReadCase{"  [ SET1 ]  \r\n  PATH \t=  a b  \r\n", "SET1", "PATH", "a b"},
        ReadCase{"[SET1]\nPATH=unix ends\n", "SET1", "PATH", "unix ends"},
        ReadCase{"[SET1]\r\nPATH=no final newline", "SET1", "PATH", "no final newline"},
        ReadCase{"[SET1]\r\nPATH=\"C:\\a b \"\r\n", "SET1", "PATH", "C:\\a b "},
        ReadCase{"[SET1]\r\nPATH=a=b ;c\r\n", "SET1", "PATH", "a=b ;c"},
        ReadCase{"[SET1]\r\nPATH=first\r\nPATH=second\r\n", "SET1", "PATH", "first"},
        ReadCase{"[SET1]\r\n;PATH=comment\r\nPATH\r\nPATH=x\r\n", "SET1", "PATH", "x"},
        ReadCase{"\xEF\xBB\xBF[SET1]\r\nPATH=x\r\n", "SET1", "PATH", "x"},
        ReadCase{"PATH=outside\r\n[SET1]\r\n", "SET1", "PATH", "<default>"},
        ReadCase{"[SET0]\r\nPATH=elsewhere\r\n[SET1]\r\n", "SET1", "PATH", "<default>"},
        ReadCase{"[SET0]\r\nM_TOP=1\r\n", "SET1", "PATH", "<default>"},
        ReadCase{"[SET1\r\nPATH=x\r\n", "SET1", "PATH", "<default>"},
        ReadCase{std::string("[SET1]\r\nPATH=a\0b\r\n", 15), "SET1", "PATH", "a"},
        ReadCase{"[SET1]\r\nPATH=D:\\写真\\\r\n", "SET1", "PATH", "D:\\写真\\"},
        // code page 932: "写真" and "表" (whose second byte is a backslash)
        ReadCase{"[SET1]\r\nPATH=D:\\\x8E\xCA\x90\x5E\\\x95\x5C\r\n", "SET1", "PATH",
                 "D:\\写真\\表"}));

struct IntegerCase {
    std::string value;
    std::int32_t expected;
};

class ProfileReadInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ProfileReadInteger, ReadsDecimalAndHexadecimal) {
    const ScratchFolder folder;
    writeBytes(folder / "Kirimo.ini", "[SET0]\r\nM_TOP=" + GetParam().value + "\r\n");
    EXPECT_EQ(ProfileFile(folder / "Kirimo.ini").readInteger("SET0", "M_TOP", 20),
              GetParam().expected)
        << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileReadInteger,
                         ::testing::Values(IntegerCase{"0x40", 64}, IntegerCase{"0X40", 64},
                                           IntegerCase{"$40", 64}, IntegerCase{"-120", -120},
                                           IntegerCase{"0", 0}, IntegerCase{"abc", 20},
                                           IntegerCase{"", 20}, IntegerCase{"0x", 20},
                                           IntegerCase{"12px", 20}, IntegerCase{"99999999999", 20},
                                           IntegerCase{"0x-1", 20}));

TEST(ProfileFile, LongValuesAreCutTo2047Characters) {
    const ScratchFolder folder;
    std::string japanese;
    for (int i = 0; i < 3000; ++i)
        japanese += "あ";
    writeBytes(folder / "Kirimo.ini",
               "[SET1]\r\nA=" + std::string(5000, 'x') + "\r\nJ=" + japanese + "\r\n");
    const ProfileFile file(folder / "Kirimo.ini");
    EXPECT_EQ(file.readString("SET1", "A", ""), std::string(2047, 'x'));
    EXPECT_EQ(file.readString("SET1", "J", ""), japanese.substr(0, 2047 * 3));
}

TEST(ProfileFile, DefaultLosesTrailingBlanks) {
    const ScratchFolder folder;
    EXPECT_EQ(ProfileFile(folder / "Kirimo.ini").readString("SET1", "PATH", "C:/x  "), "C:/x");
}

TEST(ProfileFile, GarbageFileDoesNotHideAValidLine) {
    const ScratchFolder folder;
    std::mt19937 random(7);
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(random());
    bytes += "\n[SET0]\nM_TOP=5\n";
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>(random());
    writeBytes(folder / "Kirimo.ini", bytes);
    ProfileFile file(folder / "Kirimo.ini");
    EXPECT_EQ(file.readInteger("SET0", "M_TOP", 20), 5);
    EXPECT_EQ(file.readString("SET1", "PATH", "d"), "d");
    EXPECT_TRUE(file.writeInteger("SET0", "M_LEFT", 7));
    EXPECT_EQ(file.readInteger("SET0", "M_LEFT", 20), 7);
}

TEST(ProfileFile, FolderInsteadOfFileGivesDefaultsAndRefusesWrites) {
    const ScratchFolder folder;
    std::filesystem::create_directory(folder / "Kirimo.ini");
    ProfileFile file(folder / "Kirimo.ini");
    EXPECT_EQ(file.readInteger("SET0", "M_TOP", 20), 20);
    EXPECT_FALSE(file.writeInteger("SET0", "M_TOP", 1));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Kirimo.ini"));
}

TEST(ProfileFile, OversizedFileIsNeitherReadNorReplaced) {
    const ScratchFolder folder;
    std::string bytes = "[SET0]\r\nM_TOP=5\r\n";
    bytes.resize(17u << 20, ' ');
    writeBytes(folder / "Kirimo.ini", bytes);
    ProfileFile file(folder / "Kirimo.ini");
    EXPECT_EQ(file.readInteger("SET0", "M_TOP", 20), 20);
    EXPECT_FALSE(file.writeInteger("SET0", "M_TOP", 1));
    EXPECT_EQ(std::filesystem::file_size(folder / "Kirimo.ini"), bytes.size());
}

struct WriteCase {
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatItMust) {
    const WriteCase& c = GetParam();
    const ScratchFolder folder;
    writeBytes(folder / "Kirimo.ini", c.before);
    EXPECT_TRUE(ProfileFile(folder / "Kirimo.ini").writeString(c.section, c.key, c.value));
    EXPECT_EQ(readBytes(folder / "Kirimo.ini"), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ProfileWrite,
    ::testing::Values(
        WriteCase{"[SET0]\r\nM_TOP=1\r\nM_LEFT=2\r\n", "SET0", "M_TOP", "20",
                  "[SET0]\r\nM_TOP=20\r\nM_LEFT=2\r\n"},
        WriteCase{"[set0]\r\n m_top = 1 \r\n", "SET0", "M_TOP", "2", "[set0]\r\nm_top=2\r\n"},
        WriteCase{"; mine\n[SET0]\nX=1\n\n[SET1]\nPATH=a\n", "SET0", "M_TOP", "3",
                  "; mine\n[SET0]\nX=1\nM_TOP=3\r\n\n[SET1]\nPATH=a\n"},
        WriteCase{"[A]\r\nk=v", "SET1", "PATH", "x", "[A]\r\nk=v\r\n[SET1]\r\nPATH=x\r\n"},
        WriteCase{"[SET0]", "SET0", "M_TOP", "1", "[SET0]\r\nM_TOP=1\r\n"},
        WriteCase{"[SET0]\r\n[SET1]\r\n", "SET0", "K", "1", "[SET0]\r\nK=1\r\n[SET1]\r\n"},
        WriteCase{"\xEF\xBB\xBF[SET1]\r\nPATH=a\r\n", "SET1", "PATH", "b",
                  "\xEF\xBB\xBF[SET1]\r\nPATH=b\r\n"},
        WriteCase{"", "SET1", "PATH", "D:\\写真", "[SET1]\r\nPATH=D:\\写真\r\n"},
        // a code page 932 file becomes UTF-8 as a whole, so it never mixes encodings
        WriteCase{"[SET1]\r\nPATH=\x8E\xCA\x90\x5E\r\n", "SET0", "M_TOP", "1",
                  "[SET1]\r\nPATH=写真\r\n[SET0]\r\nM_TOP=1\r\n"}));

TEST(ProfileFile, RefusesTextThatWouldBreakTheFile) {
    const ScratchFolder folder;
    writeBytes(folder / "Kirimo.ini", "[SET1]\r\nPATH=a\r\n");
    ProfileFile file(folder / "Kirimo.ini");
    EXPECT_FALSE(file.writeString("SET1", "PATH", "x\r\n[SET0]"));
    EXPECT_FALSE(file.writeString("SET1", "PA=TH", "x"));
    EXPECT_FALSE(file.writeString("SE]T1", "PATH", "x"));
    EXPECT_FALSE(file.writeString("SET1", "", "x"));
    EXPECT_EQ(readBytes(folder / "Kirimo.ini"), "[SET1]\r\nPATH=a\r\n");
}

TEST(ProfileFile, ReadOnlyFileIsLeftAlone) {
    const ScratchFolder folder;
    writeBytes(folder / "Kirimo.ini", "[SET0]\r\nM_TOP=1\r\n");
    std::filesystem::permissions(folder / "Kirimo.ini", std::filesystem::perms::owner_read);
    ProfileFile file(folder / "Kirimo.ini");
    EXPECT_FALSE(file.writeInteger("SET0", "M_TOP", 2));
    EXPECT_EQ(readBytes(folder / "Kirimo.ini"), "[SET0]\r\nM_TOP=1\r\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"Kirimo.ini"});
}

TEST(ProfileFile, ReadOnlyOrMissingFolderRefusesWrites) {
    const ScratchFolder folder;
    EXPECT_FALSE(ProfileFile(folder / "missing" / "Kirimo.ini").writeInteger("SET0", "M_TOP", 2));
#ifdef _WIN32
    GTEST_SKIP() << "Windows ignores a folder's read-only mark";
#endif
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_exec);
    EXPECT_FALSE(ProfileFile(folder / "Kirimo.ini").writeInteger("SET0", "M_TOP", 2));
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    EXPECT_TRUE(folder.entries().empty());
}

TEST(ProfileFile, ReplacingKeepsTheFilesPermissions) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps no permission but read-only, which refuses the write";
#endif
    const ScratchFolder folder;
    writeBytes(folder / "Kirimo.ini", "[SET0]\r\nM_TOP=1\r\n");
    const auto permissions =
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    std::filesystem::permissions(folder / "Kirimo.ini", permissions);
    EXPECT_TRUE(ProfileFile(folder / "Kirimo.ini").writeInteger("SET0", "M_TOP", 2));
    EXPECT_EQ(std::filesystem::status(folder / "Kirimo.ini").permissions(), permissions);
}

} // namespace
