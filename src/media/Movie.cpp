#include "media/Movie.h"

#include "media/AviMovie.h"
#include "media/ContainerDemuxer.h"
#include "media/ContainerMovie.h"

#include <exception>
#include <new>
#include <utility>

namespace media {

Movie::Movie(const std::filesystem::path& file, MovieOptions options)
    : opened_(FileVersion::of(file)) {
    // AVI files keep their own engine (slot numbering, empty chunks repeat a picture); so do
    // files no demuxer recognises, which it reports on.
    InputContextPtr input = ContainerDemuxer::tryOpen(file);
    if (input && !ContainerDemuxer::isAvi(*input))
        source_ = std::make_unique<ContainerMovie>(file, std::move(input), options);
    else
        source_ = std::make_unique<AviMovie>(file, options);
}
Movie::~Movie() = default;
Movie::Movie(Movie&&) noexcept = default;
Movie& Movie::operator=(Movie&&) noexcept = default;

int Movie::frameCount() const {
    return source_->frameCount();
}
int Movie::width() const {
    return source_->width();
}
int Movie::height() const {
    return source_->height();
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
std::vector<FrameRecord> Movie::frameTable() const {
    return source_->frameTable();
}

core::BgrImage Movie::frame(int n) {
    core::BgrImage image;
    frameInto(n, image);
    return image;
}

void Movie::changeOptions(const MovieOptions& options) {
    source_->changeOptions(options);
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
    } catch (const MovieError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& error) {
        throw MovieError(file(), n, error.what());
    }
}

} // namespace media
