#include "PlayerTestSupport.h"
#include "framework/FormLoader.h"
#include "framework/Panel.h"
#include "player/GKitMSPlay.h"
#include "player/PlayerClasses.h"

#include <QDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using playertest::frameNumberOf;
using playertest::movieFor;
using playertest::openPaused;
using playertest::qtPath;
using playertest::recipeOf;
using playertest::ticks;
using testmedia::Codec;

std::string raisedBy(TGKitMSPlay& player, const QString& fileName) {
    return playertest::errorOf([&] { player.setFileName(fileName); });
}

class Loading : public testing::TestWithParam<Codec> {};

TEST_P(Loading, GivesTheMovieFactsAndShowsTheFirstFrame) {
    const auto movie = movieFor(recipeOf(GetParam(), 30, 128, 96));
    TGKitMSPlay player;
    openPaused(player, movie);
    EXPECT_EQ(player.FileName(), qtPath(movie));
    EXPECT_EQ(player.Length(), 29);
    EXPECT_EQ(player.MovieWidth(), 128);
    EXPECT_EQ(player.MovieHeight(), 96);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(frameNumberOf(player.picture()), 0);
    EXPECT_EQ(player.frameInterval(), 40); // 25 frames a second
    EXPECT_FALSE(player.Playing());
}

INSTANTIATE_TEST_SUITE_P(Player, Loading,
                         testing::Values(Codec::Mjpeg, Codec::RawPal8, Codec::Mpeg4BFrames),
                         [](const auto& info) { return testmedia::codecName(info.param); });

enum class BadFile { Missing, Folder, Empty, NotRiff };

std::filesystem::path badFile(BadFile kind) {
    const auto folder = playertest::scratchFolder();
    switch (kind) {
    case BadFile::Missing:
        return folder / "no such movie.avi";
    case BadFile::Folder:
        std::filesystem::create_directories(folder / "a folder.avi");
        return folder / "a folder.avi";
    case BadFile::Empty:
        testmedia::writeMalformed(folder / "empty.avi", testmedia::Malformed::Empty);
        return folder / "empty.avi";
    case BadFile::NotRiff:
        testmedia::writeMalformed(folder / "text.avi", testmedia::Malformed::NotRiff);
        return folder / "text.avi";
    }
    return {};
}

class Unopenable : public testing::TestWithParam<BadFile> {};

TEST_P(Unopenable, RaisesNamingTheFileAndKeepsTheEarlierMovie) {
    const auto good = movieFor(recipeOf(Codec::Mjpeg, 30));
    const QString bad = qtPath(badFile(GetParam()));
    TGKitMSPlay player;
    openPaused(player, good);
    player.Play();
    ticks(player, 3);

    const std::string message = raisedBy(player, bad);
    EXPECT_NE(message.find(bad.toStdString()), std::string::npos) << message;
    EXPECT_EQ(player.FileName(), qtPath(good));
    EXPECT_EQ(player.Length(), 29);
    EXPECT_EQ(player.Position(), 3);
    EXPECT_EQ(frameNumberOf(player.picture()), 3);
    EXPECT_TRUE(player.Playing());
    player.Tick();
    EXPECT_EQ(frameNumberOf(player.picture()), 4);
}

INSTANTIATE_TEST_SUITE_P(Player, Unopenable,
                         testing::Values(BadFile::Missing, BadFile::Folder, BadFile::Empty,
                                         BadFile::NotRiff));

TEST(PlayerLoading, RelativeNameOpensInTheCurrentFolder) {
    const auto movie = movieFor(recipeOf(Codec::RawBgr24, 12, 64, 48));
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(qtPath(movie.parent_path())));
    TGKitMSPlay player;
    const QString relative = qtPath(movie.filename());
    const std::string message = raisedBy(player, relative);
    QDir::setCurrent(saved);
    ASSERT_EQ(message, "");
    EXPECT_EQ(player.FileName(), relative);
    EXPECT_EQ(player.Length(), 11);
    EXPECT_EQ(player.MovieWidth(), 64);
}

TEST(PlayerLoading, SameNameAgainReloadsFromTheFirstFrame) {
    const auto file = movieFor(recipeOf(Codec::Mjpeg, 30));
    TGKitMSPlay player;
    openPaused(player, file);
    player.Play();
    ticks(player, 5);
    player.setFileName(qtPath(file));
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(frameNumberOf(player.picture()), 0);
    EXPECT_FALSE(player.Playing());
}

TEST(PlayerLoading, AutoPlayStartsPlayback) {
    const QString file = qtPath(movieFor(recipeOf(Codec::Mjpeg, 30)));
    TGKitMSPlay player;
    ASSERT_TRUE(player.AutoPlay());
    player.setFileName(file);
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.Position(), 0);
}

TEST(PlayerLoading, EmptyNameClosesTheMovie) {
    TGKitMSPlay player;
    player.setFileName(qtPath(movieFor(recipeOf(Codec::Mjpeg, 30))));
    player.setFileName(QString());
    EXPECT_FALSE(player.hasMovie());
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.FileName(), QString());
    EXPECT_EQ(player.Length(), -1);
    EXPECT_EQ(player.MovieWidth(), 0);
    EXPECT_EQ(player.MovieHeight(), 0);
    EXPECT_EQ(player.Position(), -1);
    EXPECT_TRUE(player.picture().isNull());
}

TEST(PlayerLoading, FormDescriptionCreatesAndSetsUpThePlayer) {
    registerPlayerClasses();
    TPanel host;
    FormLoader::load(&host, QStringLiteral(R"(object Host: TPanel
  object GKitMSPlay1: TGKitMSPlay
    Left = 4
    Top = 8
    Width = 160
    Height = 120
    AutoPlay = False
    Loop = False
    ScaleMode = smStretch
    Cursor = crHandPoint
    Hint = ' 実寸画面プレビュー'
    TabStop = False
  end
end
)"),
                     QStringLiteral("player form"));
    auto* player = host.findChild<TGKitMSPlay*>(QStringLiteral("GKitMSPlay1"));
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->BoundsRect(), QRect(4, 8, 160, 120));
    EXPECT_FALSE(player->AutoPlay());
    EXPECT_FALSE(player->Loop());
    EXPECT_EQ(player->ScaleMode(), smStretch);
    EXPECT_EQ(player->Cursor(), crHandPoint);
    EXPECT_EQ(player->Hint(), QStringLiteral(" 実寸画面プレビュー"));
    EXPECT_FALSE(player->TabStop());
}

} // namespace
