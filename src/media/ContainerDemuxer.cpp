#include "media/ContainerDemuxer.h"

#include "media/FfmpegLog.h"
#include "media/FrameIndex.h"
#include "media/MovieError.h"
#include "media/VideoStreams.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

namespace media {

namespace {

std::string utf8(const std::filesystem::path& file) {
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

// The document type in a Matroska file's EBML header tells WebM from Matroska; the demuxer
// serves both under one name.
bool isWebm(const std::filesystem::path& file) {
    std::array<char, 64> head{};
    std::ifstream in(file, std::ios::binary);
    in.read(head.data(), head.size());
    const std::string_view text(head.data(), static_cast<std::size_t>(in.gcount()));
    const std::size_t docType = text.find("\x42\x82");
    return docType != std::string_view::npos && text.substr(docType + 3, 4) == "webm";
}

bool isQuickTime(const AVFormatContext& input) {
    const AVDictionaryEntry* brand = av_dict_get(input.metadata, "major_brand", nullptr, 0);
    return brand != nullptr && std::string_view(brand->value).starts_with("qt");
}

// Picture files open as one-frame streams; they are not what a movie tool is for.
bool isStillImage(const AVFormatContext& input) {
    const std::string_view name = input.iformat->name;
    return name == "image2" || name.ends_with("_pipe");
}

// Cover art in a sound file is a video stream of one picture, not a movie.
int bestVideoStream(AVFormatContext& input) {
    const int best = av_find_best_stream(&input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (best >= 0 && !(input.streams[best]->disposition & AV_DISPOSITION_ATTACHED_PIC))
        return best;
    for (unsigned i = 0; i < input.nb_streams; ++i) {
        const AVStream& stream = *input.streams[i];
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(stream.disposition & AV_DISPOSITION_ATTACHED_PIC))
            return static_cast<int>(i);
    }
    return -1;
}

// The palette the first packet of stream `index` carries, read through an opening of its own so
// that the demuxer in use keeps its position.
std::vector<std::uint8_t> firstPalette(const std::filesystem::path& file, int index) {
    InputContextPtr input = ContainerDemuxer::tryOpen(file);
    PacketPtr packet(av_packet_alloc());
    if (!input || !packet)
        return {};
    for (int read = 0; read < 64 && av_read_frame(input.get(), packet.get()) >= 0; ++read) {
        if (packet->stream_index != index) {
            av_packet_unref(packet.get());
            continue;
        }
        std::size_t size = 0;
        const std::uint8_t* palette =
            av_packet_get_side_data(packet.get(), AV_PKT_DATA_PALETTE, &size);
        return palette != nullptr && size == AVPALETTE_SIZE
                   ? std::vector<std::uint8_t>(palette, palette + size)
                   : std::vector<std::uint8_t>{};
    }
    return {};
}

bool hasPictureSize(const AVStream& stream) {
    return stream.codecpar->width > 0 && stream.codecpar->height > 0;
}

} // namespace

InputContextPtr ContainerDemuxer::tryOpen(const std::filesystem::path& file) {
    FfmpegLog::install();
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return nullptr;
    AVFormatContext* raw = nullptr;
    // "file:" keeps a name such as "a:b.mp4" from being taken for a protocol.
    const std::string url = "file:" + utf8(file);
    if (avformat_open_input(&raw, url.c_str(), nullptr, nullptr) < 0)
        return nullptr;
    return InputContextPtr(raw);
}

bool ContainerDemuxer::isAvi(const AVFormatContext& input) {
    return std::string_view(input.iformat->name) == "avi";
}

ContainerDemuxer::ContainerDemuxer(const std::filesystem::path& file, InputContextPtr input,
                                   int videoStream)
    : file_(file), input_(std::move(input)) {
    if (const int result = avformat_find_stream_info(input_.get(), nullptr); result < 0)
        throw MovieError(file, "cannot read the stream headers: " + ffmpegErrorText(result));
    if (input_->nb_streams == 0)
        throw MovieError(file, std::string("cannot open: no streams found; the file may be cut "
                                           "short or miss its index (") +
                                   input_->iformat->name + ")");
    if (isStillImage(*input_))
        throw MovieError(file, std::string("cannot open: a still picture, not a movie (") +
                                   input_->iformat->name + ")");
    const int index =
        videoStream < 0 ? bestVideoStream(*input_) : nthVideoStream(*input_, videoStream);
    if (index < 0 && videoStream >= 0)
        throw MovieError(file, "no video stream " + std::to_string(videoStream) +
                                   ": the file has " + std::to_string(videoStreamCount(*input_)) +
                                   " (counted from 0)");
    if (index < 0)
        throw MovieError(file, std::string("no video stream (") + input_->iformat->name + ")");
    stream_ = input_->streams[index];
    if (!hasPictureSize(*stream_))
        probeFurther(index);
    for (unsigned i = 0; i < input_->nb_streams; ++i)
        if (static_cast<int>(i) != index)
            input_->streams[i]->discard = AVDISCARD_ALL;
    fileSize_ = input_->pb != nullptr ? avio_size(input_->pb) : 0;
    if (isPalettised())
        palette_ = firstPalette(file, index);
}

// A recording cut long before its next key frame tells its picture size only there, further
// than the first probe reads.
void ContainerDemuxer::probeFurther(int index) {
    InputContextPtr again = tryOpen(file_);
    if (!again)
        return;
    again->probesize = furtherProbeMegabytes << 20;
    again->max_analyze_duration = furtherProbeSeconds * AV_TIME_BASE;
    if (avformat_find_stream_info(again.get(), nullptr) < 0 ||
        static_cast<unsigned>(index) >= again->nb_streams ||
        !hasPictureSize(*again->streams[index]))
        return;
    input_ = std::move(again);
    stream_ = input_->streams[index];
}

bool ContainerDemuxer::isPalettised() const {
    return stream_->codecpar->format == AV_PIX_FMT_PAL8;
}

double ContainerDemuxer::declaredSeconds() const {
    // A clock that may restart, or a length guessed from the bit rate, declares nothing.
    if ((input_->iformat->flags & AVFMT_TS_DISCONT) ||
        input_->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
        return 0.0;
    if (stream_->duration > 0 && stream_->duration != AV_NOPTS_VALUE)
        return static_cast<double>(stream_->duration) * av_q2d(stream_->time_base);
    // The file's length is the video's only when nothing else (a longer sound track) is in it.
    if (input_->nb_streams == 1 && input_->duration > 0 && input_->duration != AV_NOPTS_VALUE)
        return static_cast<double>(input_->duration) / AV_TIME_BASE;
    return 0.0;
}

std::string ContainerDemuxer::containerName() const {
    const std::string_view name = input_->iformat->name;
    if (name.starts_with("mov,"))
        return isQuickTime(*input_) ? "mov" : "mp4";
    if (name.starts_with("matroska"))
        return isWebm(file_) ? "webm" : "matroska";
    return std::string(name.substr(0, name.find(',')));
}

bool ContainerDemuxer::readPacket(AVPacket& packet) {
    for (;;) {
        av_packet_unref(&packet);
        if (av_read_frame(input_.get(), &packet) < 0)
            return false;
        if (packet.stream_index != stream_->index)
            continue;
        if (!isPalettised())
            return true;
        std::size_t size = 0;
        if (const std::uint8_t* palette =
                av_packet_get_side_data(&packet, AV_PKT_DATA_PALETTE, &size);
            palette != nullptr && size == AVPALETTE_SIZE)
            palette_.assign(palette, palette + size);
        else if (!palette_.empty())
            if (std::uint8_t* copy =
                    av_packet_new_side_data(&packet, AV_PKT_DATA_PALETTE, palette_.size()))
                std::copy(palette_.begin(), palette_.end(), copy);
        return true;
    }
}

// Streams that may restart their clocks (transport and program streams) are found by byte
// offset; the others by the time stamps of their own index.
bool ContainerDemuxer::seekTo(const IndexedPacket& packet) {
    const bool mayUseBytes = packet.seekPos >= 0 && !(input_->iformat->flags & AVFMT_NO_BYTE_SEEK);
    const auto byBytes = [&] {
        return av_seek_frame(input_.get(), -1, packet.seekPos, AVSEEK_FLAG_BYTE) >= 0;
    };
    if (mayUseBytes && (input_->iformat->flags & AVFMT_TS_DISCONT))
        return byBytes();
    const std::int64_t stamp =
        std::string_view(input_->iformat->name).starts_with("matroska") ? packet.pts : packet.dts;
    // Streams without time stamps of their own (raw elementary streams) seek by bytes only.
    return av_seek_frame(input_.get(), stream_->index, stamp, AVSEEK_FLAG_BACKWARD) >= 0 ||
           (mayUseBytes && byBytes());
}

} // namespace media
