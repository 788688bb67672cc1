#include "player/FrameImage.h"

#include "core/BgrImage.h"
#include "core/Error.h"

namespace player {

QImage toQImage(const core::BgrImage& frame) {
    if (frame.width <= 0 || frame.height <= 0)
        return {};
    if (frame.bytes.size() / static_cast<std::size_t>(frame.stride()) <
        static_cast<std::size_t>(frame.height))
        throw core::Error("the frame's picture data is shorter than its size");
    // BGR byte order is Qt's BGR888; the converter copies into a picture of our own.
    const QImage view(frame.bytes.data(), frame.width, frame.height, frame.stride(),
                      QImage::Format_BGR888);
    const QImage upright = frame.bottomFirst ? view.mirrored(false, true) : view;
    return upright.convertToFormat(QImage::Format_RGB32);
}

} // namespace player
