#include "MovieSettings.h"

#include "core/SizeRequest.h"

#include <stdexcept>

namespace kirimo {

void MovieSettings::check() const {
    if (threads < 0)
        throw std::invalid_argument("threads must be 0 (as many as the machine has) or more, not " +
                                    std::to_string(threads));
    if (stream < -1)
        throw std::invalid_argument("stream must be 0 or more, not " + std::to_string(stream));
    layout();
    pictureOptions();
}

media::MovieOptions MovieSettings::movieOptions() const {
    return media::MovieOptions{.decoderThreads = threads, .stream = stream};
}

picture::PictureOptions MovieSettings::pictureOptions() const {
    return picture::PictureOptions{.storedOrientation = !autorotate,
                                   .squarePixels = squarePixels,
                                   .deinterlace = deinterlace,
                                   .size = size ? std::optional(core::SizeRequest::parse(*size))
                                                : std::nullopt};
}

} // namespace kirimo
