#include "app/AppPaths.h"

#include "AppTestSupport.h"
#include "app/DestinationPath.h"
#include "app/ScreenshotMode.h"
#include "core/PathRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// The folder of the executable, as the user's guide and the settings file are found by it.
// Windows rules keep a root and drop any other trailing backslash; POSIX rules split at the last
// slash only.
struct ExeDirCase {
    bool windows;
    const char* input;
    const char* expected;
};

class ExeDir : public ::testing::TestWithParam<ExeDirCase> {};

TEST_P(ExeDir, IsTheFolderPartOfTheProgramPath) {
    const auto rules = GetParam().windows ? core::PathRules::windows() : core::PathRules::posix();
    EXPECT_EQ(app::exeDirOf(QString::fromUtf8(GetParam().input), rules),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExeDir,
    ::testing::Values(ExeDirCase{true, R"(C:\Apps\Cutter\kirimo.exe)", R"(C:\Apps\Cutter)"},
                      ExeDirCase{true, R"(C:\kirimo.exe)", R"(C:\)"},
                      ExeDirCase{true, R"(C:kirimo.exe)", "C:"},
                      ExeDirCase{true, R"(D:\表示\ソフト\kirimo.exe)", R"(D:\表示\ソフト)"},
                      ExeDirCase{false, "/opt/kirimo/bin/kirimo-avi", "/opt/kirimo/bin"},
                      ExeDirCase{false, "/kirimo-avi", "/"},
                      ExeDirCase{false, R"(/opt/a\b/kirimo-avi)", R"(/opt/a\b)"}));

TEST(Paths, TheGuideIsJoinedWithASlashWhateverTheFolderUses) {
    EXPECT_EQ(app::guidePath(QStringLiteral(R"(C:\Apps\Cutter)")),
              QStringLiteral(R"(C:\Apps\Cutter/Readme.txt)"));
    EXPECT_EQ(app::guidePath(QStringLiteral("/opt/kirimo")),
              QStringLiteral("/opt/kirimo/Readme.txt"));
}

// Windows rules drop one trailing backslash; POSIX rules keep the text as typed.
struct TrailingCase {
    const char* input;
    const char* windows;
    const char* posix;
};

class DestinationTrailing : public ::testing::TestWithParam<TrailingCase> {};

TEST_P(DestinationTrailing, DropsOneBackslashOnlyUnderWindowsRules) {
    const QString input = QString::fromUtf8(GetParam().input);
    EXPECT_EQ(app::withoutTrailingDelimiter(input, core::PathRules::windows()),
              QString::fromUtf8(GetParam().windows));
    EXPECT_EQ(app::withoutTrailingDelimiter(input, core::PathRules::posix()),
              QString::fromUtf8(GetParam().posix));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DestinationTrailing,
    ::testing::Values(TrailingCase{R"(D:\Frames\)", R"(D:\Frames)", R"(D:\Frames\)"},
                      TrailingCase{"D:/Frames/", "D:/Frames/", "D:/Frames/"},
                      TrailingCase{R"(D:\Frames\\)", R"(D:\Frames\)", R"(D:\Frames\\)"},
                      TrailingCase{"/srv/frames//", "/srv/frames//", "/srv/frames//"},
                      TrailingCase{"/", "/", "/"},
                      TrailingCase{R"(D:\動画\)", R"(D:\動画)", R"(D:\動画\)"},
                      TrailingCase{"", "", ""}));

void createFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile(path).open(QIODevice::WriteOnly);
}

QString userSettingsFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("Kirimo.ini"));
}

TEST(Paths, SettingsLiveBesideAWritableProgramFolder) {
    const AppScratch scratch;
    createFile(scratch.file(QStringLiteral("Readme.txt")));
    EXPECT_EQ(app::settingsFilePath(scratch.path()), QDir(scratch.path()).filePath("Kirimo.ini"));
}

TEST(Paths, SettingsMoveToTheUserFolderWhenTheProgramFolderIsReadOnly) {
    const AppScratch scratch;
    const QString folder = scratch.file(QStringLiteral("bin"));
    createFile(folder + QStringLiteral("/Readme.txt"));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString expected = userSettingsFile();
    EXPECT_EQ(app::settingsFilePath(folder), expected);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // Refused without any read-only mark (here: nothing can be created under a file).
    const QString file = scratch.file(QStringLiteral("plain"));
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_EQ(app::settingsFilePath(file + QStringLiteral("/bin")), expected);
    EXPECT_EQ(QDir(scratch.path()).entryList(QDir::Files), QStringList{QStringLiteral("plain")});
}

// Installed, the program shares bin with others (writable by root) and its guide lies in the
// documentation folder; a guide or settings file beside it still wins.
TEST(Paths, AnInstalledProgramUsesTheDocumentationAndUserFolders) {
    const AppScratch scratch;
    const QString bin = scratch.file(QStringLiteral("usr/bin"));
    QDir().mkpath(bin);
    const QString installedGuide =
        QFileInfo(bin + QStringLiteral("/" KIRIMO_DOCDIR_FROM_BINDIR "/Readme.txt"))
            .absoluteFilePath();
    createFile(installedGuide);
    EXPECT_EQ(app::guidePath(bin), installedGuide);
    EXPECT_EQ(app::settingsFilePath(bin), userSettingsFile());
    EXPECT_EQ(QDir(bin).entryList(QDir::Files), QStringList{});

    createFile(bin + QStringLiteral("/Kirimo.ini"));
    EXPECT_EQ(app::settingsFilePath(bin), bin + QStringLiteral("/Kirimo.ini"));
    createFile(bin + QStringLiteral("/Readme.txt"));
    EXPECT_EQ(app::guidePath(bin), bin + QStringLiteral("/Readme.txt"));
}

TEST(Paths, TheDefaultDestinationIsTheDocumentsFolderOffWindows) {
#ifdef Q_OS_WIN
    EXPECT_EQ(app::defaultDestination(), QStringLiteral("C:/My Documents"));
#else
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(app::defaultDestination(), documents.isEmpty() ? QDir::homePath() : documents);
    EXPECT_FALSE(app::defaultDestination().isEmpty());
#endif
}

struct ScreenshotCase {
    QStringList arguments;
    std::optional<app::ScreenshotRequest> expected;
};

class ScreenshotArguments : public ::testing::TestWithParam<ScreenshotCase> {};

TEST_P(ScreenshotArguments, AreRecognisedOnlyAsTheFirstOption) {
    const auto request = app::screenshotRequest(GetParam().arguments);
    ASSERT_EQ(request.has_value(), GetParam().expected.has_value());
    if (request) {
        EXPECT_EQ(request->outputFile, GetParam().expected->outputFile);
        EXPECT_EQ(request->movie, GetParam().expected->movie);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Startup, ScreenshotArguments,
    ::testing::Values(ScreenshotCase{{"kirimo-avi", "--screenshot", "out.png", "a.avi"},
                                     app::ScreenshotRequest{"out.png", "a.avi"}},
                      ScreenshotCase{{"kirimo-avi", "--screenshot", "out.png"},
                                     app::ScreenshotRequest{"out.png", ""}},
                      ScreenshotCase{{"kirimo-avi", "--screenshot"}, std::nullopt},
                      ScreenshotCase{{"kirimo-avi", "a.avi", "--screenshot", "out.png"},
                                     std::nullopt},
                      ScreenshotCase{{"kirimo-avi"}, std::nullopt}));

} // namespace
