#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "app/PreviewForm1.h"
#include "controls/BrowseEdit.h"
#include "controls/FileOpenEdit.h"
#include "controls/SpinEdit.h"
#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/Timer.h"
#include "platform/ServiceRecorder.h"
#include "player/GKitMSPlay.h"
#include "skin/DxfProgressBar.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

const QString unsupportedText =
    QStringLiteral("非対応フォーマットのAVIファイルです。処理を中止します。");

struct Range {
    int start;
    int end;
    int interval;
};

class Converting {
public:
    explicit Converting(const QString& movie) : movie_(movie) {
        windows.main().WMDropFiles({movie_});
        destination = windows.scratch().file(QStringLiteral("out"));
        setDestination(destination);
    }

    void setRange(Range range) {
        spin(QStringLiteral("SpinEdit6")).setValue(range.interval);
        spin(QStringLiteral("SpinEdit5")).setValue(range.end);
        spin(QStringLiteral("SpinEdit4")).setValue(range.start);
    }
    void setDestination(const QString& path) {
        windows.control<TBrowseEdit>(QStringLiteral("BrowseEdit1")).setPath(path);
    }
    void convert() { windows.main().SSButton1Click(); }

    TSpinEdit& spin(const QString& name) { return windows.control<TSpinEdit>(name); }
    TdxfProgressBar& progress() {
        return windows.control<TdxfProgressBar>(QStringLiteral("ProgressBar1"));
    }
    TGKitMSPlay& player() { return windows.control<TGKitMSPlay>(QStringLiteral("GKitMSPlay1")); }
    TTimer& timer() { return windows.control<TTimer>(QStringLiteral("Timer1")); }
    bool mascotFinished() {
        return windows.control<TImage>(QStringLiteral("Image1")).picture() ==
               windows.control<TImageList>(QStringLiteral("ImageList1")).image(4);
    }
    QStringList written(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }
    QString output(int frame) const {
        return destination + QStringLiteral("/%1_%2.bmp")
                                 .arg(QFileInfo(movie_).completeBaseName())
                                 .arg(frame, 5, 10, QChar(u'0'));
    }
    void expectFramesWritten(const std::vector<int>& frames) {
        QStringList names;
        for (int frame : frames)
            names << QFileInfo(output(frame)).fileName();
        EXPECT_EQ(written(destination), names);
        for (int frame : frames)
            EXPECT_EQ(fileBytes(output(frame)), expectedBmp(movie_, frame)) << "frame " << frame;
    }

    platform::ServiceRecorder recorder;
    AppWindows windows;
    QString destination;

private:
    QString movie_;
};

struct RangeCase {
    Range range;
    std::vector<int> frames;
};

class ConvertRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ConvertRange, WritesEveryIntervalthFrameFromStartToEnd) {
    Converting run(smallMovie(30));
    run.setRange(GetParam().range);
    run.convert();
    EXPECT_TRUE(run.recorder.messages.empty())
        << run.recorder.messageTexts().join('\n').toStdString();
    EXPECT_EQ(run.recorder.beeps, 0);
    run.expectFramesWritten(GetParam().frames);
    EXPECT_EQ(run.progress().Max(), int(GetParam().frames.size()));
    EXPECT_EQ(run.progress().Position(), int(GetParam().frames.size()));
    EXPECT_TRUE(run.mascotFinished());
    EXPECT_FALSE(run.timer().Enabled());
    EXPECT_TRUE(run.player().Playing());
}

INSTANTIATE_TEST_SUITE_P(Convert, ConvertRange,
                         ::testing::Values(RangeCase{{0, 4, 2}, {0, 2, 4}},
                                           RangeCase{{10, 20, 3}, {10, 13, 16, 19}},
                                           RangeCase{{7, 7, 1}, {7}},
                                           RangeCase{{25, 29, 1}, {25, 26, 27, 28, 29}},
                                           RangeCase{{0, 29, 29}, {0, 29}}));

// Every file equals what the command-line extractor writes for the same frame.
class ConvertCodec : public ::testing::TestWithParam<testmedia::Codec> {};

TEST_P(ConvertCodec, WritesTheDecodedFrameByteForByte) {
    testmedia::MovieRecipe recipe;
    recipe.codec = GetParam();
    recipe.width = 64;
    recipe.height = 48;
    recipe.frames = 12;
    recipe.gop = 5;
    Converting run(testMovie(recipe));
    run.setRange({1, 11, 3});
    run.convert();
    EXPECT_TRUE(run.recorder.messages.empty());
    run.expectFramesWritten({1, 4, 7, 10});
}

INSTANTIATE_TEST_SUITE_P(Convert, ConvertCodec,
                         ::testing::Values(testmedia::Codec::RawBgr24, testmedia::Codec::RawPal8,
                                           testmedia::Codec::Mjpeg, testmedia::Codec::Mpeg4BFrames),
                         [](const auto& info) { return testmedia::codecName(info.param); });

