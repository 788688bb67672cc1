#include "support/testmedia/ContainerDamage.h"

#include "support/testmedia/BgrImage.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/ContainerWriter.h"
#include "support/testmedia/Ffmpeg.h"
#include "support/testmedia/Pictures.h"
#include "support/testmedia/TestMedia.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>
#include <vector>

namespace testmedia {

namespace {

using Bytes = std::vector<char>;

constexpr int tsPacket = 188;
constexpr int videoPid = 0x100; // the muxer's first elementary stream

Bytes readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::filesystem::path& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

Bytes sourceBytes(Container container) {
    ContainerRecipe recipe;
    recipe.container = container;
    return readAll(sharedContainerMovie(recipe));
}

Bytes cut(Bytes bytes, double share) {
    bytes.resize(static_cast<std::size_t>(static_cast<double>(bytes.size()) * share));
    return bytes;
}

void replaceFirst(Bytes& bytes, const std::string& from, const std::string& to) {
    const auto found = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    if (found == bytes.end())
        throw std::logic_error("test movie lacks \"" + from + "\"");
    std::copy(to.begin(), to.end(), found);
}

// Turns an MP4 box into free space with nothing in it (FFmpeg finds an index kept inside a box
// that was merely renamed).
void blankBox(Bytes& bytes, const std::string& type) {
    const auto found = std::search(bytes.begin(), bytes.end(), type.begin(), type.end());
    if (found - bytes.begin() < 4)
        throw std::logic_error("test movie lacks a box " + type);
    const auto* size = reinterpret_cast<const unsigned char*>(&*(found - 4));
    const std::size_t length =
        (std::size_t{size[0]} << 24) | (size[1] << 16) | (size[2] << 8) | size[3];
    const std::string free = "free";
    std::copy(free.begin(), free.end(), found);
    std::fill(found + 4, found - 4 + static_cast<std::ptrdiff_t>(length), 0);
}

// Drops the second transport packet of a few pictures of the second GOP (decode order 13 to
// 23; the key frame at 12 stays whole): the pictures stay, damaged, and none merges with another.
Bytes loseTransportPackets(Bytes bytes, int gop) {
    std::vector<std::size_t> doomed;
    int picture = -1;
    bool dropped = false;
    for (std::size_t at = 0; at + tsPacket <= bytes.size(); at += tsPacket) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        const int pid = ((p[1] & 0x1F) << 8) | p[2];
        if (pid != videoPid)
            continue;
        if (p[1] & 0x40) {
            ++picture;
            dropped = false;
        } else if (!dropped && picture > gop && picture < 2 * gop && doomed.size() < 3) {
            doomed.push_back(at);
            dropped = true;
        }
    }
    if (doomed.empty())
        throw std::logic_error("test movie has no picture spanning transport packets");
    for (auto at = doomed.rbegin(); at != doomed.rend(); ++at)
        bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(*at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(*at + tsPacket));
    return bytes;
}

struct StoredPicture {
    std::int64_t pos = 0;
    int size = 0;
    std::int64_t pts = 0;
    bool key = false;
};

// The video packets of a file in stored order, as its demuxer lists them.
std::vector<StoredPicture> storedPictures(const std::filesystem::path& file) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, file.string().c_str(), nullptr, nullptr) < 0)
        throw std::runtime_error("cannot open " + file.string());
    const media::InputContextPtr input(raw);
    if (avformat_find_stream_info(input.get(), nullptr) < 0)
        throw std::runtime_error("cannot read " + file.string());
    const PacketPtr packet(av_packet_alloc());
    std::vector<StoredPicture> pictures;
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        if (input->streams[packet->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            pictures.push_back(
                {packet->pos, packet->size, packet->pts, (packet->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(packet.get());
    }
    return pictures;
}

constexpr int flippedPicture = ContainerRecipe{}.gop + 1; // in stored order

// Past the slice header, so the picture still decodes, with errors the decoder conceals.
Bytes flipSliceBits(const std::filesystem::path& source, int stored) {
    Bytes bytes = readAll(source);
    const StoredPicture picture = storedPictures(source).at(static_cast<std::size_t>(stored));
    for (std::int64_t at = picture.pos + picture.size / 3; at < picture.pos + picture.size * 2 / 3;
         ++at)
        bytes.at(static_cast<std::size_t>(at)) ^= 0x55;
    return bytes;
}

// From a third into the picture on, so that the decoder surely finds errors in it.
Bytes zeroSliceData(const std::filesystem::path& source, int stored) {
    Bytes bytes = readAll(source);
    const StoredPicture picture = storedPictures(source).at(static_cast<std::size_t>(stored));
    std::fill(bytes.begin() + picture.pos + picture.size / 3,
              bytes.begin() + picture.pos + picture.size, 0);
    return bytes;
}

// Copies the packets of `source` from the video packet `first` (stored order) on, as a stream
// copy that starts there leaves them.
// `retime` may change the stamps of each packet copied, given its stored place in the source;
// times below zero stay so unless `shiftNegative`.
void copyFrom(const std::filesystem::path& source, int first, const std::filesystem::path& file,
              const char* muxerName, const std::function<void(AVPacket&, int)>& retime = nullptr,
              bool shiftNegative = true) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, source.string().c_str(), nullptr, nullptr) < 0)
        throw std::runtime_error("cannot open " + source.string());
    const media::InputContextPtr input(raw);
    if (avformat_find_stream_info(input.get(), nullptr) < 0)
        throw std::runtime_error("cannot read " + source.string());
    const int video = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVFormatContext* rawOut = nullptr;
    if (video < 0 || avformat_alloc_output_context2(&rawOut, nullptr, muxerName, nullptr) < 0)
        throw std::runtime_error("cannot copy " + source.string());
    const OutputContextPtr muxer(rawOut);
    AVStream* stream = avformat_new_stream(muxer.get(), nullptr);
    const AVRational timeBase = input->streams[video]->time_base;
    if (stream == nullptr ||
        avcodec_parameters_copy(stream->codecpar, input->streams[video]->codecpar) < 0)
        throw std::runtime_error("cannot add a video stream");
    stream->codecpar->codec_tag = 0;
    stream->time_base = timeBase;
    if (!shiftNegative)
        muxer->avoid_negative_ts = AVFMT_AVOID_NEG_TS_DISABLED;
    const std::string name = file.string();
    if (avio_open(&muxer->pb, name.c_str(), AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(muxer.get(), nullptr) < 0)
        throw std::runtime_error("cannot write " + name);
    const PacketPtr packet(av_packet_alloc());
    for (int stored = 0; av_read_frame(input.get(), packet.get()) >= 0;) {
        if (packet->stream_index == video && stored++ >= first) {
            if (retime)
                retime(*packet, stored - 1);
            packet->stream_index = stream->index;
            packet->pos = -1;
            av_packet_rescale_ts(packet.get(), timeBase, stream->time_base);
            if (av_interleaved_write_frame(muxer.get(), packet.get()) < 0)
                throw std::runtime_error("cannot write " + name);
        }
        av_packet_unref(packet.get());
    }
    if (av_write_trailer(muxer.get()) < 0)
        throw std::runtime_error("cannot finish " + name);
}

// The stored place of the second key frame.
int secondKeyOf(const std::filesystem::path& source) {
    const std::vector<StoredPicture> pictures = storedPictures(source);
    int keys = 0;
    for (std::size_t i = 0; i < pictures.size(); ++i)
        if (pictures[i].key && ++keys == 2)
            return static_cast<int>(i);
    throw std::logic_error("test movie has a single key frame");
}

// The bytes from the transport packet that starts stored picture `picture` on.
Bytes cutAtPicture(Bytes bytes, int picture) {
    int seen = -1;
    for (std::size_t at = 0; at + tsPacket <= bytes.size(); at += tsPacket) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        const int pid = ((p[1] & 0x1F) << 8) | p[2];
        if (pid == videoPid && (p[1] & 0x40) && ++seen == picture)
            return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
    }
    throw std::logic_error("test movie has too few pictures");
}

