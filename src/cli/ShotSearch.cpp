#include "cli/ShotSearch.h"

#include "cli/FramePlan.h"
#include "cli/StopSignals.h"
#include "core/BgrImage.h"
#include "media/Movie.h"
#include "picture/PictureOptions.h"

namespace cli {

namespace {

// Enough for block means and colour shares, and small enough that the shrink costs little
// next to the decode.
constexpr int sketchWidth = 64;

} // namespace

std::vector<picture::ShotDetector::Shot> findShots(media::Movie& movie, const FramePlan& range,
                                                   int sensitivity, bool keepGoing) {
    // Every frame is decoded in order: decoder threads overlap them, and the pictures come out
    // already small, from a decode that needs not be fine.
    movie.changeOptions(
        media::MovieOptions{.decoderThreads = 0,
                            .stopRequested = [] { return StopSignals::received() != 0; },
                            .sketchOnly = true});
    movie.changePictures(picture::PictureOptions{.sketchWidth = sketchWidth});
    picture::ShotDetector detector(sensitivity, movie.frameRate());
    core::BgrImage picture;
    for (const std::int32_t frame : range.frames()) {
        try {
            movie.frameInto(frame, picture);
        } catch (const media::MovieError& e) {
            if (!keepGoing || e.kind() == media::MovieError::Kind::Stopped || picture.width == 0)
                throw;
        }
        detector.add(picture);
    }
    std::vector<picture::ShotDetector::Shot> shots = detector.finish();
    if (range.count() > 0)
        for (picture::ShotDetector::Shot& shot : shots)
            shot.frame = range.frame(shot.frame);
    return shots;
}

} // namespace cli
