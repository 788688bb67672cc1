#include "AppTestSupport.h"
#include "app/AppPaths.h"
#include "app/ChangeForm1.h"
#include "controls/BrowseEdit.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class Settings : public RecordedWindows, public ::testing::Test {};

TEST_F(Settings, AFirstRunUsesTheDesignedPlaceAndWritesFiveLinesOnClose) {
    main().show();
    EXPECT_EQ(main().Left(), 20);
    EXPECT_EQ(main().Top(), 20);
    EXPECT_EQ(destination().Path(), app::defaultDestination());
    EXPECT_FALSE(QFile::exists(settingsFile())); // reading creates nothing

    main().Close();
    EXPECT_EQ(fileBytes(settingsFile()), "[SET0]\r\nM_TOP=20\r\nM_LEFT=20\r\n[SET1]\r\nPATH=" +
                                             app::defaultDestination().toStdString() + "\r\n");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(SettingsRestart, ThePositionAndDestinationSurviveARestart) {
    platform::ServiceRecorder recorder;
    AppScratch shared;
    const QString file = shared.file(QStringLiteral("Kirimo.ini"));
    {
        AppWindows windows;
        windows.main().setSettingsFileName(file);
        windows.main().show();
        windows.main().move(140, 75);
        windows.destination().setPath(QStringLiteral("/srv/フレーム"));
        windows.main().Close();
    }
    AppWindows windows;
    windows.main().setSettingsFileName(file);
    windows.main().show();
    EXPECT_EQ(windows.main().Left(), 140);
    EXPECT_EQ(windows.main().Top(), 75);
    EXPECT_EQ(windows.destination().Path(), QStringLiteral("/srv/フレーム"));
    EXPECT_EQ(windows.destination().Hint(), QStringLiteral("/srv/フレーム"));
}

struct FileCase {
    const char* name;
    std::string contents;
    QPoint position;
    QString path; // empty: the default destination
};

class SettingsFile : public RecordedWindows, public ::testing::TestWithParam<FileCase> {};

TEST_P(SettingsFile, IsAppliedWhenTheWindowIsShown) {
    writeText(settingsFile(), GetParam().contents);
    main().show();
    EXPECT_EQ(main().pos(), GetParam().position);
    const QString expected =
        GetParam().path.isEmpty() ? app::defaultDestination() : GetParam().path;
    EXPECT_EQ(destination().Path(), expected);
    EXPECT_TRUE(recorder.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsFile,
    ::testing::Values(
        FileCase{"HexadecimalTop", "[SET0]\r\nM_TOP=0x40\r\n", {20, 64}, {}},
        FileCase{"DollarHexLeft", "[SET0]\nM_LEFT=$10\n", {16, 20}, {}},
        FileCase{
            "UnreadableLeftKeepsTheDefault", "[SET0]\r\nM_LEFT=abc\r\nM_TOP=33\r\n", {20, 33}, {}},
        FileCase{"OffEveryScreenGoesToTheDesignedPlace",
                 "[SET0]\r\nM_LEFT=-5000\r\nM_TOP=9000\r\n",
                 {20, 20},
                 {}},
        FileCase{
            "PartlyVisibleIsKept", "[SET0]\r\nM_LEFT=-400\r\nM_TOP=-100\r\n", {-400, -100}, {}},
        FileCase{"EmptyPathGivesTheDefault", "[SET1]\r\nPATH=\r\n", {20, 20}, {}},
        FileCase{"TrailingSlashIsKept",
                 "[SET1]\r\nPATH=/srv/frames/\r\n",
                 {20, 20},
                 QStringLiteral("/srv/frames/")},
#ifdef Q_OS_WIN
        FileCase{"TrailingBackslashIsDropped",
                 "[SET1]\r\nPATH=D:\\Frames\\\r\n",
                 {20, 20},
                 QStringLiteral(R"(D:\Frames)")},
#else
        FileCase{"BackslashIsAnOrdinaryCharacterHere",
                 "[SET1]\r\nPATH=D:\\Frames\\\r\n",
                 {20, 20},
                 QStringLiteral(R"(D:\Frames\)")},
#endif
        FileCase{"MissingSectionsKeepEverything", "[OTHER]\r\nM_TOP=1\r\n", {20, 20}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Settings, AFileThatCannotBeWrittenIsReportedAndTheWindowStillCloses) {
    writeText(settingsFile(), "[SET0]\r\nM_TOP=30\r\n");
    QFile::setPermissions(settingsFile(), QFileDevice::ReadOwner);
    main().show();
    EXPECT_TRUE(main().close());
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(recorder.messageTexts(),
              QStringList{settingsFile() + QStringLiteral(" に書き込めません.")});
    EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(fileBytes(settingsFile()), "[SET0]\r\nM_TOP=30\r\n");
    QFile::setPermissions(settingsFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(Settings, AMissingSettingsFolderIsCreatedOnClose) {
    const QString file = scratch().file(QStringLiteral("config/kirimo/Kirimo.ini"));
    main().setSettingsFileName(file);
    main().show();
    main().Close();
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(recorder.messages.empty());
}

} // namespace
