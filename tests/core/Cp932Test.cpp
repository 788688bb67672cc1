#include "core/Cp932.h"

#include "core/Utf8.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct LengthCase {
    char32_t character;
    int bytes;
};

class Cp932ByteLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(Cp932ByteLength, CountsSingleAndDoubleByteCharacters) {
    EXPECT_EQ(core::cp932ByteLength(GetParam().character), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Characters, Cp932ByteLength,
                         ::testing::Values(LengthCase{U'A', 1}, LengthCase{U'\0', 1},
                                           LengthCase{0x7F, 1}, LengthCase{0x80, 2},
                                           LengthCase{0xFF60, 2}, LengthCase{U'｡', 1},
                                           LengthCase{U'ﾌ', 1}, LengthCase{0xFF9F, 1},
                                           LengthCase{0xFFA0, 2}, LengthCase{U'全', 2},
                                           LengthCase{U'Ａ', 2}, LengthCase{0x1F600, 2}));

struct DecodeCase {
    std::string bytes;
    std::string utf8;
};

class Cp932ToUtf8 : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Cp932ToUtf8, DecodesCodePage932) {
    EXPECT_EQ(core::cp932ToUtf8(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Cp932ToUtf8,
    ::testing::Values(DecodeCase{"PATH=C:\\x", "PATH=C:\\x"},
                      DecodeCase{"\x91\x53\x83\x74\x83\x8C\x81\x5B\x83\x80", "全フレーム"},
                      DecodeCase{"\x91\x53\xCC\xDA\xB0\xD1", "全ﾌﾚｰﾑ"},
                      // "表" carries a backslash as its second byte
                      DecodeCase{"D:\\\x95\x5C\\", "D:\\表\\"},
                      // a lone lead byte at the end, and a byte no character starts with
                      DecodeCase{"a\x91", "a\xEF\xBF\xBD"}, DecodeCase{"\xA0z", "\xEF\xBF\xBDz"},
                      // a lead byte before a line end does not take the line end with it
                      DecodeCase{"\x81\nM=1", "\xEF\xBF\xBD\nM=1"}, DecodeCase{"", ""}));

struct Utf8Case {
    std::string text;
    bool valid;
};

class IsValidUtf8 : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(IsValidUtf8, RejectsMalformedSequences) {
    EXPECT_EQ(core::isValidUtf8(GetParam().text), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Texts, IsValidUtf8,
                         ::testing::Values(Utf8Case{"", true}, Utf8Case{"C:/My Documents", true},
                                           Utf8Case{"全ﾌﾚｰﾑ", true},
                                           Utf8Case{"\xF0\x9F\x98\x80", true},
                                           Utf8Case{"\x91\x53", false}, Utf8Case{"\xC0\xAF", false},
                                           Utf8Case{"\xE0\x80\xAF", false},
                                           Utf8Case{"\xED\xA0\x80", false},
                                           Utf8Case{"\xF4\x90\x80\x80", false},
                                           Utf8Case{"\xE5\x85", false}, Utf8Case{"\x80", false}));

TEST(Utf8Prefix, CountsCharactersNotBytes) {
    EXPECT_EQ(core::utf8Prefix("全ﾌﾚｰﾑ", 2), "全ﾌ");
    EXPECT_EQ(core::utf8Prefix("ab", 5), "ab");
    EXPECT_EQ(core::utf8Prefix("ab", 0), "");
}

} // namespace
