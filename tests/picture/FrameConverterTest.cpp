#include "picture/FrameConverter.h"

#include "core/BgrImage.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

// A 10-bit grey ramp, darker at the top, tagged as `transfer` in BT.2020.
picture::FramePtr greyRamp(int width, int height, AVColorTransferCharacteristic transfer) {
    picture::FramePtr frame = picture::allocateFrame();
    frame->format = AV_PIX_FMT_YUV420P10LE;
    frame->width = width;
    frame->height = height;
    frame->color_primaries = AVCOL_PRI_BT2020;
    frame->colorspace = AVCOL_SPC_BT2020_NCL;
    frame->color_range = AVCOL_RANGE_JPEG;
    frame->color_trc = transfer;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        throw std::bad_alloc();
    for (int y = 0; y < height; ++y) {
        auto* luma = reinterpret_cast<std::uint16_t*>(frame->data[0] + y * frame->linesize[0]);
        for (int x = 0; x < width; ++x)
            luma[x] = static_cast<std::uint16_t>(100 + y);
    }
    for (int p = 1; p <= 2; ++p)
        for (int y = 0; y < height / 2; ++y) {
            auto* chroma =
                reinterpret_cast<std::uint16_t*>(frame->data[p] + y * frame->linesize[p]);
            std::fill_n(chroma, width / 2, 512);
        }
    return frame;
}

// Rows mapped on several threads land where they belong: the ramp grows down the picture, in
// one band (HDR, mapped from the whole picture's peak) and in several (SDR), as on one thread.
TEST(FrameConverter, MapsRowsOnThreadsInTheirPlaces) {
    for (const AVColorTransferCharacteristic transfer :
         {AVCOL_TRC_SMPTE2084, AVCOL_TRC_BT2020_10}) {
        const picture::FramePtr frame = greyRamp(64, 800, transfer);
        core::BgrImage one;
        core::BgrImage three;
        picture::FrameConverter converter;
        converter.convert(*frame, 64, 800, 0, one, 1);
        converter.convert(*frame, 64, 800, 0, three, 3);
        EXPECT_EQ(one.bytes, three.bytes) << transfer;
        for (int y = 1; y < 800; ++y)
            ASSERT_GE(three.row(y)[3 * 40 + 1], three.row(y - 1)[3 * 40 + 1]) << y;
        EXPECT_LT(three.row(0)[1], three.row(799)[1]) << transfer;
    }
}

} // namespace
