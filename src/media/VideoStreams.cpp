#include "media/VideoStreams.h"

#include "media/ContainerDemuxer.h"

namespace media {

namespace {

bool isVideo(const AVStream& stream) {
    return stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
}

} // namespace

int nthVideoStream(const AVFormatContext& input, int number) {
    for (unsigned i = 0; i < input.nb_streams; ++i)
        if (isVideo(*input.streams[i]) && number-- == 0)
            return static_cast<int>(i);
    return -1;
}

int videoStreamCount(const AVFormatContext& input) {
    int count = 0;
    for (unsigned i = 0; i < input.nb_streams; ++i)
        count += isVideo(*input.streams[i]) ? 1 : 0;
    return count;
}

std::vector<VideoStreamFacts> videoStreamsOf(const std::filesystem::path& file) {
    std::vector<VideoStreamFacts> streams;
    InputContextPtr input = ContainerDemuxer::tryOpen(file);
    if (!input || avformat_find_stream_info(input.get(), nullptr) < 0)
        return streams;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream& stream = *input->streams[i];
        if (!isVideo(stream))
            continue;
        const AVCodecDescriptor* codec = avcodec_descriptor_get(stream.codecpar->codec_id);
        streams.push_back({static_cast<int>(streams.size()), codec ? codec->name : "unknown",
                           stream.codecpar->width, stream.codecpar->height,
                           (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0});
    }
    return streams;
}

} // namespace media
