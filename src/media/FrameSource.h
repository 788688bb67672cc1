#pragma once

#include "media/FrameRecord.h"
#include "media/MovieOptions.h"
#include "media/StreamFacts.h"
#include "picture/PictureOrientation.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

extern "C" {
struct AVFrame;
}

namespace media {

class FrameDecoder;
class FrameIndex;

// A movie's frames by number, whatever holds them: the engines behind Movie. They demux, decode
// and number frames, and hand out decoded pictures; what becomes of a picture after is not
// theirs to know.
class FrameSource {
public:
    virtual ~FrameSource() = default;

    virtual int frameCount() const = 0;
    virtual double frameRate() const = 0;
    virtual const std::filesystem::path& file() const = 0;
    // The stream's size, pixel shape, colours and codec, as read when it opened.
    virtual const StreamFacts& facts() const = 0;
    // The palette entries a palettised picture hands on.
    virtual int paletteSize() const { return 256; }
    virtual std::string containerName() const = 0;
    virtual int claimedFrameCount() const = 0;
    virtual bool isTruncated() const = 0;
    virtual int repairedTimeStamps() const { return 0; }
    virtual int lostStretches() const { return 0; }
    virtual std::vector<FrameRecord> frameTable() const = 0;
    // How the pictures are meant to be shown: turned by the display matrix the pictures decoded
    // last carried, or else the stream's.
    virtual picture::PictureOrientation orientation() const = 0;
    // The decoder's picture of frame n, valid until the next fetch; nullptr for a frame shown
    // black (one before the movie's first picture). Throws MovieError.
    virtual const AVFrame* decoded(int n) = 0;
    // Decodes from now on as `options` say.
    virtual void changeOptions(const MovieOptions& options) = 0;
    // The decoding it shares with the other engine: threads, complaints, neighbours.
    virtual FrameDecoder& frames() = 0;
    virtual const FrameDecoder& frames() const = 0;
    // The index another reader of the file may share; none where reading it costs nothing.
    virtual std::shared_ptr<const FrameIndex> sharedIndex() const { return nullptr; }
};

} // namespace media
