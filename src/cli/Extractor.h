#pragma once

#include "cli/ExtractOptions.h"
#include "cli/FrameOutcome.h"
#include "cli/FrameWriter.h"
#include "cli/KeyFrameSplit.h"
#include "media/MovieOptions.h"
#include "picture/PictureOptions.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace media {
class Movie;
class MovieError;
} // namespace media

namespace core {
struct BgrImage;
}

namespace cli {

class Manifest;
class MovieTask;
class PictureStream;
class RunLog;

struct ExtractSettings {
    ImageFormat format = ImageFormat::Bmp;
    int jpegQuality = 92;
    bool keepGoing = false;
    media::MovieOptions decoding; // 0 decoder threads: chosen for each stretch
    picture::PictureOptions pictures;
    int coresPerJob = 1;
    Manifest* manifest = nullptr;    // told what became of each frame, when there is one
    bool skipExisting = false;       // a frame whose file is in place is not decoded again
    PictureStream* stream = nullptr; // the pictures go there rather than into files
};

// One job's decoder and writer: writes pieces of movies' plans, one piece at a time, keeping
// the movie open from one piece to the next.
class Extractor {
public:
    Extractor(const ExtractSettings& settings, RunLog& log);
    ~Extractor();
    Extractor(const Extractor&) = delete;
    Extractor& operator=(const Extractor&) = delete;

    // Failures end up in the task (and, with keepGoing, missing frames are reported and
    // counted); nothing is thrown. Stops early once a stop signal came.
    void run(MovieTask& task, PlanPiece piece);

private:
    // Writes frames from plan index `index` on; returns the index where it stopped.
    std::size_t writeFrom(MovieTask& task, std::size_t index, std::size_t end);
    // Why a frame was not written, and the damaged frame it is built on, if that is why.
    struct Damage {
        std::string reason;
        std::optional<std::int32_t> builtOn;
    };

    // Counts and reports the frame at `index` and those that depend on it, or on the damaged
    // frame it is built on; returns the index of the next frame worth decoding.
    std::size_t skipDamaged(MovieTask& task, std::size_t index, std::size_t end,
                            const Damage& damage);
    // Reports frame `frame` as damaged, or as built on the damaged frame it names; returns the
    // damaged frame.
    std::int32_t reportDamage(MovieTask& task, std::int32_t frame, const Damage& damage);
    void reportDamaged(MovieTask& task, std::int32_t frame, const std::string& reason);
    void skipDependant(MovieTask& task, std::int32_t frame, std::int32_t damaged);
    void rewriteSteadily(MovieTask& task, const std::vector<std::int32_t>& frames);
    void discardFile(const MovieTask& task, std::int32_t frame);
    void tell(const MovieTask& task, std::int32_t frame, FrameOutcome outcome);
    void tellWritten(const MovieTask& task, std::int32_t frame);
    // Our files are written whole and then renamed: one under its final name is complete.
    bool keepsExistingFile(const MovieTask& task, std::int32_t frame);
    static std::string damageText(const MovieTask& task, std::int32_t frame,
                                  const std::exception& e);
    static Damage damageOf(const media::MovieError& error);
    media::Movie& movieOf(MovieTask& task);
    // Writes files, or sends the pictures to the stream.
    FrameWriter writerFor(const MovieTask& task, FrameWriter::WrittenCallback onWritten);
    bool stopping() const;
    std::string fileNameFor(const MovieTask& task, std::int32_t frame) const;
    // The settings' pictures, at 16 bits a channel for a movie that asks for them.
    picture::PictureOptions picturesFor(const MovieTask& task);
    // The job of a picture just decoded: its 16-bit picture taken over when there is one.
    FrameWriter::Job jobFor(const MovieTask& task, std::int32_t frame, core::BgrImage picture,
                            bool steady);

    ExtractSettings settings_;
    media::MovieOptions decoding_; // the settings' options, threads chosen for the stretch
    bool decodingApplied_ = false; // the movie has been given them
    RunLog& log_;
    std::unique_ptr<media::Movie> movie_;
    const MovieTask* movieTask_ = nullptr;
    std::shared_ptr<picture::DeepPicture> deep_; // where the chain puts a 16-bit picture
};

// Where the picture of `frame` goes: DIR/<movie base>_NNNNN.bmp (or .png, .jpg).
std::string outputFileName(const MovieTask& task, std::int32_t frame, ImageFormat format);

} // namespace cli
