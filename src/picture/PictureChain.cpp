#include "picture/PictureChain.h"

#include "picture/DeepConverter.h"
#include "picture/PictureResampler.h"
#include "picture/SizeError.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace picture {

PictureChain::PictureChain(const SourcePictures& source, const PictureOptions& options)
    : source_(source), options_(options) {
    converter_.describeSource(source.codec, source.peak);
}

PictureChain::~PictureChain() = default;
PictureChain::PictureChain(PictureChain&&) noexcept = default;
PictureChain& PictureChain::operator=(PictureChain&&) noexcept = default;

core::PixelShape PictureChain::shownAspect(PictureOrientation orientation,
                                           core::PixelShape stored) const {
    return !options_.storedOrientation && orientation.swapsSides() ? stored.turned() : stored;
}

core::PixelShape::Size PictureChain::turnedSize(PictureOrientation orientation) const {
    if (!options_.storedOrientation && orientation.swapsSides())
        return {source_.height, source_.width};
    return {source_.width, source_.height};
}

core::PixelShape::Size PictureChain::squareSize(PictureOrientation orientation,
                                                core::PixelShape stored) const {
    const core::PixelShape::Size turned = turnedSize(orientation);
    return shownAspect(orientation, stored).squareSize(turned.width, turned.height);
}

core::PixelShape::Size PictureChain::outputSize(PictureOrientation orientation,
                                                core::PixelShape stored) const {
    if (options_.size) {
        const core::PixelShape::Size turned = turnedSize(orientation);
        return options_.size->resolve(turned.width, turned.height,
                                      shownAspect(orientation, stored));
    }
    return options_.squarePixels ? squareSize(orientation, stored) : turnedSize(orientation);
}

// Each step only where it changes the picture: a movie shown as stored costs no copy.
void PictureChain::render(int frame, const AVFrame* decoded, const Neighbour& neighbour,
                          int threads, PictureOrientation orientation,
                          core::PixelShape storedAspect, core::BgrImage& out) {
    if (options_.deep) {
        renderDeep(frame, decoded, neighbour, threads, orientation, storedAspect);
        return;
    }
    convert(frame, decoded, neighbour, threads, out);
    out.sampleAspect = storedAspect;
    if (!options_.storedOrientation && !orientation.isUpright()) {
        std::swap(out, stored_);
        orientation.apply(stored_, out);
    }
    if (options_.size) {
        resize(out);
    } else if (options_.squarePixels && !out.sampleAspect.isSquare()) {
        const core::PixelShape::Size size = out.sampleAspect.squareSize(out.width, out.height);
        std::swap(out, stored_);
        resampler().resample(stored_, size.width, size.height, out);
    }
}

void PictureChain::renderDeep(int frame, const AVFrame* decoded, const Neighbour& neighbour,
                              int threads, PictureOrientation orientation,
                              core::PixelShape storedAspect) {
    if (!options_.storedOrientation && !orientation.isUpright())
        throw std::runtime_error("16-bit pictures are written as stored, and this movie's display "
                                 "matrix turns or mirrors its pictures: write them as stored "
                                 "(--no-autorotate)");
    if (decoded == nullptr) { // before the movie's first picture: black
        *options_.deep = DeepPicture{};
        options_.deep->width = source_.width;
        options_.deep->height = source_.height;
        options_.deep->rgb.assign(static_cast<std::size_t>(source_.width) * source_.height * 3, 0);
        return;
    }
    if (!deepConverter_)
        deepConverter_ = std::make_unique<DeepConverter>();
    const AVFrame& shown =
        options_.deinterlace
            ? deinterlacer_.deinterlace(frame, *decoded, source_.frameCount, neighbour, threads)
            : *decoded;
    deepConverter_->convert(shown, source_.codec, *options_.deep);
    options_.deep->sampleAspect = storedAspect;
}

void PictureChain::convert(int frame, const AVFrame* decoded, const Neighbour& neighbour,
                           int threads, core::BgrImage& out) {
    const int width = options_.sketchWidth > 0 ? options_.sketchWidth : source_.width;
    const int height = options_.sketchWidth > 0
                           ? options_.sketchHeight(source_.width, source_.height)
                           : source_.height;
    if (decoded == nullptr) {
        out = core::BgrImage::blank(width, height);
        return;
    }
    const AVFrame& shown =
        options_.deinterlace
            ? deinterlacer_.deinterlace(frame, *decoded, source_.frameCount, neighbour, threads)
            : *decoded;
    converter_.convert(shown, width, height, source_.paletteSize, out, threads);
}

// One resampling from the picture as turned to the size asked for: the stretch to square pixels
// is part of it.
void PictureChain::resize(core::BgrImage& out) {
    const core::PixelShape::Size size =
        options_.size->resolve(out.width, out.height, out.sampleAspect);
    if (size.width > core::SizeRequest::largest || size.height > core::SizeRequest::largest)
        throw SizeError("the size asked for, " + std::to_string(size.width) + " x " +
                        std::to_string(size.height) + ", is over " +
                        std::to_string(core::SizeRequest::largest) + " pixels a side");
    const core::PixelShape shape =
        options_.size->shapeAfter(out.width, out.height, out.sampleAspect);
    if (size.width != out.width || size.height != out.height) {
        std::swap(out, stored_);
        resampler().resample(stored_, size.width, size.height, out);
    }
    out.sampleAspect = shape;
}

PictureResampler& PictureChain::resampler() {
    if (!resampler_)
        resampler_ = std::make_unique<PictureResampler>();
    return *resampler_;
}

} // namespace picture
