#include "cli/FrameWriter.h"

#include "cli/ExtractError.h"
#include "cli/JpegEncoder.h"
#include "cli/PngEncoder.h"
#include "cli/RawEncoder.h"
#include "core/AtomicFile.h"
#include "core/BmpWriter.h"
#include "core/Paths.h"

namespace cli {

namespace {

// A bitmap file's rows then leave in one piece.
std::vector<core::BgrImage> sparePictures(ImageFormat format, int count) {
    std::vector<core::BgrImage> pictures(static_cast<std::size_t>(count));
    for (core::BgrImage& picture : pictures)
        picture.bottomFirst = format == ImageFormat::Bmp;
    return pictures;
}

} // namespace

FrameWriter::FrameWriter(ImageFormat format, int pictures, WrittenCallback onWritten,
                         JpegOptions jpeg, Sender send)
    : format_(format), jpeg_(jpeg), onWritten_(std::move(onWritten)), send_(std::move(send)),
      spare_(sparePictures(format, pictures)),
      thread_([this](const std::stop_token& stop) { writeLoop(stop); }) {}

FrameWriter::~FrameWriter() {
    {
        // Only reached without finish() when the run is being abandoned.
        std::lock_guard lock(mutex_);
        pending_.clear();
    }
    thread_.request_stop();
    changed_.notify_all();
}

std::optional<core::BgrImage> FrameWriter::takePicture() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failure_ || !spare_.empty(); });
    if (failure_)
        return std::nullopt;
    core::BgrImage picture = std::move(spare_.back());
    spare_.pop_back();
    return picture;
}

void FrameWriter::submit(Job job) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(job));
    }
    changed_.notify_all();
}

void FrameWriter::finish() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return failure_ || (pending_.empty() && !busy_); });
    }
    thread_.request_stop();
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
    if (failure_)
        std::rethrow_exception(failure_);
}

void FrameWriter::writeLoop(const std::stop_token& stop) {
    while (std::optional<Job> job = nextJob(stop)) {
        const bool written = write(*job);
        // Reported before the writer counts as idle, so finish() returns with every file told.
        if (written && onWritten_)
            onWritten_(*job);
        {
            std::lock_guard lock(mutex_);
            busy_ = false;
            spare_.push_back(std::move(job->image));
        }
        changed_.notify_all();
    }
}

std::optional<FrameWriter::Job> FrameWriter::nextJob(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, stop, [this] { return failure_ || !pending_.empty(); });
    if (failure_ || pending_.empty())
        return std::nullopt;
    Job job = std::move(pending_.front());
    pending_.pop_front();
    busy_ = true;
    return job;
}

bool FrameWriter::write(const Job& job) {
    try {
        if (send_) {
            send_(job.frame, encode(job));
            return true;
        }
        const std::filesystem::path file = core::pathFromUtf8(job.fileName);
        if (format_ == ImageFormat::Bmp)
            core::writeBmpFile(file, job.image);
        else
            core::writeFileAtomically(file, encode(job), core::Durability::cached);
        return true;
    } catch (const std::exception& e) {
        std::lock_guard lock(mutex_);
        failure_ = std::make_exception_ptr(
            ExtractError("frame " + std::to_string(job.frame) + ": " + e.what(), job.frame));
        pending_.clear();
        return false;
    }
}

std::vector<std::uint8_t> FrameWriter::encode(const Job& job) const {
    const core::BgrImage& image = job.image;
    if (job.deep)
        return encodeDeepPng(*job.deep, job.coding);
    switch (format_) {
    case ImageFormat::Png:
        return encodePng(image);
    case ImageFormat::Jpeg:
        return encodeJpeg(image, jpeg_);
    case ImageFormat::Raw:
        return encodeRgb24(image);
    case ImageFormat::Bmp:
        break;
    }
    return core::encodeBmp(image);
}

} // namespace cli
