#pragma once

#include "core/BgrImage.h"
#include "core/PixelShape.h"
#include "media/FileVersion.h"
#include "media/FrameRecord.h"
#include "media/MovieError.h"
#include "media/MovieIndex.h"
#include "media/MovieOptions.h"
#include "picture/PictureChain.h"
#include "picture/PictureColour.h"
#include "picture/PictureOptions.h"
#include "picture/PictureOrientation.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace media {

class FrameSource;

// A movie whose frames are fetched by number (0-based, display order) as 24-bit BGR
// pictures, turned upright as its display matrix says: an engine for its container, which
// decodes, joined to the picture stages, which make the picture asked for. Reading on from the
// last frame decodes on; a jump seeks to the key frame at or before the wanted one. Memory
// stays flat in the length of the movie.
class Movie {
public:
    // Throws MovieError.
    explicit Movie(const std::filesystem::path& file, MovieOptions options = {},
                   picture::PictureOptions pictures = {});
    // Opens the file with the index another Movie of it built (index()): no second pass over
    // the file. An index of another file version is not used.
    Movie(const std::filesystem::path& file, MovieOptions options, picture::PictureOptions pictures,
          std::shared_ptr<const MovieIndex> index);
    ~Movie();
    Movie(Movie&&) noexcept;
    Movie& operator=(Movie&&) noexcept;

    int frameCount() const;
    // The size of the pictures frame() gives: sides swapped by a quarter turn, stretched to
    // square pixels or resized when the options ask for it.
    int width() const;
    int height() const;
    // How the movie's display matrix turns its pictures, whether or not the options let it: a
    // matrix may come with the pictures rather than the stream, and is known once one of them
    // is decoded.
    picture::PictureOrientation orientation() const;
    // The shape of the pixels of the pictures in the orientation frame() gives them, before any
    // stretch to square pixels.
    core::PixelShape sampleAspect() const;
    // Their size with square pixels.
    core::PixelShape::Size squareSize() const;
    double frameRate() const;
    const std::filesystem::path& file() const;
    bool isPalettised() const;
    // The colour matrix, range, primaries and transfer, each declared or assumed.
    picture::PictureColour colour() const;
    // The demuxer's short name for the container ("avi") and the codec's ("mjpeg").
    std::string containerName() const;
    std::string codecName() const;
    // The pixel format the stream declares ("yuv420p" or "unknown"), the bits of a component in
    // it (0 when unknown), and the field shown first ("progressive", "tff", "bff", "unknown").
    std::string pixelFormatName() const;
    int bitDepth() const;
    std::string fieldOrderName() const;
    // The count the file's header promises (0 when it has none), and whether the data ends
    // before that: frameCount() then counts only the frames present.
    int claimedFrameCount() const;
    bool isTruncated() const;
    // Presentation times found damaged and put right (a stamp out of the order the pictures'
    // own coding fixes, or far from its neighbours'), rather than moving their pictures.
    int repairedTimeStamps() const;
    // Runs of pictures lost to damage that the container skipped (a fragment of a fragmented
    // MP4 file): the frames count on across them.
    int lostStretches() const;
    // Every frame in display order, from the container's tables alone.
    std::vector<FrameRecord> frameTable() const;
    // The index to open the same file again with; null where reading the file's own costs
    // nothing (AVI).
    std::shared_ptr<const MovieIndex> index() const;

    // Throws MovieError: frame out of range, decode failure, file truncated.
    core::BgrImage frame(int n);
    // As frame(), reusing the buffer of `out`.
    void frameInto(int n, core::BgrImage& out);

    // Decodes from now on as `options` say: a movie opened to be looked at can go on to be
    // extracted without being opened again. Another thread count takes a new decoder.
    void changeOptions(const MovieOptions& options);
    // Makes the pictures from now on as `pictures` say.
    void changePictures(const picture::PictureOptions& pictures);

    // Frame threads hand a picture out before the decoder has said all it will about the
    // packets decoded alongside it, and they conceal damage differently from run to run.
    // complaints() marks a point; complainedSince() waits for the threads and tells whether
    // the decoder or demuxer complained after the mark. From a complaint on the movie decodes
    // on one thread, so pictures fetched again come out the same on every run.
    std::uint64_t complaints() const;
    bool complainedSince(std::uint64_t mark);
    bool decodesOnFrameThreads() const;

private:
    static std::unique_ptr<FrameSource> open(const std::filesystem::path& file,
                                             const MovieOptions& options,
                                             std::shared_ptr<const MovieIndex> index,
                                             const std::optional<FileVersion>& opened);
    core::PixelShape storedAspect() const;

    std::optional<FileVersion> opened_;   // the file as it was when opened
    std::unique_ptr<FrameSource> source_; // the engine for the movie's container
    picture::PictureChain chain_;
};

} // namespace media