// 36 pictures, GOP 12, B-frames of the second GOP referring to the first.
std::filesystem::path openGopSource() {
    const auto file = scratchFolder("containers") / "open_gop_h264.mkv";
    if (std::filesystem::exists(file))
        return file;
    EncoderSettings settings;
    settings.encoder = "libx264";
    settings.pixelFormat = AV_PIX_FMT_YUV420P;
    settings.width = 128;
    settings.height = 96;
    settings.bFrames = 3;
    settings.options = {{"x264-params", "open-gop=1:scenecut=0:b-adapt=0:b-pyramid=normal"}};
    const LogLevelGuard quiet(AV_LOG_ERROR);
    ContainerWriter writer(file, settings, {"matroska", {}, {}, {}});
    for (int n = 0; n < 36; ++n)
        writer.writePicture(testPicture(settings.width, settings.height, n), n);
    writer.finish();
    return file;
}

// From the second key frame on, its time made zero, so the leading pictures' fall below it: the
// Matroska demuxer gives them none.
void writeOpenGopUnstamped(const std::filesystem::path& file) {
    const auto source = openGopSource();
    const int key = secondKeyOf(source);
    const std::int64_t start = storedPictures(source).at(static_cast<std::size_t>(key)).pts;
    copyFrom(
        source, key, file, "matroska",
        [start](AVPacket& packet, int) {
            packet.pts -= start;
            if (packet.dts != AV_NOPTS_VALUE)
                packet.dts -= start;
        },
        false);
}

