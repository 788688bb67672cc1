#include "ServicesScratch.h"
#include "platform/FileSearch.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class FileSearch : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"clip.avi", "a[1].avi", "notes.txt"}) {
            QFile file(scratch.file(QString::fromLatin1(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        ASSERT_TRUE(QDir(scratch.path()).mkdir(QStringLiteral("sub")));
    }

    bool exists(const char* relative) const {
        return platform::fileExists(scratch.path() + u'/' + QString::fromUtf8(relative));
    }

    ServicesScratch scratch;
};

TEST_F(FileSearch, FindsFilesFoldersAndWildcardsInTheLastPart) {
    struct Case {
        const char* path;
        bool found;
    };
    const Case cases[] = {
        {"clip.avi", true}, {"missing.avi", false}, {"sub", true},
        {"*.avi", true},    {"*.mov", false},       {"cl?p.avi", true},
        {"c?.avi", false},  {"su*", true},          {"a[1]*", true},
        {"*", true},        {"s*/clip.avi", false},
#ifndef Q_OS_WIN
        {"*.AVI", false}, // names compare as the file system does
#endif
    };
    for (const Case& c : cases)
        EXPECT_EQ(exists(c.path), c.found) << c.path;
}

TEST_F(FileSearch, OverlongNamesFindNothing) {
    const QString base = scratch.path() + u'/';
    const QString longName = base + QString(platform::maxSearchPathLength - base.size() + 1, u'x');
    ASSERT_EQ(longName.size(), platform::maxSearchPathLength + 1);
    EXPECT_FALSE(platform::fileExists(longName));
    EXPECT_FALSE(platform::fileExists(base + QString(5000, u'*')));
    EXPECT_FALSE(platform::fileExists(QString()));
}

TEST_F(FileSearch, NameOfExactlyTheLimitIsSearched) {
    const QString base = scratch.path() + u'/';
    const QString name = QString(platform::maxSearchPathLength - base.size(), u'y');
    QFile file(base + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_TRUE(platform::fileExists(base + name));
}

struct MatchCase {
    const char* pattern;
    const char* name;
    bool matches;
};

class WildcardTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(WildcardTest, StarAndQuestionMarkOnly) {
    EXPECT_EQ(platform::wildcardMatches(QString::fromUtf8(GetParam().pattern),
                                        QString::fromUtf8(GetParam().name), Qt::CaseSensitive),
              GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, WildcardTest,
    ::testing::Values(MatchCase{"*", "", true}, MatchCase{"?", "", false},
                      MatchCase{"a*b*c", "aXbYc", true}, MatchCase{"a*b", "aXbYc", false},
                      MatchCase{"*.avi", "movie.avi.bak", false}, MatchCase{"*a", "aaa", true},
                      MatchCase{"[ab]", "a", false}, MatchCase{"[ab]", "[ab]", true},
                      MatchCase{"変換*.avi", "変換元.avi", true}, MatchCase{"??", "変換", true}));

} // namespace
