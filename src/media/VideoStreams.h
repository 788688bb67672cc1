#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

#include <filesystem>
#include <string>
#include <vector>

namespace media {

// One video stream of a file, as its headers describe it.
struct VideoStreamFacts {
    int number = 0; // among the file's video streams, from 0
    std::string codec;
    int width = 0;
    int height = 0;
    bool attachedPicture = false; // cover art: one picture, not a movie
};

// The container's index of the `number`-th video stream (counted from 0 among video streams,
// attached pictures included); -1 when the file has fewer.
int nthVideoStream(const AVFormatContext& input, int number);
int videoStreamCount(const AVFormatContext& input);

// Every video stream of `file`, in the container's order; empty when no demuxer opens it.
std::vector<VideoStreamFacts> videoStreamsOf(const std::filesystem::path& file);

} // namespace media
