#include "media/Movie.h"

#include "media/AviMovie.h"
#include "media/ContainerDemuxer.h"
#include "media/ContainerMovie.h"
#include "media/FrameDecoder.h"
#include "picture/SizeError.h"

#include <exception>
#include <new>
#include <utility>

namespace media {

Movie::Movie(const std::filesystem::path& file, MovieOptions options,
             picture::PictureOptions pictures)
    : Movie(file, std::move(options), std::move(pictures), nullptr) {}

Movie::Movie(const std::filesystem::path& file, MovieOptions options,
             picture::PictureOptions pictures, std::shared_ptr<const MovieIndex> index)
    : opened_(FileVersion::of(file)), source_(open(file, options, std::move(index), opened_)),
      chain_(source_->facts().pictures(source_->frameCount(), source_->paletteSize()), pictures) {}

std::unique_ptr<FrameSource> Movie::open(const std::filesystem::path& file,
                                         const MovieOptions& options,
                                         std::shared_ptr<const MovieIndex> index,
                                         const std::optional<FileVersion>& opened) {
    std::shared_ptr<const FrameIndex> frames;
    if (index && opened && index->version == *opened)
        frames = index->frames;
    // AVI files keep their own engine (slot numbering, empty chunks repeat a picture); so do
    // files no demuxer recognises, which it reports on.
    InputContextPtr input = ContainerDemuxer::tryOpen(file);
    if (input && !ContainerDemuxer::isAvi(*input))
        return std::make_unique<ContainerMovie>(file, std::move(input), options, frames);
    return std::make_unique<AviMovie>(file, options);
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
    return chain_.outputSize(orientation(), storedAspect()).width;
}
int Movie::height() const {
    return chain_.outputSize(orientation(), storedAspect()).height;
}
picture::PictureOrientation Movie::orientation() const {
    return source_->orientation();
}
core::PixelShape Movie::storedAspect() const {
    return source_->facts().sampleAspect;
}
core::PixelShape Movie::sampleAspect() const {
    return chain_.shownAspect(orientation(), storedAspect());
}
core::PixelShape::Size Movie::squareSize() const {
    return chain_.squareSize(orientation(), storedAspect());
}
double Movie::frameRate() const {
    return source_->frameRate();
}
const std::filesystem::path& Movie::file() const {
    return source_->file();
}
bool Movie::isPalettised() const {
    return source_->facts().palettised;
}
picture::PictureColour Movie::colour() const {
    return source_->facts().colour;
}
std::string Movie::containerName() const {
    return source_->containerName();
}
std::string Movie::codecName() const {
    return source_->facts().codecName();
}
std::string Movie::pixelFormatName() const {
    return source_->facts().pixelFormatName();
}
int Movie::bitDepth() const {
    return source_->facts().bitDepth;
}
std::string Movie::fieldOrderName() const {
    return source_->facts().fieldOrderName();
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
    return source_->frames().complaints();
}

bool Movie::complainedSince(std::uint64_t mark) {
    return source_->frames().complainedSince(mark);
}

bool Movie::decodesOnFrameThreads() const {
    return source_->frames().decodesOnFrameThreads();
}

void Movie::changeOptions(const MovieOptions& options) {
    source_->changeOptions(options);
}

void Movie::changePictures(const picture::PictureOptions& pictures) {
    chain_.setOptions(pictures);
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
        const AVFrame* decoded = source_->decoded(n);
        FrameDecoder& frames = source_->frames();
        chain_.render(
            n, decoded, [&frames](int k) { return frames.neighbour(k); }, frames.threads(),
            source_->orientation(), storedAspect(), out);
    } catch (const MovieError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const picture::SizeError& error) {
        throw MovieError(file(), error.what());
    } catch (const std::exception& error) {
        throw MovieError(file(), n, error.what());
    }
}

} // namespace media
