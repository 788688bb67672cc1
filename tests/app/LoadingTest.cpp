#include "AppTestSupport.h"
#include "app/ChangeForm1.h"
#include "controls/BrowseEdit.h"
#include "controls/FileOpenEdit.h"
#include "controls/SpinEdit.h"
#include "framework/Image.h"
#include "framework/Timer.h"
#include "player/GKitMSPlay.h"
#include "skin/AHMFadingLabel.h"
#include "skin/DxfProgressBar.h"
#include "skin/ShineSpeedButton.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class Loading : public RecordedWindows, public ::testing::Test {
protected:
    QString frames() const { return label("FadingLabel2").Caption(); }
    QString size() const { return label("FadingLabel3").Caption(); }
    TAHMFadingLabel& label(const char* name) const {
        return control<TAHMFadingLabel>(QString::fromLatin1(name));
    }
    TShineSpeedButton& convertButton() const {
        return control<TShineSpeedButton>(QStringLiteral("SSButton1"));
    }
    bool rangeEnabled() const {
        return start().Enabled() && end().Enabled() && interval().Enabled() &&
               label("FadingLabel2").Enabled() && label("FadingLabel3").Enabled() &&
               convertButton().Enabled() && mascotTimer().Enabled();
    }

    void expectLoaded(const QString& movie, int length) const {
        EXPECT_EQ(start().Value(), 0);
        EXPECT_EQ(end().Value(), length);
        EXPECT_EQ(interval().Value(), 1);
        EXPECT_EQ(count(), QString::number(length + 1));
        EXPECT_EQ(countGauge().Max(), length);
        EXPECT_EQ(countGauge().Position(), length);
        EXPECT_EQ(progress().Position(), 0);
        EXPECT_TRUE(rangeEnabled());
        EXPECT_EQ(source().Filename(), movie);
        EXPECT_EQ(source().Hint(), movie);
        EXPECT_EQ(smallPlayer().FileName(), movie);
    }

    void expectUnloaded() const {
        EXPECT_EQ(frames(), QStringLiteral("全0ﾌﾚｰﾑ"));
        EXPECT_EQ(size(), QStringLiteral("0 x 0"));
        EXPECT_EQ(count(), QStringLiteral("0"));
        EXPECT_FALSE(start().Enabled());
        EXPECT_FALSE(convertButton().Enabled());
        EXPECT_FALSE(label("FadingLabel2").Enabled());
        EXPECT_FALSE(mascotTimer().Enabled());
        EXPECT_TRUE(source().Filename().isEmpty());
    }

    // Moves the range away from a fresh load, so a reload shows.
    void disturbRange() const {
        interval().setValue(2);
        start().setValue(3);
        end().setValue(7);
        progress().setPosition(5);
    }

    QString copyAs(const QString& movie, const QString& name) const {
        const QString target = scratch().file(name);
        QFile::copy(movie, target);
        return target;
    }
    QString textFile(const QString& name) const {
        const QString file = scratch().file(name);
        writeText(file, "not a movie");
        return file;
    }
    QString malformed(testmedia::Malformed kind) const {
        const QString file = scratch().file(QStringLiteral("broken.avi"));
        testmedia::writeMalformed(file.toStdString(), kind);
        return file;
    }
    void runWith(const QStringList& arguments) {
        main().setCommandLine(QStringList{QStringLiteral("kirimo-avi")} + arguments);
        main().show();
    }
};

enum class Way { Dialog, Drop, CommandLine };

class LoadingWays : public Loading, public ::testing::WithParamInterface<Way> {};

TEST_P(LoadingWays, ShowTheFrameCountAndSizeAndResetTheRange) {
    const QString movie = testMovie(recipeOf(testmedia::Codec::Mjpeg, 300, 640, 480));
    switch (GetParam()) {
    case Way::Dialog:
        recorder.openFileAnswer = movie;
        clickBrowseButton(source());
        break;
    case Way::Drop:
        dropFiles(main(), {movie});
        break;
    case Way::CommandLine:
        runWith({movie});
        break;
    }
    EXPECT_TRUE(recorder.messages.empty()) << recorder.messageTexts().join('\n').toStdString();
    EXPECT_EQ(frames(), QStringLiteral("全300ﾌﾚｰﾑ"));
    EXPECT_EQ(size(), QStringLiteral("640 x 480"));
    expectLoaded(movie, 299);
}

