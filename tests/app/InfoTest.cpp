#include "AppTestSupport.h"
#include "app/InfoForm1.h"
#include "framework/Label.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Info : public RecordedWindows, public ::testing::Test {};

TEST_F(Info, IsAFixedToolWindowCentredOnTheScreen) {
    TInfoForm1& form = info();
    EXPECT_EQ(form.Caption(), QStringLiteral("Kirimo AVI Ver.2.1"));
    EXPECT_EQ(form.BorderStyle(), bsToolWindow);
    EXPECT_EQ(form.Position(), poScreenCenter);
    EXPECT_EQ(form.ClientWidth(), 248);
    EXPECT_EQ(form.ClientHeight(), 136);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Info, TheLinkButtonsOpenTheWebSiteAndANewMail) {
    recorder.shellOpenResult = false; // no browser or mail program: nothing is said
    info().SpeedButton1Click();
    info().SpeedButton3Click();
    EXPECT_EQ(recorder.shellOpens,
              (QStringList{QStringLiteral("https://kirimo.example.invalid/"),
                           QStringLiteral("MailTo:support@kirimo.example.invalid")}));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Info, TheLabelsNameTheAddressesTheButtonsOpen) {
    const auto text = [&](const char* name) {
        return info().Component<TLabel>(QString::fromLatin1(name)).Caption();
    };
    EXPECT_EQ(text("Label2"), QStringLiteral("url : kirimo.example.invalid"));
    EXPECT_EQ(text("Label3"), QStringLiteral("mail : ") + TInfoForm1::mailAddress);
}

TEST_F(Info, TheCloseButtonEndsTheModalShow) {
    bool wasVisible = false;
    QTimer::singleShot(0, [&] {
        wasVisible = info().isVisible();
        info().SpeedButton2Click();
    });
    info().ShowModal();
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(info().isVisible());
}

} // namespace
