#include "picture/PictureChain.h"

#include "core/BgrImage.h"
#include "picture/PicturePtr.h"
#include "picture/SizeError.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

// A decoded BGR picture whose top half is white and bottom half black: after a quarter turn
// clockwise the white half stands on the right.
picture::FramePtr topWhite(int width, int height) {
    picture::FramePtr frame = picture::allocateFrame();
    frame->format = AV_PIX_FMT_BGR24;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        throw std::bad_alloc();
    for (int y = 0; y < height; ++y)
        std::fill_n(frame->data[0] + y * frame->linesize[0], width * 3, y < height / 2 ? 255 : 0);
    return frame;
}

picture::SourcePictures sourceOf(int width, int height) {
    return {.width = width, .height = height, .frameCount = 1};
}

// The size asked for applies to the picture as turned, and the size the chain announces is the
// one it makes: a resize before the turn, or sides not swapped, gives a picture lying on its side.
TEST(PictureChain, ResizesThePictureAsTurned) {
    const picture::PictureOrientation quarterTurn(1, false);
    picture::PictureChain chain(sourceOf(64, 32), {.size = core::SizeRequest::parse("16x")});
    const picture::FramePtr decoded = topWhite(64, 32);
    core::BgrImage out;
    chain.render(0, decoded.get(), nullptr, 1, quarterTurn, {}, out);
    EXPECT_EQ(out.width, 16);
    EXPECT_EQ(out.height, 32);
    const core::PixelShape::Size announced = chain.outputSize(quarterTurn, {});
    EXPECT_EQ(announced.width, out.width);
    EXPECT_EQ(announced.height, out.height);
    EXPECT_LT(out.row(16)[0], 30) << "left is the black half";
    EXPECT_GT(out.row(16)[3 * 15], 225) << "right is the white half";
}

// A frame before a movie's first picture is black at the size the others come at, a sketch's
// too: shot search compares pictures of one size.
TEST(PictureChain, AFrameWithoutAPictureIsBlackAtTheSizeOfTheOthers) {
    picture::PictureChain chain(sourceOf(320, 240), {.sketchWidth = 64});
    core::BgrImage out;
    chain.render(0, nullptr, nullptr, 1, {}, {}, out);
    EXPECT_EQ(out.width, 64);
    EXPECT_EQ(out.height, 48);
    EXPECT_EQ(out.row(47)[3 * 63], 0);
}

// A size either of whose sides no picture can have is refused before any memory is taken for
// it: a tall, narrow picture asked for at a small width is tallest of all.
TEST(PictureChain, RefusesASizeTooTallAsMuchAsOneTooWide) {
    picture::PictureChain chain(sourceOf(2, 4000), {.size = core::SizeRequest::parse("16x")});
    const picture::FramePtr decoded = topWhite(2, 4000);
    core::BgrImage out;
    EXPECT_THROW(chain.render(0, decoded.get(), nullptr, 1, {}, {}, out), picture::SizeError);
}

} // namespace
