#pragma once

#include "core/BgrImage.h"
#include "core/PixelShape.h"
#include "picture/Deinterlacer.h"
#include "picture/FrameConverter.h"
#include "picture/PictureOptions.h"
#include "picture/PictureOrientation.h"

#include <memory>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace picture {

class DeepConverter;
class PictureResampler;

// What the chain needs to know of the pictures a movie's decoder gives.
struct SourcePictures {
    int width = 0; // as stored
    int height = 0;
    int frameCount = 0;    // the deinterlacer's neighbours end there
    int paletteSize = 256; // palette entries a palettised picture hands on
    AVCodecID codec = AV_CODEC_ID_NONE;
    double peak = 0.0; // cd/m²: the most light the stream says it holds; 0 when it does not say
};

// Every stage a decoded picture passes through, in this order: deinterlacing → conversion to
// BGR with the stream's matrix and range (or a sketch of it) → colour to BT.709 primaries, HDR
// tone-mapped to SDR → the display matrix's turn and mirror → a resize (square pixels, or the
// size asked for). A stage that does not apply costs nothing.
class PictureChain {
public:
    using Neighbour = Deinterlacer::Neighbour;

    PictureChain(const SourcePictures& source, const PictureOptions& options);
    ~PictureChain();
    PictureChain(PictureChain&&) noexcept;
    PictureChain& operator=(PictureChain&&) noexcept;

    const PictureOptions& options() const { return options_; }
    void setOptions(const PictureOptions& options) { options_ = options; }

    // The shape of the pixels in the orientation the pictures are given, before any stretch;
    // the size shown then with square pixels; and the size the pictures are given at.
    core::PixelShape shownAspect(PictureOrientation orientation, core::PixelShape stored) const;
    core::PixelShape::Size squareSize(PictureOrientation orientation,
                                      core::PixelShape stored) const;
    core::PixelShape::Size outputSize(PictureOrientation orientation,
                                      core::PixelShape stored) const;

    // Frame `frame` as asked, from `decoded`, the decoder's picture of it (nullptr: a frame
    // before the movie's first picture, shown black). `neighbour` gives the decoded frames
    // beside it to the deinterlacer; its filter and the colour stage take `threads`. Throws
    // SizeError for a size no picture can have, std::runtime_error when a stage fails.
    void render(int frame, const AVFrame* decoded, const Neighbour& neighbour, int threads,
                PictureOrientation orientation, core::PixelShape storedAspect, core::BgrImage& out);

private:
    core::PixelShape::Size turnedSize(PictureOrientation orientation) const;
    void convert(int frame, const AVFrame* decoded, const Neighbour& neighbour, int threads,
                 core::BgrImage& out);
    void resize(core::BgrImage& out);
    void renderDeep(int frame, const AVFrame* decoded, const Neighbour& neighbour, int threads,
                    PictureOrientation orientation, core::PixelShape storedAspect);
    PictureResampler& resampler();

    SourcePictures source_;
    PictureOptions options_;
    Deinterlacer deinterlacer_;
    FrameConverter converter_;
    core::BgrImage stored_; // a picture before its turn or stretch
    std::unique_ptr<PictureResampler> resampler_;
    std::unique_ptr<DeepConverter> deepConverter_;
};

} // namespace picture
