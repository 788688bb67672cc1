#include "core/BgrImage.h"
#include "core/SizeRequest.h"
#include "picture/FrameConverter.h"
#include "picture/PicturePtr.h"
#include "picture/PictureResampler.h"

#include <benchmark/benchmark.h>
#include <cmath>

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace {

// The picture stages alone on 1080p pictures, no decoding: items per second are frames a second.

// A 10-bit 4:2:0 picture of smooth colour with a bright corner, tagged as a phone's HDR movie is.
picture::FramePtr hdrFrame(AVColorTransferCharacteristic transfer) {
    picture::FramePtr frame = picture::allocateFrame();
    frame->format = AV_PIX_FMT_YUV420P10LE;
    frame->width = 1920;
    frame->height = 1080;
    frame->color_primaries = AVCOL_PRI_BT2020;
    frame->colorspace = AVCOL_SPC_BT2020_NCL;
    frame->color_range = AVCOL_RANGE_MPEG;
    frame->color_trc = transfer;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        throw std::bad_alloc();
    for (int y = 0; y < 1080; ++y) {
        auto* luma = reinterpret_cast<std::uint16_t*>(frame->data[0] + y * frame->linesize[0]);
        for (int x = 0; x < 1920; ++x)
            luma[x] =
                static_cast<std::uint16_t>(x > 1600 && y < 300 ? 940 : 64 + (x + y) * 700 / 3000);
    }
    for (int y = 0; y < 540; ++y)
        for (int p = 1; p <= 2; ++p) {
            auto* chroma =
                reinterpret_cast<std::uint16_t*>(frame->data[p] + y * frame->linesize[p]);
            for (int x = 0; x < 960; ++x)
                chroma[x] = static_cast<std::uint16_t>(512 + 300 * std::sin((p * x + y) / 90.0));
        }
    return frame;
}

// Argument: the threads the colour stage takes.
void colour(benchmark::State& state, AVColorTransferCharacteristic transfer) {
    const picture::FramePtr frame = hdrFrame(transfer);
    picture::FrameConverter converter;
    converter.describeSource(AV_CODEC_ID_HEVC, 0.0);
    core::BgrImage out;
    for (auto _ : state) {
        converter.convert(*frame, 1920, 1080, 0, out, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(out.bytes.data());
    }
    state.SetItemsProcessed(state.iterations());
}

// Fine detail everywhere: every pixel of a 1080p picture differs from its neighbours.
core::BgrImage detailed() {
    core::BgrImage image = core::BgrImage::blank(1920, 1080);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width * 3; ++x)
            image.row(y)[x] = static_cast<std::uint8_t>((x * 7 + y * 13 + (x ^ y)) & 0xFF);
    return image;
}

void resize(benchmark::State& state, const char* size) {
    const core::BgrImage in = detailed();
    const core::SizeRequest request = core::SizeRequest::parse(size);
    const core::PixelShape::Size to = request.resolve(in.width, in.height, {});
    picture::PictureResampler resampler;
    core::BgrImage out;
    for (auto _ : state) {
        resampler.resample(in, to.width, to.height, out);
        benchmark::DoNotOptimize(out.bytes.data());
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(colour, hlg_1080p, AVCOL_TRC_ARIB_STD_B67)
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(colour, pq_1080p, AVCOL_TRC_SMPTE2084)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(colour, bt2020_sdr_1080p, AVCOL_TRC_BT2020_10)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(resize, half_1080p, "50%")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(resize, w320_1080p, "320x")->Unit(benchmark::kMillisecond);

} // namespace
