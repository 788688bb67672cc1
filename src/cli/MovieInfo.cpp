#include "cli/MovieInfo.h"

#include "cli/FrameClock.h"
#include "cli/JsonText.h"
#include "core/Paths.h"
#include "core/PixelShape.h"
#include "core/TimeText.h"
#include "media/Movie.h"
#include "media/VideoStreams.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace cli {

namespace {

std::string aspectText(const core::PixelShape& aspect) {
    return std::to_string(aspect.num) + ":" + std::to_string(aspect.den);
}

std::string colourLines(const picture::PictureColour& colour) {
    return "color_matrix=" + colour.matrixName() + "\ncolor_range=" + colour.rangeName() +
           "\ncolor_primaries=" + colour.primariesName() +
           "\ncolor_transfer=" + colour.transferName() + "\nhdr=" + colour.hdrName() + "\n";
}

// A value and what is assumed in its place apart, for scripts to read without taking the text
// form's "unknown (assumed bt709)" apart: "unknown" and "bt709"; the declared value and null.
std::string colourFactJson(const std::string& key, const std::string& declaredName, bool assumed,
                           const char* valueName) {
    return ",\"" + key + "\":" + (assumed ? std::string("\"unknown\"") : jsonString(declaredName)) +
           ",\"" + key + "_assumed\":" +
           (assumed && valueName != nullptr ? jsonString(valueName) : std::string("null"));
}

std::string colourJson(const picture::PictureColour& colour) {
    return colourFactJson("color_matrix", colour.matrixName(), colour.matrixAssumed,
                          av_color_space_name(static_cast<AVColorSpace>(colour.matrix))) +
           colourFactJson("color_range", colour.rangeName(), colour.rangeAssumed,
                          av_color_range_name(static_cast<AVColorRange>(colour.range))) +
           colourFactJson(
               "color_primaries", colour.primariesName(), colour.primariesAssumed,
               av_color_primaries_name(static_cast<AVColorPrimaries>(colour.primaries))) +
           colourFactJson("color_transfer", colour.transferName(), colour.transferAssumed,
                          av_color_transfer_name(
                              static_cast<AVColorTransferCharacteristic>(colour.transfer))) +
           ",\"hdr\":" + jsonString(colour.hdrName());
}

// From the first frame's start to the last's end, in seconds with milliseconds.
std::string durationText(const media::Movie& movie) {
    const std::int64_t nanoseconds = FrameClock(movie.frameTable(), movie.frameRate()).end();
    return core::formatSeconds((nanoseconds + 500'000) / 1'000'000);
}

// "video_stream_N=codec,WxH,movie" (or attached_picture) lines, N counted among video streams.
std::string videoStreamLines(const media::Movie& movie) {
    std::string text;
    for (const media::VideoStreamFacts& stream : media::videoStreamsOf(movie.file()))
        text += "video_stream_" + std::to_string(stream.number) + "=" + stream.codec + "," +
                std::to_string(stream.width) + "x" + std::to_string(stream.height) + "," +
                (stream.attachedPicture ? "attached_picture" : "movie") + "\n";
    return text;
}

std::string videoStreamsJson(const media::Movie& movie) {
    std::string text = ",\"video_streams\":[";
    for (const media::VideoStreamFacts& stream : media::videoStreamsOf(movie.file()))
        text += std::string(stream.number > 0 ? "," : "") +
                "{\"stream\":" + std::to_string(stream.number) +
                ",\"codec\":" + jsonString(stream.codec) +
                ",\"width\":" + std::to_string(stream.width) +
                ",\"height\":" + std::to_string(stream.height) +
                ",\"attached_picture\":" + (stream.attachedPicture ? "true" : "false") + "}";
    return text + "]";
}

} // namespace

std::string describeMovie(const media::Movie& movie) {
    std::string text =
        "frames=" + std::to_string(movie.frameCount()) +
        "\nwidth=" + std::to_string(movie.width()) + "\nheight=" + std::to_string(movie.height()) +
        "\nrotation=" + std::to_string(movie.orientation().rotation()) +
        "\nmirrored=" + (movie.orientation().isMirrored() ? "yes" : "no") +
        "\nsar=" + aspectText(movie.sampleAspect()) +
        "\ndisplay_width=" + std::to_string(movie.squareSize().width) +
        "\ndisplay_height=" + std::to_string(movie.squareSize().height) +
        "\nfps=" + formatFrameRate(movie.frameRate()) + "\nduration=" + durationText(movie) +
        "\ncontainer=" + movie.containerName() + "\ncodec=" + movie.codecName() +
        "\npixel_format=" + movie.pixelFormatName() +
        "\nbit_depth=" + std::to_string(movie.bitDepth()) +
        "\nfield_order=" + movie.fieldOrderName() + "\n" + colourLines(movie.colour());
    if (movie.isTruncated())
        text += "truncated=yes\nclaimed_frames=" + std::to_string(movie.claimedFrameCount()) + "\n";
    return text + videoStreamLines(movie);
}

std::string describeMovieAsJson(const media::Movie& movie) {
    return "{\"file\":" + jsonString(core::pathToUtf8(movie.file())) +
           ",\"frames\":" + std::to_string(movie.frameCount()) +
           ",\"width\":" + std::to_string(movie.width()) +
           ",\"height\":" + std::to_string(movie.height()) +
           ",\"rotation\":" + std::to_string(movie.orientation().rotation()) +
           ",\"mirrored\":" + (movie.orientation().isMirrored() ? "true" : "false") +
           ",\"sar\":" + jsonString(aspectText(movie.sampleAspect())) +
           ",\"display_width\":" + std::to_string(movie.squareSize().width) +
           ",\"display_height\":" + std::to_string(movie.squareSize().height) +
           ",\"fps\":" + formatFrameRate(movie.frameRate()) +
           ",\"duration\":" + durationText(movie) +
           ",\"container\":" + jsonString(movie.containerName()) +
           ",\"codec\":" + jsonString(movie.codecName()) +
           ",\"pixel_format\":" + jsonString(movie.pixelFormatName()) +
           ",\"bit_depth\":" + std::to_string(movie.bitDepth()) +
           ",\"field_order\":" + jsonString(movie.fieldOrderName()) + colourJson(movie.colour()) +
           ",\"palettised\":" + (movie.isPalettised() ? "true" : "false") +
           ",\"truncated\":" + (movie.isTruncated() ? "true" : "false") +
           ",\"claimed_frames\":" + std::to_string(movie.claimedFrameCount()) +
           videoStreamsJson(movie) + "}\n";
}

std::string frameTableCsv(const std::vector<media::FrameRecord>& table,
                          const std::vector<std::int32_t>& frames) {
    std::string text = "frame,seconds,key,packet_size\n";
    for (const std::int32_t frame : frames) {
        const media::FrameRecord& record = table.at(static_cast<std::size_t>(frame));
        char line[96];
        std::snprintf(line, sizeof line, "%d,%.6f,%d,%d\n", frame, record.seconds,
                      record.key ? 1 : 0, record.packetSize);
        text += line;
    }
    return text;
}

std::string shotTableCsv(const std::vector<picture::ShotDetector::Shot>& shots,
                         const std::vector<media::FrameRecord>& table) {
    std::string text = "frame,seconds,score\n";
    for (const picture::ShotDetector::Shot& shot : shots) {
        const auto at = static_cast<std::size_t>(shot.frame);
        char line[96];
        std::snprintf(line, sizeof line, "%d,%.6f,%.3f\n", shot.frame,
                      at < table.size() ? table[at].seconds : 0.0, shot.score);
        text += line;
    }
    return text;
}

std::string repairNotice(const std::string& name, const media::Movie& movie) {
    const int repaired = movie.repairedTimeStamps();
    if (repaired == 0)
        return {};
    return "'" + name + "': " + std::to_string(repaired) + " damaged time stamp" +
           (repaired == 1 ? "" : "s") +
           " repaired: the pictures keep the order their coding gives them";
}

std::string lossNotice(const std::string& name, const media::Movie& movie) {
    const int lost = movie.lostStretches();
    if (lost == 0)
        return {};
    return "'" + name + "': " + std::to_string(lost) +
           (lost == 1 ? " stretch of pictures is" : " stretches of pictures are") +
           " lost to damaged data; the frames are counted on across " + (lost == 1 ? "it" : "them");
}

std::string truncationNotice(const std::string& name, const media::Movie& movie) {
    if (!movie.isTruncated())
        return {};
    // A header that promises nothing, or no more than is there, breaks no promise.
    if (movie.claimedFrameCount() <= movie.frameCount())
        return "'" + name + "' is truncated: its data end early, holding " +
               std::to_string(movie.frameCount()) + " frames";
    return "'" + name + "' is truncated: its header promises " +
           std::to_string(movie.claimedFrameCount()) + " frames, the data hold " +
           std::to_string(movie.frameCount());
}

std::string formatFrameRate(double fps) {
    if (!std::isfinite(fps) || fps < 0.0)
        return "0";
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", fps);
    std::string result = text;
    while (result.ends_with('0'))
        result.pop_back();
    if (result.ends_with('.'))
        result.pop_back();
    return result;
}

} // namespace cli
