#include "media/Demuxer.h"

#include "media/FfmpegLog.h"
#include "media/MovieError.h"

#include <array>
#include <cstring>
#include <fstream>
#include <string_view>
#include <system_error>

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
        throw MovieError(file, "cannot open: no such file");
    if (std::filesystem::is_directory(status))
        throw MovieError(file, "cannot open: it is a folder, not a movie file");
    if (!std::filesystem::is_regular_file(status))
        throw MovieError(file, "cannot open: not a regular file");
}

// The RIFF header states the size of the whole file; a smaller file lost its end.
bool riffClaimsMore(const std::filesystem::path& file, std::int64_t fileSize) {
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 8> header{};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size()) ||
        std::memcmp(header.data(), "RIFF", 4) != 0)
        return false;
    const std::int64_t riffSize =
        header[4] | header[5] << 8 | header[6] << 16 | static_cast<std::int64_t>(header[7]) << 24;
    return riffSize + 8 > fileSize;
}

std::uint32_t littleEndian32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// The old-style index lists every chunk, zero-size ones included: 16 bytes each, the chunk id
// first ("01dc" for stream 1) and the size last.
int countTrailingEmptyChunks(std::istream& in, std::uint32_t indexSize, int streamNumber) {
    constexpr std::uint32_t entrySize = 16;
    const std::uint32_t entries = indexSize / entrySize;
    const char id[2] = {static_cast<char>('0' + streamNumber / 10 % 10),
                        static_cast<char>('0' + streamNumber % 10)};
    const std::streamoff start = in.tellg();
    int empty = 0;
    for (std::uint32_t i = entries; i-- > 0;) {
        unsigned char entry[entrySize];
        in.seekg(start + static_cast<std::streamoff>(i) * entrySize);
        if (!in.read(reinterpret_cast<char*>(entry), entrySize))
            break;
        if (entry[0] != id[0] || entry[1] != id[1] || entry[2] != 'd')
            continue;
        if (littleEndian32(entry + 12) != 0)
            break;
        ++empty;
    }
    return empty;
}

InputContextPtr openInput(const std::filesystem::path& file) {
    AVFormatContext* raw = nullptr;
    // "file:" keeps a name such as "a:b.avi" from being taken for a protocol.
    const std::string url = "file:" + utf8(file);
    const int result = avformat_open_input(&raw, url.c_str(), nullptr, nullptr);
    if (result < 0)
        throw MovieError(file, "cannot open: " + ffmpegErrorText(result));
    InputContextPtr input(raw);
    if (std::string_view(input->iformat->name) != "avi")
        throw MovieError(file, std::string("cannot open: not an AVI file (") +
                                   input->iformat->name + ")");
    return input;
}

} // namespace

Demuxer::Demuxer(const std::filesystem::path& file) : file_(file) {
    FfmpegLog::install();
    requireRegularFile(file);
    input_ = openInput(file);
    if (const int result = avformat_find_stream_info(input_.get(), nullptr); result < 0)
        throw MovieError(file, "cannot read the stream headers: " + ffmpegErrorText(result));
    const int index = av_find_best_stream(input_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0)
        throw MovieError(file, "no video stream");
    stream_ = input_->streams[index];
    for (unsigned i = 0; i < input_->nb_streams; ++i)
        if (static_cast<int>(i) != index)
            input_->streams[i]->discard = AVDISCARD_ALL;
    fileSize_ = input_->pb != nullptr ? avio_size(input_->pb) : 0;
    cutShort_ = riffClaimsMore(file, fileSize_);
}

bool Demuxer::readPacket(AVPacket& packet) {
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
        return true;
    }
}

bool Demuxer::seek(std::int64_t timestamp) {
    atStart_ = false;
    return av_seek_frame(input_.get(), stream_->index, timestamp, AVSEEK_FLAG_BACKWARD) >= 0;
}

std::optional<std::int64_t> Demuxer::scanToEnd() {
    const PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw std::bad_alloc();
    while (readPacket(*packet))
        if ((packet->flags & AV_PKT_FLAG_CORRUPT) && packet->dts != AV_NOPTS_VALUE)
            return packet->dts;
    return std::nullopt;
}

int Demuxer::trailingEmptyChunks() const {
    std::ifstream in(file_, std::ios::binary);
    unsigned char header[12];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) ||
        std::memcmp(header, "RIFF", 4) != 0)
        return 0;
    // The index follows the movie data at the top level of the first RIFF list.
    for (std::streamoff at = sizeof header;;) {
        unsigned char chunk[8];
        in.seekg(at);
        if (!in.read(reinterpret_cast<char*>(chunk), sizeof chunk))
            return 0;
        const std::uint32_t size = littleEndian32(chunk + 4);
        if (std::memcmp(chunk, "idx1", 4) == 0)
            return countTrailingEmptyChunks(in, size, stream_->index);
        at += 8 + static_cast<std::streamoff>(size) + (size & 1);
    }
}

} // namespace media
