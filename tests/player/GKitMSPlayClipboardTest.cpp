#include "PlayerTestSupport.h"
#include "media/Movie.h"
#include "player/GKitMSPlay.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using playertest::frameNumberOf;
using playertest::movieFor;
using playertest::openPaused;
using playertest::pixelDifference;
using playertest::recipeOf;
using testmedia::Codec;

QImage clipboardPicture() {
    return QGuiApplication::clipboard()->image();
}

void putOlderPicture() {
    QImage older(8, 8, QImage::Format_RGB32);
    older.fill(Qt::magenta);
    QGuiApplication::clipboard()->setImage(older);
    ASSERT_FALSE(clipboardPicture().isNull());
}

struct CopyCase {
    Codec codec;
    int frame;
};

class CopyFrame : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyFrame, PutsExactlyThatFrameOnTheClipboard) {
    const auto file = movieFor(recipeOf(GetParam().codec, 30));
    const int n = GetParam().frame;
    TGKitMSPlay player;
    openPaused(player, file);
    putOlderPicture();

    ASSERT_TRUE(player.CopyToClipboard(n));
    const QImage picture = clipboardPicture();
    EXPECT_EQ(frameNumberOf(picture), n);
    media::Movie reference(file);
    EXPECT_EQ(pixelDifference(picture, reference.frame(n)), "");
    // The shown frame stays where playback left it.
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(frameNumberOf(player.picture()), 0);
}

INSTANTIATE_TEST_SUITE_P(Player, CopyFrame,
                         testing::Values(CopyCase{Codec::Mjpeg, 0}, CopyCase{Codec::Mjpeg, 17},
                                         CopyCase{Codec::Mjpeg, 29}, CopyCase{Codec::RawBgr24, 5},
                                         CopyCase{Codec::RawPal8, 3}, CopyCase{Codec::RawPal8, 29},
                                         CopyCase{Codec::Mpeg4BFrames, 13},
                                         CopyCase{Codec::Mpeg4BFrames, 1}),
                         [](const auto& info) {
                             return testmedia::codecName(info.param.codec) + "_frame" +
                                    std::to_string(info.param.frame);
                         });

enum class CopyFault { NoMovie, BeforeTheFirst, AfterTheLast };

class FailedCopy : public testing::TestWithParam<CopyFault> {};

TEST_P(FailedCopy, AnswersFalseAndLeavesNoPicture) {
    TGKitMSPlay player;
    int frame = 0;
    if (GetParam() != CopyFault::NoMovie) {
        openPaused(player, movieFor(recipeOf(Codec::Mjpeg, 30)));
        frame = GetParam() == CopyFault::BeforeTheFirst ? -1 : player.Length() + 1;
    }
    putOlderPicture();
    EXPECT_FALSE(player.CopyToClipboard(frame));
    EXPECT_TRUE(clipboardPicture().isNull());
}

INSTANTIATE_TEST_SUITE_P(Player, FailedCopy,
                         testing::Values(CopyFault::NoMovie, CopyFault::BeforeTheFirst,
                                         CopyFault::AfterTheLast));

TEST(PlayerFrame, PalettisedFrameCarriesItsPalette) {
    TGKitMSPlay player;
    openPaused(player, movieFor(recipeOf(Codec::RawPal8, 30)));
    const core::BgrImage frame = player.Frame(7);
    EXPECT_EQ(frameNumberOf(frame), 7);
    ASSERT_FALSE(frame.palette.empty());
    const std::uint8_t* pixel = frame.row(frame.height / 2) + 3 * (frame.width / 2);
    const std::uint32_t rgb = (pixel[2] << 16) | (pixel[1] << 8) | pixel[0];
    EXPECT_NE(std::find(frame.palette.begin(), frame.palette.end(), rgb), frame.palette.end());
}

TEST(PlayerFrame, MissingFrameRaisesNamingIt) {
    TGKitMSPlay player;
    const auto messageOf = [&](int n) { return playertest::errorOf([&] { player.Frame(n); }); };
    EXPECT_NE(messageOf(4).find("frame 4"), std::string::npos) << messageOf(4);
    openPaused(player, movieFor(recipeOf(Codec::Mjpeg, 30)));
    EXPECT_NE(messageOf(30).find("frame 30"), std::string::npos) << messageOf(30);
}

} // namespace
