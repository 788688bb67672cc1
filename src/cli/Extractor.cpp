#include "cli/Extractor.h"

#include "cli/ExtractError.h"
#include "cli/FramePlan.h"
#include "cli/FrameWriter.h"
#include "cli/ProgressLine.h"
#include "core/FolderCreation.h"
#include "core/FrameNaming.h"
#include "core/PathRules.h"
#include "media/Movie.h"

#include <exception>
#include <utility>

namespace cli {

namespace {

// Two images in flight keep one decoding and one writing; a third absorbs jitter.
constexpr int picturesInFlight = 3;

} // namespace

Extractor::Extractor(media::Movie& movie, std::string sourceName, std::string outDir)
    : movie_(movie), sourceName_(std::move(sourceName)), outDir_(std::move(outDir)) {}

void Extractor::run(const FramePlan& plan, ProgressLine& progress) {
    // A folder that still does not exist afterwards makes the first file fail, with its name.
    core::forceDirectories(outDir_, core::PathRules::native());

    FrameWriter writer(picturesInFlight, [&progress](std::int32_t n) { progress.update(n); });
    std::exception_ptr readFailure;
    for (std::int32_t index = 0; index < plan.count(); ++index) {
        std::optional<core::BgrImage> picture = writer.takePicture();
        if (!picture)
            break; // the writer failed; finish() reports it
        const std::int32_t frame = plan.frame(index);
        try {
            movie_.frameInto(frame, *picture);
        } catch (const media::MovieError& e) {
            readFailure = std::make_exception_ptr(ExtractError(e.what())); // names file and frame
            break;
        } catch (const std::exception& e) {
            readFailure = std::make_exception_ptr(
                ExtractError(sourceName_ + ": frame " + std::to_string(frame) + ": " + e.what()));
            break;
        }
        writer.submit({fileNameFor(frame), frame, std::move(*picture)});
    }
    // Earlier frames come first: a failed write outranks a read failure of a later frame.
    writer.finish();
    if (readFailure)
        std::rethrow_exception(readFailure);
}

std::string Extractor::fileNameFor(std::int32_t frame) const {
    return core::outputFileName(outDir_, sourceName_, frame, core::PathRules::native());
}

} // namespace cli
