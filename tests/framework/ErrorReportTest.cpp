#include "framework/ErrorReport.h"

#include "framework/Application.h"
#include "platform/ServiceRecorder.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct ReportCase {
    const char* message;
    const char* shown;
};

class ReportTextTest : public ::testing::TestWithParam<ReportCase> {};

// A dot is added when the last character's code is above that of ".".
TEST_P(ReportTextTest, DotFollowsTheLastCharacterRule) {
    EXPECT_EQ(errorReportText(QString::fromUtf8(GetParam().message)).toStdString(),
              GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Messages, ReportTextTest,
                         ::testing::Values(ReportCase{"abc", "abc."}, ReportCase{"abc.", "abc."},
                                           ReportCase{"abc!", "abc!"}, ReportCase{"(x)", "(x)"},
                                           ReportCase{"a-", "a-"}, ReportCase{"a/", "a/."},
                                           ReportCase{"12", "12."}, ReportCase{"", ""},
                                           ReportCase{"ゼロによる除算", "ゼロによる除算."},
                                           ReportCase{"終了。", "終了。."}));

TEST(ErrorReport, ShowsTheMessageUnderTheApplicationTitleWithTheErrorIcon) {
    const QString previousTitle = TApplication::Title();
    TApplication::setTitle(QStringLiteral("Kirimo AVI"));
    platform::ServiceRecorder recorder;
    reportException(std::runtime_error("C:/x/Kirimo.ini に書き込めません"));
    TApplication::setTitle(previousTitle);

    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, QStringLiteral("C:/x/Kirimo.ini に書き込めません."));
    EXPECT_EQ(recorder.messages[0].caption, QStringLiteral("Kirimo AVI"));
    EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(recorder.messages[0].buttons, platform::MessageButtons::Ok);
}

TEST(ErrorReport, GuardedActionReportsAndSwallows) {
    platform::ServiceRecorder recorder;
    EXPECT_TRUE(runGuarded([] {}));
    EXPECT_FALSE(runGuarded([] { throw std::invalid_argument("bad"); }));
    EXPECT_FALSE(runGuarded([] { throw 42; }));
    EXPECT_EQ(recorder.messages.size(), 2u);
}

} // namespace
