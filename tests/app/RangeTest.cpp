#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "controls/BrowseEdit.h"
#include "controls/SpinEdit.h"
#include "framework/Image.h"
#include "platform/Canvas.h"
#include "platform/Clipboard.h"
#include "skin/DxfProgressBar.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

QImage thumbnail(const AppWindows& windows, const char* name) {
    return windows.control<TImage>(QString::fromLatin1(name)).picture();
}

// A loaded 30-frame movie and the range controls.
class RangeWindow : public RecordedWindows {
public:
    RangeWindow() { main().WMDropFiles({smallMovie(30)}); }

    int gauge() const { return countGauge().Position(); }
    int startThumbnail() const { return frameNumberOf(thumbnail(*this, "Image2")); }
    int endThumbnail() const { return frameNumberOf(thumbnail(*this, "Image3")); }
};

TEST(Range, ALoadShowsTheFirstAndLastFramesAsThumbnails) {
    RangeWindow w;
    EXPECT_EQ(w.startThumbnail(), 0);
    EXPECT_EQ(w.endThumbnail(), 29);
    EXPECT_EQ(w.count(), QStringLiteral("30"));
    EXPECT_EQ(w.gauge(), 29); // the gauge shows the count from the first change on
}

// One end of the range typed, pasted or stepped past the other is set back to it.
struct ClampCase {
    const char* name;
    bool start; // the start is moved past the end, or else the end past the start
    int bound;
    const char* typed;
    const char* pasted;
};

class RangeClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(RangeClamp, SetsTheEditBackToTheOtherEnd) {
    const ClampCase c = GetParam();
    RangeWindow w;
    TSpinEdit& moved = c.start ? w.start() : w.end();
    (c.start ? w.end() : w.start()).setValue(c.bound);
    const auto expectHeld = [&] {
        EXPECT_EQ(moved.Value(), c.bound);
        EXPECT_EQ(w.count(), QStringLiteral("1"));
        EXPECT_EQ(w.gauge(), 1);
    };
    typeInto(moved, QString::fromLatin1(c.typed));
    expectHeld();
    EXPECT_EQ(frameNumberOf(platform::Clipboard::image()), c.bound);
    QGuiApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
    moved.SelectAll();
    moved.PasteFromClipboard();
    expectHeld();
    c.start ? moved.UpClick() : moved.DownClick();
    expectHeld();
    EXPECT_EQ(c.start ? w.startThumbnail() : w.endThumbnail(), c.bound);
}

