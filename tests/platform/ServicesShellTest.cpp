#include "ServicesScratch.h"
#include "platform/MessageBox.h"
#include "platform/ServiceRecorder.h"
#include "platform/Shell.h"
#include "support/ScopedEnvironmentVariable.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

struct TargetCase {
    const char* target;
    const char* scheme;
};

class ShellTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(ShellTargetTest, AddressesStayAddressesAndEverythingElseIsALocalFile) {
    const QUrl url = platform::shellTargetUrl(QString::fromUtf8(GetParam().target));
    EXPECT_EQ(url.scheme().toStdString(), GetParam().scheme);
}

INSTANTIATE_TEST_SUITE_P(Targets, ShellTargetTest,
                         ::testing::Values(TargetCase{"http://www.example.com/", "http"},
                                           TargetCase{"https://www.example.com/a?b=1", "https"},
                                           TargetCase{"MailTo:support@example.com", "mailto"},
                                           TargetCase{"mailto:support@example.com", "mailto"},
                                           TargetCase{"/opt/kirimo/Readme.txt", "file"},
                                           TargetCase{"Readme.txt", "file"},
                                           // A drive letter is not a scheme.
                                           TargetCase{"C:/Apps/Cutter/Readme.txt", "file"}));

TEST(ShellTarget, MailAddressKeepsItsAddress) {
    const QUrl url = platform::shellTargetUrl(QStringLiteral("MailTo:support@example.com"));
    EXPECT_EQ(url.path(), QStringLiteral("support@example.com"));
}

TEST(ShellTarget, RelativeFileIsTakenFromTheCurrentFolder) {
    const QUrl url = platform::shellTargetUrl(QStringLiteral("Readme.txt"));
    EXPECT_EQ(url.toLocalFile(), QDir::current().absoluteFilePath(QStringLiteral("Readme.txt")));
}

// A failed open is explained by the first thing in the way: the file, then the program the
// desktop hands every target to.
TEST(ShellOpenFailure, NamesAMissingFileThenAMissingOpener) {
    const ServicesScratch scratch;
    const QString guide = scratch.file(QStringLiteral("Readme.txt"));
    QFile opener(scratch.file(QStringLiteral("xdg-open")));
    ASSERT_TRUE(QFile(guide).open(QIODevice::WriteOnly) && opener.open(QIODevice::WriteOnly));
    EXPECT_EQ(platform::shellOpenFailure(scratch.file(QStringLiteral("gone.txt"))),
              platform::ShellOpenFailure::NoSuchFile);
    const ScopedEnvironmentVariable path("PATH", QFile::encodeName(scratch.path()));
    EXPECT_EQ(platform::shellOpenFailure(guide), platform::ShellOpenFailure::NoOpener);
    opener.setPermissions(opener.permissions() | QFileDevice::ExeOwner);
    EXPECT_EQ(platform::shellOpenFailure(guide), platform::ShellOpenFailure::Refused);
}

TEST(ServiceRecorder, RecordsShellOpensBeepsAndMessagesThenRestoresTheHooks) {
    {
        platform::ServiceRecorder recorder;
        recorder.shellOpenResult = false;
        recorder.messageBoxAnswer = platform::IdNo;
        EXPECT_FALSE(platform::shellOpen(QStringLiteral("C:/Apps/Cutter/Readme.txt")));
        platform::beep();
        platform::beep();
        EXPECT_EQ(platform::messageBox(nullptr, QStringLiteral("本文"), QStringLiteral("題"),
                                       platform::MessageIcon::Question,
                                       platform::MessageButtons::YesNo),
                  platform::IdNo);

        EXPECT_EQ(recorder.shellOpens, QStringList{QStringLiteral("C:/Apps/Cutter/Readme.txt")});
        EXPECT_EQ(recorder.beeps, 2);
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].caption, QStringLiteral("題"));
        EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Question);
        EXPECT_EQ(recorder.messages[0].buttons, platform::MessageButtons::YesNo);
    }
    // The recorder's hooks are gone: a new hook sees an empty previous one.
    EXPECT_FALSE(platform::setShellOpenHook({}));
    EXPECT_FALSE(platform::setMessageBoxHook({}));
    EXPECT_FALSE(platform::setBeepHook({}));
}

TEST(ServiceRecorder, NestedRecordersRestoreTheOuterOne) {
    platform::ServiceRecorder outer;
    {
        platform::ServiceRecorder inner;
        platform::beep();
        EXPECT_EQ(inner.beeps, 1);
    }
    platform::beep();
    EXPECT_EQ(outer.beeps, 1);
}

} // namespace