// Rewrites the presentation time in the block header of stored picture `picture`.
Bytes moveStamp(Bytes bytes, int picture, std::int64_t pts) {
    int seen = -1;
    for (std::size_t at = 0; at + tsPacket <= bytes.size(); at += tsPacket) {
        auto* p = reinterpret_cast<unsigned char*>(bytes.data() + at);
        const int pid = ((p[1] & 0x1F) << 8) | p[2];
        if (pid != videoPid || !(p[1] & 0x40) || ++seen != picture)
            continue;
        const std::size_t payload = (p[3] & 0x20) ? 5u + p[4] : 4u;
        unsigned char* pes = p + payload;
        if (pes[0] != 0 || pes[1] != 0 || pes[2] != 1 || !(pes[7] & 0x80))
            throw std::logic_error("test movie's block carries no time stamp");
        unsigned char* stamp = pes + 9;
        stamp[0] = static_cast<unsigned char>((stamp[0] & 0xF0) | (((pts >> 30) & 7) << 1) | 1);
        stamp[1] = static_cast<unsigned char>(pts >> 22);
        stamp[2] = static_cast<unsigned char>((((pts >> 15) & 0x7F) << 1) | 1);
        stamp[3] = static_cast<unsigned char>(pts >> 7);
        stamp[4] = static_cast<unsigned char>(((pts & 0x7F) << 1) | 1);
        return bytes;
    }
    throw std::logic_error("test movie has too few pictures");
}

// The sync-sample table lists key pictures by their 1-based place in decode order; its last
// entry moves one place on, onto the first predicted picture of that GOP.
Bytes moveLastKeyFlag(Bytes bytes) {
    const std::string type = "stss";
    const auto found = std::search(bytes.begin(), bytes.end(), type.begin(), type.end());
    if (found == bytes.end())
        throw std::logic_error("test movie lacks a sync-sample table");
    const auto at = [&](std::size_t offset) {
        return reinterpret_cast<unsigned char*>(&*(found + static_cast<std::ptrdiff_t>(offset)));
    };
    const auto read32 = [&](std::size_t offset) {
        const unsigned char* p = at(offset);
        return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
    };
    const std::uint32_t entries = read32(8);
    if (entries < 2)
        throw std::logic_error("test movie has too few key frames");
    unsigned char* last = at(12 + 4 * (std::size_t{entries} - 1));
    const std::uint32_t moved = read32(12 + 4 * (std::size_t{entries} - 1)) + 1;
    for (int i = 0; i < 4; ++i)
        last[i] = static_cast<unsigned char>(moved >> (24 - 8 * i));
    return bytes;
}

