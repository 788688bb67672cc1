#include "support/testmedia/AviWriter.h"

#include "support/testmedia/BgrImage.h"
#include "support/testmedia/Palette.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <system_error>

extern "C" {
#include <libavutil/opt.h>
}

namespace testmedia {

namespace {

std::string utf8(const std::filesystem::path& file) {
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

void configure(AVCodecContext& context, const EncoderSettings& settings) {
    context.width = settings.width;
    context.height = settings.height;
    context.pix_fmt = settings.pixelFormat;
    context.time_base = {1, settings.fps};
    context.framerate = {settings.fps, 1};
    context.gop_size = settings.gop;
    context.max_b_frames = settings.bFrames;
    if (settings.keyintMin)
        context.keyint_min = *settings.keyintMin;
    if (settings.bitRate > 0)
        context.bit_rate = settings.bitRate;
    if (settings.pixelFormat == AV_PIX_FMT_YUVJ420P || settings.fullRange)
        context.color_range = AVCOL_RANGE_JPEG;
    // One thread: packets leave the encoder as soon as it can give them, and files are
    // reproducible.
    context.thread_count = 1;
}

// The scaler writes limited-range YUV unless told otherwise.
void makeFullRange(SwsContext& scaler) {
    int* inverseTable = nullptr;
    int* table = nullptr;
    int sourceRange = 0;
    int targetRange = 0;
    int brightness = 0;
    int contrast = 0;
    int saturation = 0;
    if (sws_getColorspaceDetails(&scaler, &inverseTable, &sourceRange, &table, &targetRange,
                                 &brightness, &contrast, &saturation) >= 0)
        sws_setColorspaceDetails(&scaler, inverseTable, sourceRange, table, 1, brightness, contrast,
                                 saturation);
}

} // namespace

CodecContextPtr openEncoder(const EncoderSettings& settings) {
    if (settings.width % settings.sizeStep != 0 || settings.height % settings.sizeStep != 0)
        throw std::runtime_error("encoder " + settings.encoder +
                                 " takes only sizes in multiples of " +
                                 std::to_string(settings.sizeStep));
    const AVCodec* codec = avcodec_find_encoder_by_name(settings.encoder.c_str());
    if (codec == nullptr)
        throw std::runtime_error("this FFmpeg has no encoder " + settings.encoder);
    CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context)
        throw std::runtime_error("out of memory for encoder " + settings.encoder);
    configure(*context, settings);
    for (const auto& [name, value] : settings.options) {
        const int rc =
            av_opt_set(context.get(), name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN);
        if (rc < 0)
            throw std::runtime_error("encoder " + settings.encoder + " refuses option " + name +
                                     ": " + ffmpegErrorText(rc));
    }
    const int rc = avcodec_open2(context.get(), codec, nullptr);
    if (rc < 0)
        throw std::runtime_error("cannot open encoder " + settings.encoder + " for " +
                                 std::to_string(settings.width) + " x " +
                                 std::to_string(settings.height) + ": " + ffmpegErrorText(rc));
    return context;
}

AviWriter::AviWriter(std::filesystem::path file, const EncoderSettings& settings)
    : file_(std::move(file)) {
    try {
        encoder_ = openEncoder(settings);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(utf8(file_) + ": " + e.what());
    }

    AVFormatContext* muxer = nullptr;
    int rc = avformat_alloc_output_context2(&muxer, nullptr, "avi", nullptr);
    if (rc < 0)
        fail("cannot set up the AVI muxer", rc);
    muxer_.reset(muxer);
    stream_ = avformat_new_stream(muxer_.get(), nullptr);
    if (stream_ == nullptr)
        fail("cannot add a video stream", AVERROR(ENOMEM));
    rc = avcodec_parameters_from_context(stream_->codecpar, encoder_.get());
    if (rc < 0)
        fail("cannot take the encoder's parameters", rc);
    stream_->time_base = encoder_->time_base;
    stream_->avg_frame_rate = encoder_->framerate;
    if (settings.bottomUp) {
        // The muxer only marks the rows as bottom-up; fillFrame turns them round.
        rc = av_opt_set(muxer_.get(), "flipped_raw_rgb", "1", AV_OPT_SEARCH_CHILDREN);
        if (rc < 0)
            fail("cannot store raw pictures bottom-up", rc);
        bottomUp_ = true;
    }
    packed_ = settings.packedBFrames;
    rc = avio_open(&muxer_->pb, utf8(file_).c_str(), AVIO_FLAG_WRITE);
    if (rc < 0)
        fail("cannot create the file", rc);
    created_ = true;
    rc = avformat_write_header(muxer_.get(), nullptr);
    if (rc < 0)
        fail("cannot write the AVI headers", rc);

    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!frame_ || !packet_)
        fail("out of memory", AVERROR(ENOMEM));
    frame_->format = encoder_->pix_fmt;
    frame_->width = encoder_->width;
    frame_->height = encoder_->height;
    rc = av_frame_get_buffer(frame_.get(), 0);
    if (rc < 0)
        fail("cannot allocate a picture", rc);
    if (encoder_->pix_fmt != AV_PIX_FMT_BGR24 && encoder_->pix_fmt != AV_PIX_FMT_PAL8) {
        scaler_.reset(sws_getContext(encoder_->width, encoder_->height, AV_PIX_FMT_BGR24,
                                     encoder_->width, encoder_->height, encoder_->pix_fmt,
                                     SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
        if (!scaler_)
            fail("cannot convert pictures to the encoder's pixel format", AVERROR(EINVAL));
        if (settings.fullRange)
            makeFullRange(*scaler_);
    }
}

AviWriter::~AviWriter() {
    if (!created_ || finished_)
        return;
    muxer_.reset();
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
}

void AviWriter::fail(const std::string& what, int code) const {
    throw std::runtime_error(utf8(file_) + ": " + what + ": " + ffmpegErrorText(code));
}

void AviWriter::fillFrame(const BgrImage& picture) {
    AVFrame& frame = *frame_;
    const int height = picture.height();
    const auto sourceRow = [&](int y) { return bottomUp_ ? height - 1 - y : y; };
    if (frame.format == AV_PIX_FMT_PAL8) {
        auto* palette = reinterpret_cast<std::uint32_t*>(frame.data[1]);
        for (int i = 0; i < 256; ++i)
            palette[i] = paletteEntry(i);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < picture.width(); ++x)
                frame.data[0][y * frame.linesize[0] + x] =
                    paletteIndex(picture.pixel(x, sourceRow(y)));
    } else if (frame.format == AV_PIX_FMT_BGR24) {
        for (int y = 0; y < height; ++y)
            std::memcpy(frame.data[0] + y * frame.linesize[0],
                        picture.bytes() + sourceRow(y) * picture.stride(), picture.stride());
    } else {
        const std::uint8_t* source[] = {picture.bytes()};
        const int sourceStride[] = {picture.stride()};
        sws_scale(scaler_.get(), source, sourceStride, 0, picture.height(), frame.data,
                  frame.linesize);
    }
}

void AviWriter::writePicture(const BgrImage& picture, int frameNumber) {
    if (picture.width() != encoder_->width || picture.height() != encoder_->height)
        throw std::invalid_argument("picture size differs from the movie's");
    const int rc = av_frame_make_writable(frame_.get());
    if (rc < 0)
        fail("cannot reuse the picture buffer", rc);
    fillFrame(picture);
    frame_->pts = frameNumber;
    encode(frame_.get());
}

void AviWriter::writeEmptyChunk(int frameNumber) {
    if (frameNumber != nextDts_)
        throw std::logic_error("an empty chunk must follow every earlier frame");
    PacketPtr empty(av_packet_alloc());
    if (!empty)
        fail("out of memory", AVERROR(ENOMEM));
    empty->pts = frameNumber;
    empty->dts = frameNumber;
    empty->duration = 1;
    mux(empty.get());
}

void AviWriter::encode(const AVFrame* frame) {
    int rc = avcodec_send_frame(encoder_.get(), frame);
    if (rc < 0)
        fail("the encoder refused a picture", rc);
    while ((rc = avcodec_receive_packet(encoder_.get(), packet_.get())) >= 0)
        mux(packet_.get());
    if (rc != AVERROR(EAGAIN) && rc != AVERROR_EOF)
        fail("the encoder failed", rc);
}

void AviWriter::mux(AVPacket* packet) {
    if (packed_) {
        coded_.push_back(
            {{packet->data, packet->data + packet->size}, (packet->flags & AV_PKT_FLAG_KEY) != 0});
        return;
    }
    // Encoders with B-frames start decoding before zero; the muxer shifts the stream to zero.
    nextDts_ = packet->dts + 1;
    av_packet_rescale_ts(packet, encoder_->time_base, stream_->time_base);
    packet->stream_index = stream_->index;
    const int rc = av_interleaved_write_frame(muxer_.get(), packet);
    if (rc < 0)
        fail("cannot write frame data", rc);
}

// Packed chunks stand in display order, one a frame, so a chunk's number is its time stamp.
void AviWriter::writePackedChunks() {
    const int fps = encoder_->time_base.den;
    const int timeIncrementBits = fps > 1 ? av_log2(static_cast<unsigned>(fps - 1)) + 1 : 1;
    const std::vector<CodedPicture> chunks = packBFrames(coded_, timeIncrementBits);
    packed_ = false;
    for (std::size_t n = 0; n < chunks.size(); ++n) {
        PacketPtr packet(av_packet_alloc());
        if (!packet)
            fail("out of memory", AVERROR(ENOMEM));
        const int rc = av_new_packet(packet.get(), static_cast<int>(chunks[n].bytes.size()));
        if (rc < 0)
            fail("out of memory", rc);
        std::copy(chunks[n].bytes.begin(), chunks[n].bytes.end(), packet->data);
        packet->pts = packet->dts = static_cast<std::int64_t>(n);
        packet->duration = 1;
        packet->flags = chunks[n].key ? AV_PKT_FLAG_KEY : 0;
        mux(packet.get());
    }
}

void AviWriter::finish() {
    encode(nullptr);
    if (packed_)
        writePackedChunks();
    int rc = av_write_trailer(muxer_.get());
    if (rc < 0)
        fail("cannot write the index", rc);
    rc = avio_closep(&muxer_->pb);
    if (rc < 0)
        fail("cannot close the file", rc);
    finished_ = true;
}

} // namespace testmedia
