#include "media/AviDemuxer.h"

#include "media/FfmpegLog.h"
#include "media/MovieError.h"

#include <fstream>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace media {

namespace {

std::string utf8(const std::filesystem::path& file) {
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

void requireRegularFile(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (!std::filesystem::exists(status))
        throw MovieError(file, "cannot open: no such file", MovieError::Kind::NoSuchFile);
    if (std::filesystem::is_directory(status))
        throw MovieError(file, "cannot open: it is a folder, not a movie file",
                         MovieError::Kind::NotAFile);
    if (!std::filesystem::is_regular_file(status))
        throw MovieError(file, "cannot open: not a regular file", MovieError::Kind::NotAFile);
}

// Data the reader does not take for a movie, as opposed to a file it cannot read at all.
MovieError::Kind openFailureKind(int result) {
    return result == AVERROR_INVALIDDATA || result == AVERROR_EOF ? MovieError::Kind::NotAMovie
                                                                  : MovieError::Kind::Unreadable;
}

// The container the first bytes look like, if any; the name alone ("clip.mp4") says nothing.
const AVInputFormat* formatByContents(const std::filesystem::path& file) {
    std::vector<unsigned char> head(64 * 1024 + AVPROBE_PADDING_SIZE, 0);
    std::ifstream in(file, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), 64 * 1024);
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = head.data();
    probe.buf_size = static_cast<int>(in.gcount());
    int score = AVPROBE_SCORE_RETRY; // a guess below this is no recognition
    return av_probe_input_format2(&probe, 1, &score);
}

// FFmpeg's own words ("Invalid data found when processing input") do not tell a user whether
// the file is no movie at all or a damaged one, nor what to do about it.
std::string openFailureText(const std::filesystem::path& file, int result) {
    if (openFailureKind(result) != MovieError::Kind::NotAMovie)
        return "cannot open: " + ffmpegErrorText(result);
    std::error_code error;
    if (std::filesystem::file_size(file, error) == 0 && !error)
        return "not a movie: the file is empty; was it copied or saved in full?";
    if (const AVInputFormat* format = formatByContents(file))
        return "cannot open: a " + std::string(format->name) +
               " file whose headers are damaged or missing (" + ffmpegErrorText(result) + ")";
    return "not a movie: no movie format this program reads matches its contents; "
           "check that it is the file you meant";
}

InputContextPtr openInput(const std::filesystem::path& file) {
    AVFormatContext* raw = nullptr;
    // "file:" keeps a name such as "a:b.avi" from being taken for a protocol.
    const std::string url = "file:" + utf8(file);
    const int result = avformat_open_input(&raw, url.c_str(), nullptr, nullptr);
    if (result < 0)
        throw MovieError(file, openFailureText(file, result), openFailureKind(result));
    InputContextPtr input(raw);
    if (std::string_view(input->iformat->name) != "avi")
        throw MovieError(file,
                         std::string("cannot open: not an AVI file (") + input->iformat->name + ")",
                         MovieError::Kind::NotAMovie);
    return input;
}

// Reads the picture headers of whole chunks and tells which ones start a sequence that decodes
// on its own (an IDR picture, an intra VOP).
class KeyFrameParser {
public:
    explicit KeyFrameParser(const AVCodecParameters& parameters)
        : parser_(av_parser_init(parameters.codec_id)) {
        if (!parser_)
            return;
        parser_->flags |= PARSER_FLAG_COMPLETE_FRAMES;
        context_.reset(avcodec_alloc_context3(nullptr));
        if (!context_ || avcodec_parameters_to_context(context_.get(), &parameters) < 0)
            parser_.reset();
    }

    bool works() const { return parser_ != nullptr; }

    // Nullopt when the headers do not say.
    std::optional<bool> isKey(const AVPacket& packet) {
        std::uint8_t* out = nullptr;
        int outSize = 0;
        av_parser_parse2(parser_.get(), context_.get(), &out, &outSize, packet.data, packet.size,
                         AV_NOPTS_VALUE, AV_NOPTS_VALUE, packet.pos);
        if (parser_->key_frame == 1)
            return true;
        if (parser_->key_frame == 0)
            return false;
        if (parser_->pict_type == AV_PICTURE_TYPE_NONE)
            return std::nullopt;
        return parser_->pict_type == AV_PICTURE_TYPE_I;
    }

private:
    ParserPtr parser_;
    CodecContextPtr context_;
};

} // namespace

AviDemuxer::AviDemuxer(const std::filesystem::path& file) {
    FfmpegLog::install();
    requireRegularFile(file);
    input_ = openInput(file);
    if (const int result = avformat_find_stream_info(input_.get(), nullptr); result < 0)
        throw MovieError(file, "cannot read the stream headers: " + ffmpegErrorText(result),
                         MovieError::Kind::NotAMovie);
    const int index = av_find_best_stream(input_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0)
        throw MovieError(file, "no video stream", MovieError::Kind::NoVideo);
    stream_ = input_->streams[index];
    for (unsigned i = 0; i < input_->nb_streams; ++i)
        if (static_cast<int>(i) != index)
            input_->streams[i]->discard = AVDISCARD_ALL;
    fileSize_ = input_->pb != nullptr ? avio_size(input_->pb) : 0;
    layout_ = AviLayout::read(file);
}

void AviDemuxer::reportTo(FfmpegLog& log) {
    log.attach(*input_);
}

const char* AviDemuxer::formatName() const {
    return input_->iformat->name;
}

bool AviDemuxer::readPacket(AVPacket& packet) {
    for (;;) {
        av_packet_unref(&packet);
        atStart_ = false;
        if (av_read_frame(input_.get(), &packet) < 0)
            return false;
        if (packet.stream_index != stream_->index)
            continue;
        std::size_t size = 0;
        const std::uint8_t* palette = av_packet_get_side_data(&packet, AV_PKT_DATA_PALETTE, &size);
        if (palette != nullptr && size > 0)
            palette_.assign(palette, palette + size);
        if (packet.pts != AV_NOPTS_VALUE)
            packet.pts -= shift_;
        if (packet.dts != AV_NOPTS_VALUE)
            packet.dts -= shift_;
        return true;
    }
}

bool AviDemuxer::seek(std::int64_t timestamp) {
    atStart_ = false;
    return av_seek_frame(input_.get(), stream_->index, timestamp + shift_, AVSEEK_FLAG_BACKWARD) >=
           0;
}

std::optional<std::int64_t> AviDemuxer::scanToEnd() {
    const PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw std::bad_alloc();
    KeyFrameParser parser(*stream_->codecpar);
    std::vector<std::int64_t> keys;
    bool told = parser.works();
    std::optional<std::int64_t> firstDamaged;
    while (!firstDamaged && readPacket(*packet)) {
        if ((packet->flags & AV_PKT_FLAG_CORRUPT) && packet->dts != AV_NOPTS_VALUE)
            firstDamaged = packet->dts;
        else if (told && packet->size > 0 && packet->dts != AV_NOPTS_VALUE) {
            const std::optional<bool> key = parser.isKey(*packet);
            told = key.has_value();
            if (key == true)
                keys.push_back(packet->dts);
        }
    }
    keysFound_.reset();
    if (told)
        keysFound_ = std::move(keys);
    return firstDamaged;
}

} // namespace media
