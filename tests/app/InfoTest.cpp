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
    EXPECT_EQ(recorder.shellOpens, (QStringList{QStringLiteral("https://avi.invalid/"),
                                                QStringLiteral("MailTo:info@avi.invalid")}));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Info, TheLabelsNameTheAddressesTheButtonsOpen) {
    const auto text = [&](const char* name) {
        return info().Component<TLabel>(QString::fromLatin1(name)).Caption();
    };
    EXPECT_EQ(text("Label2"), QStringLiteral("url : avi.invalid"));
    EXPECT_EQ(text("Label3"), QStringLiteral("mail : ") + TInfoForm1::mailAddress);
}

// Sized to their texts, the credits must stay on the panel and each address under the button
// that opens it, or part of it would be cut off or not clickable.
TEST_F(Info, EveryTextFitsItsDesignedPlace) {
    const auto bounds = [&](const char* name) {
        return info().Component<TControl>(QString::fromLatin1(name)).BoundsRect();
    };
    const QRect panelInside = bounds("Panel1").adjusted(2, 2, -2, -2);
    for (const char* label : {"Label1", "Label2", "Label3", "Label4"}) {
        EXPECT_TRUE(panelInside.contains(bounds(label))) << label;
        EXPECT_EQ(bounds(label).height(), 11) << label;
    }
    EXPECT_EQ(bounds("Label1").topLeft(), QPoint(44, 52));
    EXPECT_EQ(bounds("Label4").topLeft(), QPoint(79, 62));
    EXPECT_TRUE(bounds("SpeedButton1").contains(bounds("Label2"))) << "url";
    EXPECT_TRUE(bounds("SpeedButton3").contains(bounds("Label3"))) << "mail";
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
