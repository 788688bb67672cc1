#include "media/Movie.h"

#include "media/AviMovie.h"
#include "media/ContainerDemuxer.h"
#include "media/ContainerMovie.h"
#include "media/PictureResampler.h"

#include <exception>
#include <new>
#include <utility>

namespace media {

Movie::Movie(const std::filesystem::path& file, MovieOptions options)
    : Movie(file, std::move(options), nullptr) {}

Movie::Movie(const std::filesystem::path& file, MovieOptions options,
             std::shared_ptr<const MovieIndex> index)
    : opened_(FileVersion::of(file)) {
    std::shared_ptr<const FrameIndex> frames;
    if (index && opened_ && index->version == *opened_)
        frames = index->frames;
    // AVI files keep their own engine (slot numbering, empty chunks repeat a picture); so do
    // files no demuxer recognises, which it reports on.
    InputContextPtr input = ContainerDemuxer::tryOpen(file);
    if (input && !ContainerDemuxer::isAvi(*input))
        source_ = std::make_unique<ContainerMovie>(file, std::move(input), options, frames);
    else
        source_ = std::make_unique<AviMovie>(file, options);
    takeOptions(options);
}

std::shared_ptr<const MovieIndex> Movie::index() const {
    std::shared_ptr<const FrameIndex> frames = source_->sharedIndex();
    if (!frames || !opened_)
        return nullptr;
    return std::make_shared<const MovieIndex>(MovieIndex{*opened_, std::move(frames)});
}
Movie::~Movie() = default;
Movie::Movie(Movie&&) noexcept = default;
Movie& Movie::operator=(Movie&&) noexcept = default;

int Movie::frameCount() const {
    return source_->frameCount();
}
int Movie::width() const {
    return writtenSize().width;
}
int Movie::height() const {
    return writtenSize().height;
}
core::PixelShape::Size Movie::writtenSize() const {
    if (size_) {
        const core::PixelShape::Size turned = turnedSize();
        return size_->resolve(turned.width, turned.height, sampleAspect());
    }
    return squarePixels_ ? squareSize() : turnedSize();
}
PictureOrientation Movie::orientation() const {
    return source_->orientation();
}
core::PixelShape Movie::sampleAspect() const {
    const core::PixelShape stored = source_->sampleAspect();
    return !storedOrientation_ && orientation().swapsSides() ? stored.turned() : stored;
}
core::PixelShape::Size Movie::squareSize() const {
    const core::PixelShape::Size turned = turnedSize();
    return sampleAspect().squareSize(turned.width, turned.height);
}
core::PixelShape::Size Movie::turnedSize() const {
    if (!storedOrientation_ && orientation().swapsSides())
        return {source_->height(), source_->width()};
    return {source_->width(), source_->height()};
}
double Movie::frameRate() const {
    return source_->frameRate();
}
const std::filesystem::path& Movie::file() const {
    return source_->file();
}
bool Movie::isPalettised() const {
    return source_->isPalettised();
}

PictureColour Movie::colour() const {
    return source_->colour();
}

std::string Movie::containerName() const {
    return source_->containerName();
}
std::string Movie::codecName() const {
    return source_->codecName();
}
int Movie::claimedFrameCount() const {
    return source_->claimedFrameCount();
}
bool Movie::isTruncated() const {
    return source_->isTruncated();
}
int Movie::repairedTimeStamps() const {
    return source_->repairedTimeStamps();
}
int Movie::lostStretches() const {
    return source_->lostStretches();
}
std::vector<FrameRecord> Movie::frameTable() const {
    return source_->frameTable();
}

core::BgrImage Movie::frame(int n) {
    core::BgrImage image;
    frameInto(n, image);
    return image;
}

std::uint64_t Movie::complaints() const {
    return source_->complaints();
}

bool Movie::complainedSince(std::uint64_t mark) {
    return source_->complainedSince(mark);
}

bool Movie::decodesOnFrameThreads() const {
    return source_->decodesOnFrameThreads();
}

void Movie::changeOptions(const MovieOptions& options) {
    source_->changeOptions(options);
    takeOptions(options);
}

void Movie::takeOptions(const MovieOptions& options) {
    storedOrientation_ = options.storedOrientation;
    squarePixels_ = options.squarePixels;
    size_ = options.size;
}

void Movie::frameInto(int n, core::BgrImage& out) {
    // Another program may rewrite the file while it is open; its frames would then be read
    // through the old index, each a wrong picture that looks right.
    if (n >= 0 && n < frameCount()) {
        const std::optional<FileVersion> now = FileVersion::of(file());
        if (now && now != opened_)
            throw MovieError(file(), n, "the file has changed since it was opened");
    }
    try {
        source_->frameInto(n, out);
        showAsAsked(out);
    } catch (const MovieError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& error) {
        throw MovieError(file(), n, error.what());
    }
}

// Each step only where it changes the picture: a movie shown as stored costs no copy.
void Movie::showAsAsked(core::BgrImage& out) {
    const PictureOrientation orientation = source_->orientation();
    out.sampleAspect = source_->sampleAspect();
    if (!storedOrientation_ && !orientation.isUpright()) {
        std::swap(out, stored_);
        orientation.apply(stored_, out);
    }
    if (size_) {
        resize(out);
    } else if (squarePixels_ && !out.sampleAspect.isSquare()) {
        const core::PixelShape::Size size = out.sampleAspect.squareSize(out.width, out.height);
        if (!resampler_)
            resampler_ = std::make_unique<PictureResampler>();
        std::swap(out, stored_);
        resampler_->resample(stored_, size.width, size.height, out);
    }
}

// One resampling from the picture as turned to the size asked for: the stretch to square pixels
// is part of it.
void Movie::resize(core::BgrImage& out) {
    const core::PixelShape::Size size = size_->resolve(out.width, out.height, out.sampleAspect);
    if (size.width > core::SizeRequest::largest || size.height > core::SizeRequest::largest)
        throw MovieError(file(), "the size asked for, " + std::to_string(size.width) + " x " +
                                     std::to_string(size.height) + ", is over " +
                                     std::to_string(core::SizeRequest::largest) + " pixels a side");
    const core::PixelShape shape = size_->shapeAfter(out.width, out.height, out.sampleAspect);
    if (size.width != out.width || size.height != out.height) {
        if (!resampler_)
            resampler_ = std::make_unique<PictureResampler>();
        std::swap(out, stored_);
        resampler_->resample(stored_, size.width, size.height, out);
    }
    out.sampleAspect = shape;
}

} // namespace media