// A ProRes picture opens with its size and the tag "icpf"; the last one's header is zeroed, so
// the decoder refuses that picture while the file stays whole.
Bytes garbleLastProResHeader(Bytes bytes) {
    const std::string tag = "icpf";
    const auto found = std::find_end(bytes.begin(), bytes.end(), tag.begin(), tag.end());
    if (found == bytes.end() || bytes.end() - found < 64)
        throw std::logic_error("test movie lacks a ProRes picture");
    std::fill(found + 4, found + 64, 0);
    return bytes;
}

// Matroska's demuxer makes a picture attached to the file a video stream of one picture.
void attachCover(AVFormatContext& muxer) {
    AVStream* stream = avformat_new_stream(&muxer, nullptr);
    const std::string picture = coverPicture();
    if (stream == nullptr)
        throw std::runtime_error("cannot add a cover");
    stream->codecpar->extradata =
        static_cast<std::uint8_t*>(av_mallocz(picture.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (stream->codecpar->extradata == nullptr)
        throw std::bad_alloc();
    std::copy(picture.begin(), picture.end(), stream->codecpar->extradata);
    stream->codecpar->extradata_size = static_cast<int>(picture.size());
    stream->codecpar->codec_type = AVMEDIA_TYPE_ATTACHMENT;
    stream->codecpar->codec_id = AV_CODEC_ID_PNG;
    av_dict_set(&stream->metadata, "filename", "cover.png", 0);
    av_dict_set(&stream->metadata, "mimetype", "image/png", 0);
}

void writeSoundOnly(const std::filesystem::path& file, bool cover) {
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, "matroska", nullptr) < 0)
        throw std::runtime_error("cannot set up the Matroska muxer");
    const OutputContextPtr muxer(raw);
    AVStream* stream = avformat_new_stream(muxer.get(), nullptr);
    if (stream == nullptr)
        throw std::runtime_error("cannot add a sound stream");
    stream->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    stream->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
    stream->codecpar->sample_rate = 8000;
    av_channel_layout_default(&stream->codecpar->ch_layout, 1);
    stream->time_base = {1, 8000};
    if (cover)
        attachCover(*muxer);
    const std::string name = file.string();
    if (avio_open(&muxer->pb, name.c_str(), AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(muxer.get(), nullptr) < 0)
        throw std::runtime_error("cannot write " + name);
    const PacketPtr packet(av_packet_alloc());
    for (int i = 0; i < 10; ++i) {
        if (av_new_packet(packet.get(), 1600) < 0)
            throw std::bad_alloc();
        std::fill(packet->data, packet->data + packet->size, 0);
        packet->pts = packet->dts = i * 800;
        packet->duration = 800;
        packet->stream_index = stream->index;
        av_packet_rescale_ts(packet.get(), {1, 8000}, stream->time_base);
        if (av_interleaved_write_frame(muxer.get(), packet.get()) < 0)
            throw std::runtime_error("cannot write " + name);
    }
    if (av_write_trailer(muxer.get()) < 0)
        throw std::runtime_error("cannot finish " + name);
}

void writeDamaged(const std::filesystem::path& file, ContainerDamage damage) {
    switch (damage) {
    case ContainerDamage::Mp4CutBeforeIndex:
        return writeAll(file, cut(sourceBytes(Container::Mp4), 0.8));
    case ContainerDamage::Mp4WithoutIndex: {
        Bytes bytes = sourceBytes(Container::Mp4FastStart);
        blankBox(bytes, "moov");
        return writeAll(file, bytes);
    }
    case ContainerDamage::Mp4CutInData:
        return writeAll(file, cut(sourceBytes(Container::Mp4FastStart), 0.6));
    case ContainerDamage::MatroskaCutInCluster:
        return writeAll(file, cut(sourceBytes(Container::Matroska), 0.6));
    case ContainerDamage::TransportLostPackets:
        return writeAll(
            file, loseTransportPackets(sourceBytes(Container::MpegTsWrap), ContainerRecipe{}.gop));
    case ContainerDamage::SoundOnly:
    case ContainerDamage::SoundWithCover:
        return writeSoundOnly(file, damage == ContainerDamage::SoundWithCover);
    case ContainerDamage::ElementaryStream:
        return writeAll(file, sourceBytes(Container::RawH264));
    case ContainerDamage::Mp4FlippedBits: {
        ContainerRecipe recipe;
        return writeAll(file, flipSliceBits(sharedContainerMovie(recipe), flippedPicture));
    }
    case ContainerDamage::Mp4VariableRateZeroed: {
        ContainerRecipe recipe;
        recipe.variableRate = true;
        return writeAll(file, zeroSliceData(sharedContainerMovie(recipe), flippedPicture));
    }
    case ContainerDamage::Mp4FlippedKeyFrame: {
        const auto source = sharedContainerMovie({});
        return writeAll(file, flipSliceBits(source, secondKeyOf(source)));
    }
    case ContainerDamage::TransportCutAtKey: {
        ContainerRecipe recipe;
        recipe.container = Container::MpegTs;
        recipe.codec = VideoCodec::Mpeg2;
        const auto source = sharedContainerMovie(recipe);
        return copyFrom(source, secondKeyOf(source), file, "mpegts");
    }
    case ContainerDamage::MatroskaCutMidGop: {
        ContainerRecipe recipe;
        recipe.container = Container::Matroska;
        const auto source = sharedContainerMovie(recipe);
        return copyFrom(source, secondKeyOf(source) / 2, file, "matroska");
    }
    case ContainerDamage::MatroskaOpenGopUnstamped:
        return writeOpenGopUnstamped(file);
    case ContainerDamage::TransportCutLongBeforeKey: {
        ContainerRecipe recipe;
        recipe.container = Container::MpegTs;
        recipe.frames = 260;
        recipe.gop = 250;
        return writeAll(file, cutAtPicture(readAll(sharedContainerMovie(recipe)), 20));
    }
    case ContainerDamage::TransportStampFar:
    case ContainerDamage::TransportStampFarH264: {
        ContainerRecipe recipe;
        recipe.container = Container::MpegTs;
        if (damage == ContainerDamage::TransportStampFar)
            recipe.codec = VideoCodec::Mpeg2;
        return writeAll(file, moveStamp(readAll(sharedContainerMovie(recipe)), 20, 6199 * 90000));
    }
    case ContainerDamage::MatroskaStampsAgesAway: {
        ContainerRecipe recipe;
        recipe.container = Container::Matroska;
        return copyFrom(sharedContainerMovie(recipe), 0, file, "matroska",
                        [](AVPacket& packet, int stored) {
                            if (stored == 20 || stored == 22)
                                packet.pts += std::int64_t{1} << 50; // in milliseconds
                        });
    }
    case ContainerDamage::FragmentLost: {
        ContainerRecipe recipe;
        recipe.container = Container::FragmentedMp4;
        Bytes bytes = readAll(sharedContainerMovie(recipe));
        const std::string moof = "moof";
        const auto first = std::search(bytes.begin(), bytes.end(), moof.begin(), moof.end());
        const auto second = std::search(first + 4, bytes.end(), moof.begin(), moof.end());
        if (second == bytes.end())
            throw std::logic_error("test movie has a single fragment");
        std::fill_n(second, 4, 'x');
        return writeAll(file, bytes);
    }
    case ContainerDamage::Mp4FalseKeyFrame:
        return writeAll(file, moveLastKeyFlag(sourceBytes(Container::Mp4)));
    case ContainerDamage::MovGarbledLastFrame: {
        ContainerRecipe recipe;
        recipe.container = Container::Mov;
        recipe.codec = VideoCodec::ProRes;
        return writeAll(file, garbleLastProResHeader(readAll(sharedContainerMovie(recipe))));
    }
    case ContainerDamage::UnknownCodec: {
        Bytes bytes = sourceBytes(Container::Matroska);
        replaceFirst(bytes, "V_MPEG4/ISO/AVC", "V_MPEG4/ISO/ZZZ");
        return writeAll(file, bytes);
    }
    }
}

std::string extensionOf(ContainerDamage damage) {
    switch (damage) {
    case ContainerDamage::Mp4CutBeforeIndex:
    case ContainerDamage::Mp4WithoutIndex:
    case ContainerDamage::Mp4CutInData:
    case ContainerDamage::Mp4FlippedBits:
    case ContainerDamage::Mp4FlippedKeyFrame:
    case ContainerDamage::Mp4VariableRateZeroed:
    case ContainerDamage::FragmentLost:
    case ContainerDamage::Mp4FalseKeyFrame:
        return ".mp4";
    case ContainerDamage::TransportLostPackets:
    case ContainerDamage::TransportCutAtKey:
    case ContainerDamage::TransportStampFar:
    case ContainerDamage::TransportStampFarH264:
    case ContainerDamage::TransportCutLongBeforeKey:
        return ".ts";
    case ContainerDamage::ElementaryStream:
        return ".h264";
    case ContainerDamage::MovGarbledLastFrame:
        return ".mov";
    default:
        return ".mkv";
    }
}

} // namespace