TEST(Convert, RunningTwiceReplacesTheFirstRunsFiles) {
    Converting run(smallMovie(10));
    run.setRange({0, 2, 1});
    run.convert();
    for (int frame : {0, 1, 2})
        writeText(run.output(frame), "stale");
    run.convert();
    run.expectFramesWritten({0, 1, 2});
    EXPECT_TRUE(run.recorder.messages.empty());
}

TEST(Convert, CreatesEveryMissingLevelOfTheDestination) {
    Converting run(smallMovie(5));
    run.destination = run.windows.scratch().file(QStringLiteral("A/B/C"));
    run.setDestination(run.destination);
    run.setRange({0, 1, 1});
    run.convert();
    run.expectFramesWritten({0, 1});
}

TEST(Convert, ClosesThePreviewAndPlaysTheSmallPlayerAtTheEnd) {
    Converting run(smallMovie(10));
    run.windows.main().GKitMSPlay1Click();
    ASSERT_TRUE(run.windows.preview().isVisible());
    run.setRange({0, 1, 1});
    run.convert();
    EXPECT_FALSE(run.windows.preview().isVisible());
    EXPECT_FALSE(run.windows.preview().Player().Playing());
    EXPECT_TRUE(run.player().Playing());
}

// Failures: one beep, the one message, and what was done stays done.
void expectFailureReported(Converting& run) {
    EXPECT_EQ(run.recorder.beeps, 1);
    ASSERT_EQ(run.recorder.messages.size(), 1u);
    EXPECT_EQ(run.recorder.messages[0].text, unsupportedText);
    EXPECT_EQ(run.recorder.messages[0].caption, QStringLiteral("Kirimo AVI"));
    EXPECT_EQ(run.recorder.messages[0].buttons, platform::MessageButtons::Ok);
    EXPECT_FALSE(run.mascotFinished());
    EXPECT_TRUE(run.timer().Enabled());
}

TEST(ConvertFailure, AnEmptyDestinationTouchesNothing) {
    Converting run(smallMovie(10));
    run.windows.main().GKitMSPlay1Click();
    run.progress().setPosition(7);
    run.setDestination(QString());
    run.convert();
    expectFailureReported(run);
    EXPECT_EQ(run.progress().Position(), 7);
    EXPECT_EQ(run.progress().Max(), 100);
    EXPECT_TRUE(run.windows.preview().isVisible());
    EXPECT_TRUE(run.windows.preview().Player().Playing());
    EXPECT_FALSE(run.player().Playing()); // paused by the preview, and left so
}

TEST(ConvertFailure, ADestinationThatCannotBeCreatedWritesNothing) {
    Converting run(smallMovie(10));
    const QString file = run.windows.scratch().file(QStringLiteral("plain-file"));
    writeText(file, "x");
    run.destination = file + QStringLiteral("/frames");
    run.setDestination(run.destination);
    run.progress().setPosition(7);
    run.convert();
    expectFailureReported(run);
    EXPECT_EQ(run.progress().Position(), 0);
    EXPECT_FALSE(QFileInfo::exists(run.destination));
    EXPECT_FALSE(run.player().Playing());
}

TEST(ConvertFailure, AReadOnlyFileAtTheThirdFrameStopsAfterTwo) {
    Converting run(smallMovie(10));
    run.setRange({0, 5, 1});
    QDir().mkpath(run.destination);
    const QString blocked = run.output(2);
    writeText(blocked, "keep me");
    QFile::setPermissions(blocked, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    run.convert();
    expectFailureReported(run);
    EXPECT_EQ(run.progress().Position(), 2);
    EXPECT_EQ(run.progress().Max(), 6);
    EXPECT_EQ(fileBytes(run.output(0)), expectedBmp(smallMovie(10), 0));
    EXPECT_EQ(fileBytes(run.output(1)), expectedBmp(smallMovie(10), 1));
    EXPECT_EQ(fileBytes(blocked), "keep me");
    EXPECT_EQ(run.written(run.destination).size(), 3);
    EXPECT_FALSE(run.player().Playing());
    QFile::setPermissions(blocked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST(ConvertFailure, AnIntervalBelowOneRefusesToStart) {
    Converting run(smallMovie(10));
    run.setRange({0, 5, 1});
    run.progress().setPosition(4);
    typeInto(run.spin(QStringLiteral("SpinEdit6")), QStringLiteral("0"));
    run.recorder.messages.clear();
    run.recorder.beeps = 0;
    run.convert();
    expectFailureReported(run);
    EXPECT_EQ(run.progress().Position(), 4);
    EXPECT_FALSE(QFileInfo::exists(run.destination));
}

} // namespace
