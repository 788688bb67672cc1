#pragma once

#include "media/FfmpegPtr.h"
#include "picture/PictureOrientation.h"

#include <filesystem>

namespace media {

class FfmpegLog;

// The decoder of one video stream, with threads where the codec has them.
class VideoDecoder {
public:
    // Throws MovieError when no decoder for the stream's codec is at hand.
    // threads: 0 for as many as the machine has. The decoder's complaints go to `log`.
    VideoDecoder(const AVStream& stream, const std::filesystem::path& file, int threads,
                 FfmpegLog& log);

    enum class Status { Frame, NeedsInput, Ended, Failed };

    // False when the decoder rejects the packet as damaged. nullptr starts the final drain.
    bool send(const AVPacket* packet);
    Status receive(AVFrame& frame);
    // Forgets every picture, ready for data from a new position (also after a drain).
    void flush();
    // Lets the decoder skip pictures no other picture refers to.
    void skipUnreferenced(bool skip);
    // Lets the decoder leave out its deblocking filter and take its fast shortcuts.
    void sketchOnly(bool sketch);

    // Every picture is coded on its own.
    bool isIntraOnly() const;
    // Frame threads hold pictures back: output lags input by several packets. They also
    // conceal damage differently from run to run, and lose the marks of it (FFmpeg 5).
    bool lagsBehind() const;
    // The decoder concealed damage in the picture or built it without its references.
    static bool isDamaged(const AVFrame& frame);
    // As the display matrix of the last picture that carried one says (such a matrix holds for
    // the pictures after it), or else the stream's.
    picture::PictureOrientation orientation() const { return orientation_; }

private:
    CodecContextPtr context_;
    picture::PictureOrientation orientation_;
};

} // namespace media