std::string damageName(ContainerDamage damage) {
    switch (damage) {
    case ContainerDamage::Mp4CutBeforeIndex:
        return "Mp4CutBeforeIndex";
    case ContainerDamage::Mp4WithoutIndex:
        return "Mp4WithoutIndex";
    case ContainerDamage::Mp4CutInData:
        return "Mp4CutInData";
    case ContainerDamage::MatroskaCutInCluster:
        return "MatroskaCutInCluster";
    case ContainerDamage::TransportLostPackets:
        return "TransportLostPackets";
    case ContainerDamage::SoundOnly:
        return "SoundOnly";
    case ContainerDamage::SoundWithCover:
        return "SoundWithCover";
    case ContainerDamage::UnknownCodec:
        return "UnknownCodec";
    case ContainerDamage::ElementaryStream:
        return "ElementaryStream";
    case ContainerDamage::Mp4FlippedBits:
        return "Mp4FlippedBits";
    case ContainerDamage::Mp4FlippedKeyFrame:
        return "Mp4FlippedKeyFrame";
    case ContainerDamage::Mp4VariableRateZeroed:
        return "Mp4VariableRateZeroed";
    case ContainerDamage::TransportCutAtKey:
        return "TransportCutAtKey";
    case ContainerDamage::MatroskaCutMidGop:
        return "MatroskaCutMidGop";
    case ContainerDamage::MatroskaOpenGopUnstamped:
        return "MatroskaOpenGopUnstamped";
    case ContainerDamage::TransportCutLongBeforeKey:
        return "TransportCutLongBeforeKey";
    case ContainerDamage::TransportStampFar:
        return "TransportStampFar";
    case ContainerDamage::TransportStampFarH264:
        return "TransportStampFarH264";
    case ContainerDamage::MatroskaStampsAgesAway:
        return "MatroskaStampsAgesAway";
    case ContainerDamage::FragmentLost:
        return "FragmentLost";
    case ContainerDamage::Mp4FalseKeyFrame:
        return "Mp4FalseKeyFrame";
    case ContainerDamage::MovGarbledLastFrame:
        return "MovGarbledLastFrame";
    }
    return "?";
}

std::filesystem::path damagedContainerMovie(ContainerDamage damage) {
    static std::map<ContainerDamage, std::filesystem::path> written;
    if (const auto found = written.find(damage); found != written.end())
        return found->second;
    const std::string extension = extensionOf(damage);
    const auto file = scratchFolder("containers") / ("damaged_" + damageName(damage) + extension);
    writeDamaged(file, damage);
    written.emplace(damage, file);
    return file;
}

} // namespace testmedia

namespace testmedia {

int flippedBitsFrame() {
    const std::vector<StoredPicture> pictures = storedPictures(sharedContainerMovie({}));
    const std::int64_t pts = pictures.at(flippedPicture).pts;
    return static_cast<int>(std::count_if(pictures.begin(), pictures.end(),
                                          [&](const StoredPicture& p) { return p.pts < pts; }));
}

} // namespace testmedia
