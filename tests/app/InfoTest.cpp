#include "AppTestSupport.h"
#include "app/InfoForm1.h"
#include "framework/Label.h"
#include "platform/ServiceRecorder.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(Info, IsAFixedToolWindowCentredOnTheScreen) {
    AppWindows windows;
    TInfoForm1& info = windows.info();
    EXPECT_EQ(info.Caption(), QStringLiteral("Kirimo AVI Ver.2.1"));
    EXPECT_EQ(info.BorderStyle(), bsToolWindow);
    EXPECT_EQ(info.Position(), poScreenCenter);
    EXPECT_EQ(info.ClientWidth(), 248);
    EXPECT_EQ(info.ClientHeight(), 136);
    EXPECT_FALSE(info.isVisible());
}

TEST(Info, TheLinkButtonsOpenTheWebSiteAndANewMail) {
    platform::ServiceRecorder recorder;
    recorder.shellOpenResult = false; // no browser or mail program: nothing is said
    AppWindows windows;
    windows.info().SpeedButton1Click();
    windows.info().SpeedButton3Click();
    EXPECT_EQ(recorder.shellOpens,
              (QStringList{QStringLiteral("https://kirimo.example.invalid/"),
                           QStringLiteral("MailTo:support@kirimo.example.invalid")}));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(Info, TheLabelsNameTheAddressesTheButtonsOpen) {
    AppWindows windows;
    const auto text = [&](const char* name) {
        return windows.info().Component<TLabel>(QString::fromLatin1(name)).Caption();
    };
    EXPECT_EQ(text("Label2"), QStringLiteral("url : kirimo.example.invalid"));
    EXPECT_EQ(text("Label3"), QStringLiteral("mail : ") + TInfoForm1::mailAddress);
}

TEST(Info, TheCloseButtonEndsTheModalShow) {
    AppWindows windows;
    bool wasVisible = false;
    QTimer::singleShot(0, [&] {
        wasVisible = windows.info().isVisible();
        windows.info().SpeedButton2Click();
    });
    windows.info().ShowModal();
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(windows.info().isVisible());
}

} // namespace