std::string wayName(const ::testing::TestParamInfo<Way>& info) {
    const char* const names[] = {"Dialog", "Drop", "CommandLine"};
    return names[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Loading, LoadingWays,
                         ::testing::Values(Way::Dialog, Way::Drop, Way::CommandLine), wayName);

TEST_F(Loading, TheLastAviOfADropWins) {
    const QString text = textFile(QStringLiteral("a.txt"));
    const QString b = copyAs(smallMovie(10), QStringLiteral("b.AVI"));
    const QString c = copyAs(smallMovie(20), QStringLiteral("c.avi"));
    dropFiles(main(), {text, b, c});
    expectLoaded(c, 19);
    EXPECT_EQ(main().DropFileName(), c);
}

TEST_F(Loading, ADropWithoutAviFilesOnAFreshWindowChangesNothing) {
    const QString text = textFile(QStringLiteral("a.txt"));
    const QString other = copyAs(smallMovie(), QStringLiteral("clip.avi2"));
    dropFiles(main(), {text, other});
    expectUnloaded();
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Loading, ADropOnAChildControlReachesTheWindow) {
    const QString movie = smallMovie(10);
    const QString path = destination().Path();
    dropFiles(destination(), {movie});
    expectLoaded(movie, 9);
    EXPECT_EQ(destination().Path(), path);
}

TEST_F(Loading, DroppingTheLoadedMovieAgainReloadsIt) {
    const QString movie = smallMovie(10);
    dropFiles(main(), {movie});
    disturbRange();
    dropFiles(main(), {movie});
    expectLoaded(movie, 9);
}

// Regression: a drag without an AVI name showed the copy cursor, and its drop did nothing.
TEST_F(Loading, ADragOffersADropOnlyWhenItHoldsAnAviName) {
    const QStringList others{textFile(QStringLiteral("a.txt")),
                             scratch().file(QStringLiteral("clip.mp4"))};
    const QStringList withAvi = others + QStringList{scratch().file(QStringLiteral("clip.AVI"))};
    QWidget* const child = &destination(); // an edit that takes text drops of its own
    for (QWidget* target : {static_cast<QWidget*>(&main()), child}) {
        EXPECT_EQ(acceptedDragEvents(*target, others), 0) << target->objectName().toStdString();
        EXPECT_EQ(acceptedDragEvents(*target, withAvi), 2) << target->objectName().toStdString();
    }
}

// Regression: a command line naming only other movies opened an empty window without a word.
TEST_F(Loading, CommandLineNamesTheWindowDoesNotTakeAreToldOnStandardError) {
    const QString movie = smallMovie(10);
    const QString clip = copyAs(movie, QStringLiteral("clip.mp4"));
    const QString gone = scratch().file(QStringLiteral("gone.avi"));
    ::testing::internal::CaptureStderr();
    runWith({clip, gone, movie});
    const QStringList said =
        QString::fromStdString(::testing::internal::GetCapturedStderr()).split(u'\n');
    expectLoaded(movie, 9);
    EXPECT_EQ(said.filter(QStringLiteral("kirimo-avi: ")).join(u'\n').toStdString(),
              QStringLiteral("kirimo-avi: ignored '%1': the window opens AVI movies only; use "
                             "kirimo-extract for other movies\n"
                             "kirimo-avi: ignored '%2': no such file")
                  .arg(clip, gone)
                  .toStdString());
}

// Regression: a drop without an AVI reloaded the AVI of an earlier drop over the movie chosen
// since.
TEST_F(Loading, ADropWithoutAviKeepsTheMovieChosenSinceAnEarlierDrop) {
    dropFiles(main(), {smallMovie(10)});
    const QString chosen = smallMovie(20);
    recorder.openFileAnswer = chosen;
    clickBrowseButton(source());
    disturbRange();
    dropFiles(main(), {textFile(QStringLiteral("notes.txt"))});
    EXPECT_EQ(smallPlayer().FileName(), chosen);
    EXPECT_EQ(source().Filename(), chosen);
    EXPECT_EQ(start().Value(), 3);
    EXPECT_EQ(end().Value(), 7);
    EXPECT_EQ(progress().Position(), 5);
}

// Regression: a movie as long as the one before kept the earlier movie's end thumbnail.
TEST_F(Loading, AMovieOfTheSameLengthReplacesBothThumbnails) {
    main().WMDropFiles({testMovie(recipeOf(testmedia::Codec::RawBgr24, 12, 64, 48))});
    main().WMDropFiles({testMovie(recipeOf(testmedia::Codec::RawBgr24, 12, 96, 32))});
    for (const char* name : {"Image2", "Image3"})
        EXPECT_EQ(control<TImage>(QString::fromLatin1(name)).picture().size(), QSize(96, 32))
            << name;
}

TEST_F(Loading, ChoosingTheLoadedFileAgainInTheDialogKeepsTheRange) {
    recorder.openFileAnswer = smallMovie(10);
    clickBrowseButton(source());
    disturbRange();
    clickBrowseButton(source());
    EXPECT_EQ(start().Value(), 3);
    EXPECT_EQ(end().Value(), 7);
    EXPECT_EQ(interval().Value(), 2);
    EXPECT_EQ(progress().Position(), 5);
}

TEST_F(Loading, ASingleFrameMovieKeepsTheEarlierUpperBounds) {
    main().WMDropFiles({smallMovie(1)});
    EXPECT_EQ(frames(), QStringLiteral("全1ﾌﾚｰﾑ"));
    EXPECT_EQ(start().Value(), 0);
    EXPECT_EQ(end().Value(), 0);
    EXPECT_EQ(count(), QStringLiteral("1"));
    EXPECT_EQ(start().MaxValue(), 1);
    EXPECT_EQ(end().MaxValue(), 1);
    EXPECT_EQ(interval().MaxValue(), 9999);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Loading, AMovieThePlayerCannotOpenIsReportedAndLeavesTheWindowAsItWas) {
    dropFiles(main(), {malformed(testmedia::Malformed::NotRiff)});
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, QStringLiteral("Kirimo AVI"));
    EXPECT_EQ(recorder.messages[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(frames(), QStringLiteral("全0ﾌﾚｰﾑ"));
    EXPECT_FALSE(start().Enabled());
    EXPECT_FALSE(convertButton().Enabled());
}

// A failed load keeps the movie loaded before, under its own name: Convert names its files after
// the source edit. Regression: the edit kept the failed file's name, and Convert wrote the loaded
// movie's frames as empty_00000.bmp ...
class FailedLoad : public Loading, public ::testing::WithParamInterface<Way> {};

TEST_P(FailedLoad, KeepsTheLoadedMovieAndRangeUnderItsOwnName) {
    const QString movie = copyAs(smallMovie(10), QStringLiteral("clip.avi"));
    main().WMDropFiles({movie});
    disturbRange();
    const QString empty = scratch().file(QStringLiteral("empty.avi"));
    writeText(empty, "");
    if (GetParam() == Way::Dialog) {
        recorder.openFileAnswer = empty;
        clickBrowseButton(source());
    } else {
        dropFiles(main(), {empty});
    }
    EXPECT_EQ(recorder.messageTexts(),
              QStringList{QStringLiteral("empty.avi: 動画ファイルとして読み込めません.")});
    EXPECT_EQ(smallPlayer().FileName(), movie);
    EXPECT_EQ(source().Filename(), movie);
    EXPECT_EQ(source().Hint(), movie);
    EXPECT_EQ(end().Value(), 7);
    EXPECT_EQ(frames(), QStringLiteral("全10ﾌﾚｰﾑ"));

    const QString out = scratch().file(QStringLiteral("out"));
    destination().setPath(out);
    main().SSButton1Click();
    EXPECT_EQ(QDir(out).entryList(QDir::Files),
              (QStringList{QStringLiteral("clip_00003.bmp"), QStringLiteral("clip_00005.bmp"),
                           QStringLiteral("clip_00007.bmp")}));
}

INSTANTIATE_TEST_SUITE_P(Loading, FailedLoad, ::testing::Values(Way::Dialog, Way::Drop), wayName);

TEST_F(Loading, AFailedFirstLoadLeavesNoName) {
    recorder.openFileAnswer = malformed(testmedia::Malformed::Empty);
    clickBrowseButton(source());
    EXPECT_EQ(recorder.messages.size(), 1u);
    expectUnloaded();
    EXPECT_EQ(source().Hint(), QStringLiteral(" 変換元のAVIファイル"));
}

// Command-line arguments: what exists and is an AVI name is loaded, in turn; the rest ignored.
using CommandLine = Loading;

TEST_F(CommandLine, LoadsEachAviArgumentInTurnAndKeepsTheLast) {
    const QString first = copyAs(smallMovie(10), QStringLiteral("one.avi"));
    const QString second = copyAs(smallMovie(20), QStringLiteral("two.Avi"));
    runWith({first, second, textFile(QStringLiteral("three.txt")),
             scratch().file(QStringLiteral("missing.avi"))});
    expectLoaded(second, 19);
    EXPECT_EQ(main().FileExt(), QStringLiteral(".txt"));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CommandLine, ARelativeNameIsLoadedUnderThatName) {
    copyAs(smallMovie(10), QStringLiteral("clip.AVI"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(scratch().path());
    runWith({QStringLiteral("clip.AVI")});
    QDir::setCurrent(previous);
    expectLoaded(QStringLiteral("clip.AVI"), 9);
    EXPECT_EQ(main().FileExt(), QStringLiteral(".AVI"));
}

TEST_F(CommandLine, AnOverlongArgumentIsIgnored) {
    runWith({QString(4000, u'a') + ".avi"});
    expectUnloaded();
    EXPECT_TRUE(recorder.messages.empty());
}

// What the window says about a movie it cannot open: Japanese, the file by its name, nothing of
// the decoder's own words.
struct UnopenableCase {
    const char* name;
    const char* file;
    const char* message;
};

// The movie's headers with an empty frame list: everything after "movi" cut, sizes mended.
std::string withoutFrames(std::string bytes) {
    const std::size_t movi = bytes.find("movi");
    bytes.resize(movi + 4);
    const auto putSize = [&](std::size_t at, std::size_t size) {
        for (int i = 0; i < 4; ++i)
            bytes[at + std::size_t(i)] = char((size >> (8 * i)) & 0xFF);
    };
    putSize(movi - 4, 4);
    putSize(4, bytes.size() - 8);
    return bytes;
}

class UnopenableMessage : public Loading, public ::testing::WithParamInterface<UnopenableCase> {};

TEST_P(UnopenableMessage, IsShortJapaneseNamingTheFile) {
    const UnopenableCase c = GetParam();
    const QString file = scratch().file(QString::fromUtf8(c.file));
    if (c.name == std::string("Folder"))
        QDir().mkpath(file);
    else if (c.name == std::string("Empty"))
        writeText(file, "");
    else if (c.name == std::string("Text"))
        writeText(file, "not a movie");
    else if (c.name == std::string("NoFrames"))
        writeText(file, withoutFrames(fileBytes(smallMovie(1))));
    dropFiles(main(), {file});
    EXPECT_EQ(recorder.messageTexts(), QStringList{QString::fromUtf8(c.message)});
}

INSTANTIATE_TEST_SUITE_P(
    Loading, UnopenableMessage,
    ::testing::Values(
        UnopenableCase{"Missing", "gone.avi", "gone.avi: ファイルが見つかりません."},
        UnopenableCase{"Folder", "folder.avi", "folder.avi: ファイルではありません."},
        UnopenableCase{"Empty", "empty.avi", "empty.avi: 動画ファイルとして読み込めません."},
        UnopenableCase{"Text", "text.avi", "text.avi: 動画ファイルとして読み込めません."},
        UnopenableCase{"NoFrames", "zero.avi", "zero.avi: 映像のフレームがありません."}),
    [](const auto& info) { return std::string(info.param.name); });

// Regression: the edits of a one-frame movie keep their earlier upper bounds, and a step up
// reached frame 1, which the movie does not have.
TEST_F(Loading, NoRangeControlOfAOneFrameMovieReachesASecondFrame) {
    main().WMDropFiles({smallMovie(30)});
    main().WMDropFiles({smallMovie(1)});
    end().UpClick();
    start().UpClick();
    typeInto(end(), QStringLiteral("7"));
    EXPECT_EQ(end().Value(), 0);
    EXPECT_EQ(start().Value(), 0);
    EXPECT_EQ(count(), QStringLiteral("1"));
    EXPECT_TRUE(recorder.messages.empty()) << recorder.messageTexts().join('\n').toStdString();
}

} // namespace