INSTANTIATE_TEST_SUITE_P(Range, RangeClamp,
                         ::testing::Values(ClampCase{"StartBeyondTheEnd", true, 20, "25", "21"},
                                           ClampCase{"EndBelowTheStart", false, 15, "9", "14"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A value a handler corrects is shown corrected by every step that follows the correction.
struct CorrectionCase {
    const char* name;
    bool start; // the start edit is given the value, or else the end edit
    int before; // the edit's value first
    int other;  // the other edit's value first
    const char* pasted;
    int corrected;
    int count;
};

class RangeCorrection : public ::testing::TestWithParam<CorrectionCase> {};

TEST_P(RangeCorrection, EndsWithTheCorrectedValueShown) {
    const CorrectionCase c = GetParam();
    RangeWindow w;
    TSpinEdit& edit = c.start ? w.start() : w.end();
    (c.start ? w.end() : w.start()).setValue(c.other);
    edit.setValue(c.before);
    QGuiApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
    edit.SelectAll();
    edit.PasteFromClipboard();
    EXPECT_EQ(edit.Value(), c.corrected);
    EXPECT_EQ(w.count(), QString::number(c.count));
    EXPECT_EQ(w.gauge(), c.count);
    EXPECT_EQ(c.start ? w.startThumbnail() : w.endThumbnail(), c.corrected);
    EXPECT_EQ(frameNumberOf(platform::Clipboard::image()), c.corrected);
    EXPECT_EQ(w.recorder.beeps, 0);
    EXPECT_TRUE(w.recorder.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Range, RangeCorrection,
    ::testing::Values(CorrectionCase{"NegativeStart", true, 5, 29, "-4", 0, 30},
                      CorrectionCase{"EndAboveTheLastFrame", false, 10, 0, "45", 29, 30},
                      CorrectionCase{"NegativeEndBelowTheStart", false, 20, 12, "-4", 12, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The control's own painting: the window lays the next frame's box over part of this one.
TEST(Range, ThumbnailsAreStretchedOverTheirWholeBox) {
    RecordedWindows windows;
    windows.main().WMDropFiles({testMovie(recipeOf(testmedia::Codec::RawBgr24, 10, 96, 32))});
    for (const char* name : {"Image2", "Image3"}) {
        TImage& image = windows.control<TImage>(QString::fromLatin1(name));
        const QImage picture = image.picture();
        ASSERT_EQ(picture.size(), QSize(96, 32));
        ASSERT_EQ(image.ClientRect().size(), QSize(80, 60));
        QImage painted(80, 60, QImage::Format_RGB32);
        painted.fill(Qt::black);
        platform::Canvas canvas(painted);
        image.Paint(canvas);
        // Corner to corner; a step of the picture's colour ramps is a few units at most.
        const QPoint corners[][2] = {
            {{0, 0}, {0, 0}}, {{79, 0}, {95, 0}}, {{0, 59}, {0, 31}}, {{79, 59}, {95, 31}}};
        for (const auto& [shown, from] : corners) {
            const QColor got = painted.pixelColor(shown);
            const QColor want = picture.pixelColor(from);
            EXPECT_NEAR(got.red(), want.red(), 4)
                << name << " at " << shown.x() << "," << shown.y();
            EXPECT_NEAR(got.green(), want.green(), 4) << name;
            EXPECT_NEAR(got.blue(), want.blue(), 4) << name;
        }
    }
}

struct CountCase {
    int start;
    int end;
    int interval;
    int count;
    int gauge; // the count, within the gauge's maximum (the last frame's number)
};

class RangeCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(RangeCount, IsTheNumberOfFramesConvertWrites) {
    RangeWindow w;
    w.interval().setValue(GetParam().interval);
    w.end().setValue(GetParam().end);
    w.start().setValue(GetParam().start);
    EXPECT_EQ(w.count(), QString::number(GetParam().count));
    EXPECT_EQ(w.gauge(), GetParam().gauge);
    EXPECT_TRUE(w.recorder.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Range, RangeCount,
                         ::testing::Values(CountCase{0, 9, 4, 3, 3}, CountCase{10, 20, 3, 4, 4},
                                           CountCase{1, 29, 1, 29, 29}, CountCase{0, 28, 1, 29, 29},
                                           CountCase{5, 5, 7, 1, 1}, CountCase{0, 29, 29, 2, 2}));

TEST(Range, TheEndBoundsTheStartAndTheStartBoundsTheEnd) {
    RangeWindow w;
    w.start().setValue(12);
    EXPECT_EQ(w.end().MinValue(), 12);
    w.end().setValue(18);
    EXPECT_EQ(w.start().MaxValue(), 18);
}

TEST(Range, AZeroIntervalReportsTheDivisionAndKeepsTheCount) {
    RangeWindow w;
    w.interval().setValue(3);
    ASSERT_EQ(w.count(), QStringLiteral("10"));
    typeInto(w.interval(), QStringLiteral("0"));
    EXPECT_EQ(w.recorder.messageTexts(), QStringList{QStringLiteral("ゼロによる除算.")});
    EXPECT_EQ(w.count(), QStringLiteral("10"));
    EXPECT_EQ(w.gauge(), 10);

    leaveEdit(w.interval());
    EXPECT_EQ(w.interval().Value(), 1);
    EXPECT_EQ(w.count(), QStringLiteral("30"));
    EXPECT_EQ(w.gauge(), 30);
}

TEST(Range, TheStartAndEndHandlersReportTheDivisionWhileTheIntervalIsZero) {
    RangeWindow w;
    typeInto(w.interval(), QStringLiteral("0"));
    w.recorder.messages.clear();
    w.start().setValue(4);
    EXPECT_EQ(w.recorder.messageTexts(), QStringList{QStringLiteral("ゼロによる除算.")});
    EXPECT_EQ(w.startThumbnail(), 0); // the handler stopped before the thumbnail
}

TEST(Range, ChangingOnlyTheIntervalLeavesThumbnailsAndClipboardAlone) {
    RangeWindow w;
    QImage marker(4, 4, QImage::Format_RGB32);
    marker.fill(Qt::magenta);
    platform::Clipboard::setImage(marker);
    w.interval().setValue(5);
    EXPECT_EQ(w.count(), QStringLiteral("6"));
    EXPECT_EQ(platform::Clipboard::image().convertToFormat(QImage::Format_RGB32), marker);
    EXPECT_EQ(w.startThumbnail(), 0);
    EXPECT_EQ(w.endThumbnail(), 29);
}

// A key held in a range edit repeats faster than a thumbnail far from its key frame decodes.
// The press and every repeat step the value, count and gauge; none fetches a thumbnail (that
// would queue the repeats behind the fetches, and the value would step on long after the key is
// released), also a repeat whose release comes unmarked before its press, as the window system
// may hand them over. The thumbnail of the value reached is fetched once the key is up: soon
// after its release, or when the edit loses the focus (the release then goes elsewhere).
struct KeyRepeatCase {
    const char* name;
    bool start;
    bool released; // or else the focus leaves
};

class RangeKeyRepeat : public ::testing::TestWithParam<KeyRepeatCase> {};

// Lets the event loop run for up to `ms` milliseconds, or until `done`.
void settle(int ms, const std::function<bool()>& done = nullptr) {
    QElapsedTimer waited;
    waited.start();
    while (!(done && done()) && waited.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

TEST_P(RangeKeyRepeat, StepsEveryRepeatAndFetchesTheThumbnailOnceItStops) {
    const KeyRepeatCase c = GetParam();
    RangeWindow w;
    w.start().setValue(20);
    TSpinEdit& edit = c.start ? w.start() : w.end();
    const auto thumbnailShown = [&] { return c.start ? w.startThumbnail() : w.endThumbnail(); };
    const auto key = [&](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, Qt::Key_Down, Qt::NoModifier, QString(), repeat);
        QCoreApplication::sendEvent(edit.Editor(), &event);
    };
    int fetches = 0;
    const QMetaObject::Connection counting = QObject::connect(
        QGuiApplication::clipboard(), &QClipboard::dataChanged, [&] { ++fetches; });
    const int first = edit.Value();
    key(QEvent::KeyPress, false);
    ASSERT_EQ(edit.Value(), first - 1);
    for (int step = 2; step <= 8; ++step) {
        const bool marked = step != 5;
        key(QEvent::KeyRelease, marked);
        key(QEvent::KeyPress, marked);
        if (!marked)
            settle(100); // and the next repeat comes late
        ASSERT_EQ(edit.Value(), first - step);
        EXPECT_EQ(w.count(), QString::number(w.end().Value() - w.start().Value() + 1));
        EXPECT_EQ(w.gauge(), w.end().Value() - w.start().Value() + 1);
    }
    EXPECT_EQ(fetches, 0);
    EXPECT_EQ(thumbnailShown(), first);
    if (c.released)
        key(QEvent::KeyRelease, false);
    else
        leaveEdit(edit);
    settle(5000, [&] { return fetches == 1; });
    QObject::disconnect(counting);
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(thumbnailShown(), first - 8);
    EXPECT_EQ(frameNumberOf(platform::Clipboard::image()), first - 8);
    EXPECT_TRUE(w.recorder.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Range, RangeKeyRepeat,
                         ::testing::Values(KeyRepeatCase{"EndReleased", false, true},
                                           KeyRepeatCase{"StartLosingTheFocus", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// An MJPEG movie whose last frame holds no picture data: the decoder refuses that frame only.
QString movieWithABrokenLastFrame(const AppScratch& scratch) {
    const QString file = scratch.file(QStringLiteral("broken-end.avi"));
    QFile::copy(testMovie(recipeOf(testmedia::Codec::Mjpeg, 12)), file);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    std::string bytes = fileBytes(file);
    // The last chunk that holds a picture (the index after the chunks names them too).
    std::size_t chunk = bytes.rfind("00dc");
    while (chunk != std::string::npos && bytes.compare(chunk + 8, 2, "\xFF\xD8") != 0)
        chunk = bytes.rfind("00dc", chunk - 1);
    const std::size_t data = chunk + 8;
    const std::uint32_t size =
        std::uint8_t(bytes[chunk + 4]) | std::uint8_t(bytes[chunk + 5]) << 8 |
        std::uint8_t(bytes[chunk + 6]) << 16 | std::uint32_t(std::uint8_t(bytes[chunk + 7])) << 24;
    std::fill(bytes.begin() + std::ptrdiff_t(data), bytes.begin() + std::ptrdiff_t(data + size),
              '\0');
    writeText(file, bytes);
    return file;
}

TEST(Range, AThumbnailThePlayerCannotDeliverIsReportedAfterTheCount) {
    RecordedWindows windows;
    dropFiles(windows.main(), {movieWithABrokenLastFrame(windows.scratch())});
    EXPECT_EQ(windows.recorder.messageTexts(),
              QStringList{QStringLiteral("無効なクリップボード フォーマットです.")});
    EXPECT_EQ(windows.count(), QStringLiteral("12"));
    EXPECT_EQ(frameNumberOf(thumbnail(windows, "Image2")), 0);
    EXPECT_TRUE(thumbnail(windows, "Image3").isNull());
}

// The destination keeps what the user gave, less one trailing separator of the platform's kind.
struct DestinationCase {
    const char* typed;
    const char* kept;
};

class Destination : public ::testing::TestWithParam<DestinationCase> {};

TEST_P(Destination, IsNormalisedAndBecomesTheHint) {
    RecordedWindows windows;
    auto& edit = windows.destination();
    edit.setPath(QString::fromUtf8(GetParam().typed));
    EXPECT_EQ(edit.Path(), QString::fromUtf8(GetParam().kept));
    EXPECT_EQ(edit.Hint(), QString::fromUtf8(GetParam().kept));
}

#ifdef Q_OS_WIN
INSTANTIATE_TEST_SUITE_P(Range, Destination,
                         ::testing::Values(DestinationCase{R"(D:\Frames\)", R"(D:\Frames)"},
                                           DestinationCase{"D:/Frames/", "D:/Frames/"},
                                           DestinationCase{R"(D:\フレーム\)", R"(D:\フレーム)"}));
#else
INSTANTIATE_TEST_SUITE_P(Range, Destination,
                         ::testing::Values(DestinationCase{"/srv/frames/", "/srv/frames/"},
                                           DestinationCase{R"(D:\Frames\)", R"(D:\Frames\)"},
                                           DestinationCase{"/srv/フレーム/", "/srv/フレーム/"},
                                           DestinationCase{"/", "/"}));
#endif

// Regression: dropping a trailing "/" on every change swallowed each separator as it was typed.
TEST(Range, ADestinationTypedKeyByKeyKeepsItsSeparators) {
    RecordedWindows windows;
    auto& edit = windows.destination();
    edit.setPath(QString());
    const QString typed = QStringLiteral("/tmp/out/frames");
    for (const QChar c : typed) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit.editor(), &press);
    }
    EXPECT_EQ(edit.Path(), typed);
}

// Regression: a pasted negative interval showed a negative number of files. Convert writes
// nothing with an interval below 1, and the count says so until the edit corrects it.
TEST(Range, ANegativeIntervalCountsNoFrames) {
    RangeWindow w;
    QGuiApplication::clipboard()->setText(QStringLiteral("-2"));
    w.interval().SelectAll();
    w.interval().PasteFromClipboard();
    EXPECT_EQ(w.count(), QStringLiteral("0"));
    EXPECT_EQ(w.gauge(), 0);
    leaveEdit(w.interval());
    EXPECT_EQ(w.count(), QStringLiteral("30"));
}

// A correction that fails in the handler run it triggers is the correction's failure: one
// beep and undo where the value was corrected, then one report when the outer run repeats the
// failing step. Regression: the nested run reported it on the spot, then the outer run again.
struct NestedFailureCase {
    const char* name;
    bool start; // the start edit is pasted beyond the end, or else the end below the start
    const char* pasted;
    int corrected;
};

class RangeNestedFailure : public ::testing::TestWithParam<NestedFailureCase> {};

TEST_P(RangeNestedFailure, IsReportedOnceAfterTheBeep) {
    const NestedFailureCase c = GetParam();
    RangeWindow w;
    w.start().setValue(12);
    typeInto(w.interval(), QStringLiteral("0"));
    w.recorder.messages.clear();
    TSpinEdit& edit = c.start ? w.start() : w.end();
    QGuiApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
    edit.SelectAll();
    edit.PasteFromClipboard();
    EXPECT_EQ(w.recorder.beeps, 1);
    EXPECT_EQ(w.recorder.messageTexts(), QStringList{QStringLiteral("ゼロによる除算.")});
    EXPECT_EQ(edit.Value(), c.corrected);
}

INSTANTIATE_TEST_SUITE_P(Range, RangeNestedFailure,
                         ::testing::Values(NestedFailureCase{"StartBeyondTheEnd", true, "35", 29},
                                           NestedFailureCase{"EndBelowTheStart", false, "3", 12}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
