#include "cli/Extractor.h"

#include "cli/DecoderThreads.h"
#include "cli/ExtractError.h"
#include "cli/FrameWriter.h"
#include "cli/Manifest.h"
#include "cli/MovieTask.h"
#include "cli/PictureStream.h"
#include "cli/RunLog.h"
#include "cli/StopSignals.h"
#include "core/FolderCreation.h"
#include "core/FrameNaming.h"
#include "core/PathRules.h"
#include "core/Paths.h"
#include "media/Movie.h"

#include <exception>
#include <filesystem>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

namespace cli {

namespace {

// Two images in flight keep one decoding and one writing; a third absorbs jitter.
constexpr int picturesInFlight = 3;

} // namespace

Extractor::Damage Extractor::damageOf(const media::MovieError& error) {
    std::optional<std::int32_t> builtOn;
    if (error.dependsOn() >= 0)
        builtOn = error.dependsOn();
    return {error.what(), builtOn}; // names file and frame
}

Extractor::Extractor(const ExtractSettings& settings, RunLog& log)
    : settings_(settings), log_(log) {}

Extractor::~Extractor() = default;

void Extractor::run(MovieTask& task, PlanPiece piece) {
    decoding_ = settings_.decoding;
    decodingApplied_ = false;
    if (decoding_.decoderThreads == 0) {
        const std::span<const std::int32_t> frames(task.plan().frames());
        decoding_.decoderThreads = DecoderThreads::choose(
            {DecoderThreads::decodesPerSeek(frames.subspan(piece.begin, piece.end - piece.begin),
                                            task.keyFrames()),
             task.pictures().area, task.pictures().codec, settings_.coresPerJob});
    }
    // A folder that still does not exist afterwards makes the first file fail, with its name.
    if (!settings_.stream)
        core::forceDirectories(task.outDir(), core::PathRules::native());
    std::size_t index = piece.begin;
    while (index < piece.end) {
        index = writeFrom(task, index, piece.end);
        if (index < piece.end && settings_.keepGoing && !stopping() &&
            !task.isPastFailure(task.plan().frame(static_cast<std::int32_t>(index))))
            continue;
        break;
    }
}

std::size_t Extractor::writeFrom(MovieTask& task, std::size_t index, std::size_t end) {
    // Files of pictures from frame threads may still be taken back (rewriteSteadily): they are
    // told once the stretch is settled. Filled by the writer's thread until finish().
    std::vector<std::int32_t> heldBack;
    FrameWriter writer = writerFor(task, [this, &task, &heldBack](const FrameWriter::Job& job) {
        task.fileWritten(job.frame);
        log_.fileWritten();
        if (job.steady)
            tellWritten(task, job.frame);
        else
            heldBack.push_back(job.frame);
    });
    std::optional<Damage> damage;
    std::optional<std::uint64_t> mark;  // the movie's complaints before its first picture here
    std::vector<std::int32_t> threaded; // frames whose pictures came from frame threads
    for (; index < end; ++index) {
        const std::int32_t frame = task.plan().frame(static_cast<std::int32_t>(index));
        if (stopping() || task.isPastFailure(frame))
            break;
        if (keepsExistingFile(task, frame))
            continue;
        std::optional<core::BgrImage> picture = writer.takePicture();
        if (!picture)
            break; // the writer failed; finish() reports it
        bool steady = true;
        try {
            media::Movie& movie = movieOf(task);
            if (!mark)
                mark = movie.complaints();
            movie.frameInto(frame, *picture);
            steady = !movie.decodesOnFrameThreads();
            if (!steady)
                threaded.push_back(frame);
        } catch (const media::MovieError& e) {
            if (e.kind() == media::MovieError::Kind::Stopped)
                break; // a signal cut a long decode short: the movie itself is sound
            damage = damageOf(e);
        } catch (const std::exception& e) {
            damage = Damage{damageText(task, frame, e), std::nullopt};
        }
        if (damage) {
            if (!settings_.keepGoing) {
                task.fail(frame, damage->reason);
                tell(task, frame, {FrameOutcome::Status::Damaged, {}, damage->reason});
            }
            break;
        }
        writer.submit(jobFor(task, frame, std::move(*picture), steady));
    }
    bool writerFailed = false;
    try {
        writer.finish();
        if (!threaded.empty() && movie_->complainedSince(*mark)) {
            rewriteSteadily(task, threaded);
            heldBack.clear(); // told by rewriteSteadily
        }
    } catch (const ExtractError& e) {
        task.fail(e.frame(), task.name() + ": " + e.what());
        writerFailed = true;
    }
    for (const std::int32_t frame : heldBack)
        tellWritten(task, frame);
    if (writerFailed)
        return end;
    if (damage && settings_.keepGoing)
        return skipDamaged(task, index, end, *damage);
    return index;
}

// A complaint may come after frame threads handed out pictures that lean on what it was about,
// and those threads conceal damage differently from run to run: the pictures are decoded
// again on the one thread the movie has kept since, and written over the files made of them.
void Extractor::rewriteSteadily(MovieTask& task, const std::vector<std::int32_t>& frames) {
    FrameWriter writer = writerFor(
        task, [this, &task](const FrameWriter::Job& job) { tellWritten(task, job.frame); });
    std::int32_t trustedFrom = 0; // past a damaged frame: the next key frame
    std::int32_t damagedFrame = 0;
    for (const std::int32_t frame : frames) {
        if (stopping())
            break;
        if (frame < trustedFrom) {
            discardFile(task, frame);
            skipDependant(task, frame, damagedFrame);
            continue;
        }
        std::optional<core::BgrImage> picture = writer.takePicture();
        if (!picture)
            break;
        std::optional<Damage> damage;
        try {
            movie_->frameInto(frame, *picture);
        } catch (const media::MovieError& e) {
            if (e.kind() == media::MovieError::Kind::Stopped)
                break;
            damage = damageOf(e);
        } catch (const std::exception& e) {
            damage = Damage{damageText(task, frame, e), std::nullopt};
        }
        if (!damage) {
            writer.submit(jobFor(task, frame, std::move(*picture), true));
            continue;
        }
        discardFile(task, frame);
        if (!settings_.keepGoing) {
            task.fail(frame, damage->reason);
            tell(task, frame, {FrameOutcome::Status::Damaged, {}, damage->reason});
            break;
        }
        damagedFrame = reportDamage(task, frame, *damage);
        trustedFrom = task.nextKeyFrameAfter(frame);
    }
    writer.finish();
}

void Extractor::discardFile(const MovieTask& task, std::int32_t frame) {
    std::error_code ignored;
    if (std::filesystem::remove(core::pathFromUtf8(fileNameFor(task, frame)), ignored))
        log_.fileWithdrawn();
}

void Extractor::reportDamaged(MovieTask& task, std::int32_t frame, const std::string& reason) {
    log_.message(reason);
    task.frameMissing();
    tell(task, frame, {FrameOutcome::Status::Damaged, {}, reason});
}

void Extractor::skipDependant(MovieTask& task, std::int32_t frame, std::int32_t damaged) {
    const std::string reason = "it depends on the damaged frame " + std::to_string(damaged);
    log_.message(task.name() + ": frame " + std::to_string(frame) + ": skipped: " + reason);
    task.frameMissing();
    tell(task, frame, {FrameOutcome::Status::Skipped, {}, reason});
}

void Extractor::tell(const MovieTask& task, std::int32_t frame, FrameOutcome outcome) {
    if (settings_.stream && outcome.status != FrameOutcome::Status::Written)
        settings_.stream->pass(task, frame);
    if (settings_.manifest)
        settings_.manifest->tell(task, frame, std::move(outcome));
}

void Extractor::tellWritten(const MovieTask& task, std::int32_t frame) {
    tell(task, frame,
         {FrameOutcome::Status::Written, settings_.stream ? "-" : fileNameFor(task, frame), {}});
}

bool Extractor::keepsExistingFile(const MovieTask& task, std::int32_t frame) {
    if (!settings_.skipExisting)
        return false;
    const std::string name = fileNameFor(task, frame);
    std::error_code error;
    if (!std::filesystem::is_regular_file(core::pathFromUtf8(name), error))
        return false;
    log_.fileKept();
    tell(task, frame, {FrameOutcome::Status::Exists, name, "the file is already there"});
    return true;
}

std::string Extractor::damageText(const MovieTask& task, std::int32_t frame,
                                  const std::exception& e) {
    return task.name() + ": frame " + std::to_string(frame) + ": " + e.what();
}

std::int32_t Extractor::reportDamage(MovieTask& task, std::int32_t frame, const Damage& damage) {
    if (!damage.builtOn) {
        reportDamaged(task, frame, damage.reason);
        return frame;
    }
    skipDependant(task, frame, *damage.builtOn);
    return *damage.builtOn;
}

std::size_t Extractor::skipDamaged(MovieTask& task, std::size_t index, std::size_t end,
                                   const Damage& damage) {
    // A fetch that met the damaged frame on its way reports the frame asked for in the words
    // a run through the damaged frame uses.
    const std::int32_t first = task.plan().frame(static_cast<std::int32_t>(index));
    const std::int32_t damaged = reportDamage(task, first, damage);
    // Pictures up to the next key frame may lean on the damaged one: none of them is trusted.
    const std::int32_t restart = task.nextKeyFrameAfter(first);
    for (++index; index < end && task.plan().frame(static_cast<std::int32_t>(index)) < restart;
         ++index)
        skipDependant(task, task.plan().frame(static_cast<std::int32_t>(index)), damaged);
    movie_.reset(); // a decoder that failed starts afresh
    return index;
}

media::Movie& Extractor::movieOf(MovieTask& task) {
    if (!movie_ || movieTask_ != &task) {
        movie_.reset();
        movie_ = task.takeOpened();
        if (!movie_) {
            movie_ = std::make_unique<media::Movie>(task.file(), decoding_, picturesFor(task),
                                                    task.index());
            decodingApplied_ = true;
        }
        movieTask_ = &task;
    }
    if (!decodingApplied_) {
        movie_->changeOptions(decoding_); // a new decoder only for another thread count
        movie_->changePictures(picturesFor(task));
        decodingApplied_ = true;
    }
    return *movie_;
}

FrameWriter Extractor::writerFor(const MovieTask& task, FrameWriter::WrittenCallback onWritten) {
    FrameWriter::Sender send;
    if (PictureStream* stream = settings_.stream)
        send = [stream, &task](std::int32_t frame, std::vector<std::uint8_t> bytes) {
            stream->send(task, frame, std::move(bytes));
        };
    return FrameWriter(settings_.format, picturesInFlight, std::move(onWritten),
                       JpegOptions{settings_.jpegQuality}, std::move(send));
}

picture::PictureOptions Extractor::picturesFor(const MovieTask& task) {
    picture::PictureOptions pictures = settings_.pictures;
    if (task.pictures().deep) {
        if (!deep_)
            deep_ = std::make_shared<picture::DeepPicture>();
        pictures.deep = deep_;
    }
    return pictures;
}

FrameWriter::Job Extractor::jobFor(const MovieTask& task, std::int32_t frame,
                                   core::BgrImage picture, bool steady) {
    FrameWriter::Job job{fileNameFor(task, frame), frame, std::move(picture), steady};
    if (task.pictures().deep) {
        job.deep = std::make_shared<picture::DeepPicture>(std::move(*deep_));
        job.coding = task.pictures().coding;
    }
    return job;
}

bool Extractor::stopping() const {
    return StopSignals::received() != 0 || (settings_.stream && settings_.stream->closed());
}

std::string Extractor::fileNameFor(const MovieTask& task, std::int32_t frame) const {
    return outputFileName(task, frame, settings_.format);
}

std::string outputFileName(const MovieTask& task, std::int32_t frame, ImageFormat format) {
    const std::string_view extension = format == ImageFormat::Png    ? "png"
                                       : format == ImageFormat::Jpeg ? "jpg"
                                       : format == ImageFormat::Raw  ? "rgb"
                                                                     : "bmp";
    if (const std::optional<core::NamePattern>& names = task.names()) {
        const core::PathRules rules = core::PathRules::native();
        const std::string movie =
            core::extractFileName(core::changeFileExt(task.name(), "", rules), rules);
        const std::int32_t index = task.plan().indexOf(frame);
        const std::string name =
            task.outDir() + "/" +
            names->expand({movie, frame, task.plan().milliseconds(index), index + 1});
        // A pattern ending in a format's extension chose the format by it: it is the file's.
        return imageFormatNamed(names->extension()) ? name : name + "." + std::string(extension);
    }
    std::string name =
        core::outputFileName(task.outDir(), task.name(), frame, core::PathRules::native());
    return name.replace(name.size() - 3, 3, extension);
}

} // namespace cli
