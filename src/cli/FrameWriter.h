#pragma once

#include "cli/ExtractOptions.h"
#include "cli/JpegEncoder.h"
#include "cli/PngEncoder.h"
#include "core/BgrImage.h"
#include "picture/DeepPicture.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace cli {

// Writes BMP or PNG files on a thread of its own while the caller decodes the next frame. Files are
// written in the order submitted; after the first failure nothing more is written.
class FrameWriter {
public:
    struct Job {
        std::string fileName; // UTF-8, as shown in messages
        std::int32_t frame = 0;
        core::BgrImage image;
        bool steady = true; // false: decoded on frame threads, maybe decoded again later
        // Set: the picture at 16 bits a channel, written in place of `image`.
        std::shared_ptr<const picture::DeepPicture> deep = nullptr;
        std::optional<CodingPoints> coding = std::nullopt;
    };
    // Called once the file is in place under its name.
    using WrittenCallback = std::function<void(const Job& job)>;
    // Takes a picture's encoded bytes instead of a file being written.
    using Sender = std::function<void(std::int32_t frame, std::vector<std::uint8_t> bytes)>;

    // `pictures` images circulate between the caller and the writer.
    FrameWriter(ImageFormat format, int pictures, WrittenCallback onWritten, JpegOptions jpeg = {},
                Sender send = {});
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // An image to decode into (waits for one to come back from the writer); nullopt once
    // writing has failed.
    std::optional<core::BgrImage> takePicture();
    void submit(Job job);
    // Waits until every submitted file is written; throws ExtractError for the first failure.
    void finish();

private:
    void writeLoop(const std::stop_token& stop);
    std::optional<Job> nextJob(const std::stop_token& stop);
    bool write(const Job& job);
    std::vector<std::uint8_t> encode(const Job& job) const;

    ImageFormat format_;
    JpegOptions jpeg_;
    WrittenCallback onWritten_;
    Sender send_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<Job> pending_;
    std::vector<core::BgrImage> spare_;
    std::exception_ptr failure_;
    bool busy_ = false;
    std::jthread thread_; // last: starts once everything above exists
};

} // namespace cli
