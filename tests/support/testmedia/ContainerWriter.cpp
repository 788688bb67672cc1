#include "support/testmedia/ContainerWriter.h"

#include "support/testmedia/AviWriter.h"
#include "support/testmedia/BgrImage.h"

#include <cstring>
#include <stdexcept>
#include <system_error>

extern "C" {
#include <libavutil/opt.h>
}

// libx265 keeps a few buffers of its own for the life of the process; the leak checker of a
// sanitizer build is told so rather than failing every run that writes an HEVC movie.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}

namespace testmedia {

namespace {

std::string utf8(const std::filesystem::path& file) {
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

} // namespace

ContainerWriter::ContainerWriter(std::filesystem::path file, const EncoderSettings& encoder,
                                 const ContainerSettings& container,
                                 const std::string& firstPassStats)
    : file_(std::move(file)) {
    // Muxers that keep the codec's set-up in their headers need it from the encoder up front.
    EncoderSettings settings = encoder;
    const AVOutputFormat* format = av_guess_format(container.muxer.c_str(), nullptr, nullptr);
    if (format != nullptr && (format->flags & AVFMT_GLOBALHEADER))
        settings.options.emplace_back("flags", "+global_header");
    try {
        openEncoder(settings, firstPassStats);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(utf8(file_) + ": " + e.what());
    }
    openMuxer(container);
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!frame_ || !packet_)
        fail("out of memory", AVERROR(ENOMEM));
    frame_->format = encoder_->pix_fmt;
    frame_->width = encoder_->width;
    frame_->height = encoder_->height;
    frame_->colorspace = encoder_->colorspace;
    frame_->color_range = encoder_->color_range;
    if (const int rc = av_frame_get_buffer(frame_.get(), 0); rc < 0)
        fail("cannot allocate a picture", rc);
    prepareScaler();
}

void ContainerWriter::openEncoder(const EncoderSettings& settings, const std::string& stats) {
    if (stats.empty()) {
        encoder_ = testmedia::openEncoder(settings);
        return;
    }
    // The statistics are no option the encoder takes by name: open it by hand.
    const AVCodec* codec = avcodec_find_encoder_by_name(settings.encoder.c_str());
    if (codec == nullptr)
        throw std::runtime_error("this FFmpeg has no encoder " + settings.encoder);
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_)
        throw std::runtime_error("out of memory for encoder " + settings.encoder);
    AVCodecContext& context = *encoder_;
    context.width = settings.width;
    context.height = settings.height;
    context.pix_fmt = settings.pixelFormat;
    context.time_base = {1, settings.fps};
    context.framerate = {settings.fps, 1};
    context.gop_size = settings.gop;
    context.max_b_frames = settings.bFrames;
    context.bit_rate = settings.bitRate;
    context.thread_count = 1;
    context.flags |= AV_CODEC_FLAG_PASS2;
    stats_ = stats;
    context.stats_in = stats_.data();
    for (const auto& [name, value] : settings.options)
        if (const int rc =
                av_opt_set(&context, name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN);
            rc < 0)
            throw std::runtime_error("encoder " + settings.encoder + " refuses option " + name);
    if (const int rc = avcodec_open2(&context, codec, nullptr); rc < 0)
        throw std::runtime_error("cannot open encoder " + settings.encoder + ": " +
                                 ffmpegErrorText(rc));
}

std::string ContainerWriter::firstPassStats() const {
    return encoder_->stats_out != nullptr ? encoder_->stats_out : "";
}

void ContainerWriter::openMuxer(const ContainerSettings& container) {
    AVFormatContext* muxer = nullptr;
    // The file's name too: muxers that rewrite the file at the end open it again.
    int rc = avformat_alloc_output_context2(&muxer, nullptr, container.muxer.c_str(),
                                            utf8(file_).c_str());
    if (rc < 0)
        fail("cannot set up the " + container.muxer + " muxer", rc);
    muxer_.reset(muxer);
    stream_ = avformat_new_stream(muxer_.get(), nullptr);
    if (stream_ == nullptr)
        fail("cannot add a video stream", AVERROR(ENOMEM));
    rc = avcodec_parameters_from_context(stream_->codecpar, encoder_.get());
    if (rc < 0)
        fail("cannot take the encoder's parameters", rc);
    if (!container.bitstreamFilter.empty())
        openFilter(container.bitstreamFilter);
    stream_->time_base = encoder_->time_base;
    stream_->avg_frame_rate = encoder_->framerate;
    if (container.displayMatrix) {
        std::uint8_t* matrix = av_stream_new_side_data(stream_, AV_PKT_DATA_DISPLAYMATRIX,
                                                       sizeof *container.displayMatrix);
        if (matrix == nullptr)
            fail("cannot add a display matrix", AVERROR(ENOMEM));
        std::memcpy(matrix, container.displayMatrix->data(), sizeof *container.displayMatrix);
    }
    AVDictionary* options = nullptr;
    for (const auto& [name, value] : container.muxerOptions)
        av_dict_set(&options, name.c_str(), value.c_str(), 0);
    if (!(muxer_->oformat->flags & AVFMT_NOFILE)) {
        rc = avio_open(&muxer_->pb, utf8(file_).c_str(), AVIO_FLAG_WRITE);
        if (rc < 0) {
            av_dict_free(&options);
            fail("cannot create the file", rc);
        }
        created_ = true;
    }
    rc = avformat_write_header(muxer_.get(), &options);
    av_dict_free(&options);
    if (rc < 0)
        fail("cannot write the headers", rc);
}

// The source pictures are BGR; the encoder's matrix and range turn them into its YUV.
void ContainerWriter::prepareScaler() {
    scaler_.reset(sws_getContext(encoder_->width, encoder_->height, AV_PIX_FMT_BGR24,
                                 encoder_->width, encoder_->height, encoder_->pix_fmt,
                                 SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr,
                                 nullptr, nullptr));
    if (!scaler_)
        fail("cannot convert pictures to the encoder's pixel format", AVERROR(EINVAL));
    int* inverse = nullptr;
    int* table = nullptr;
    int sourceRange = 0;
    int range = 0;
    int brightness = 0;
    int contrast = 0;
    int saturation = 0;
    if (sws_getColorspaceDetails(scaler_.get(), &inverse, &sourceRange, &table, &range, &brightness,
                                 &contrast, &saturation) < 0)
        return;
    const int matrix =
        encoder_->colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : encoder_->colorspace;
    sws_setColorspaceDetails(scaler_.get(), inverse, sourceRange, sws_getCoefficients(matrix),
                             encoder_->color_range == AVCOL_RANGE_JPEG ? 1 : 0, brightness,
                             contrast, saturation);
}

ContainerWriter::~ContainerWriter() {
    if (!created_ || finished_)
        return;
    muxer_.reset();
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
}

void ContainerWriter::fail(const std::string& what, int code) const {
    throw std::runtime_error(utf8(file_) + ": " + what + ": " + ffmpegErrorText(code));
}

void ContainerWriter::writePicture(const BgrImage& picture, std::int64_t pts) {
    if (picture.width() != encoder_->width || picture.height() != encoder_->height)
        throw std::invalid_argument("picture size differs from the movie's");
    if (const int rc = av_frame_make_writable(frame_.get()); rc < 0)
        fail("cannot reuse the picture buffer", rc);
    const std::uint8_t* source[] = {picture.bytes()};
    const int sourceStride[] = {picture.stride()};
    sws_scale(scaler_.get(), source, sourceStride, 0, picture.height(), frame_->data,
              frame_->linesize);
    frame_->pts = pts;
    encode(frame_.get());
}

void ContainerWriter::openFilter(const std::string& chain) {
    AVBSFContext* filter = nullptr;
    int rc = av_bsf_list_parse_str(chain.c_str(), &filter);
    if (rc < 0)
        fail("cannot set up the bitstream filter " + chain, rc);
    filter_.reset(filter);
    rc = avcodec_parameters_copy(filter_->par_in, stream_->codecpar);
    if (rc < 0)
        fail("cannot hand the bitstream filter its parameters", rc);
    filter_->time_base_in = encoder_->time_base;
    rc = av_bsf_init(filter_.get());
    if (rc < 0)
        fail("cannot start the bitstream filter " + chain, rc);
    rc = avcodec_parameters_copy(stream_->codecpar, filter_->par_out);
    if (rc < 0)
        fail("cannot take the bitstream filter's parameters", rc);
}

void ContainerWriter::encode(const AVFrame* frame) {
    int rc = avcodec_send_frame(encoder_.get(), frame);
    if (rc < 0)
        fail("the encoder refused a picture", rc);
    while ((rc = avcodec_receive_packet(encoder_.get(), packet_.get())) >= 0)
        writePacket(packet_.get());
    if (rc != AVERROR(EAGAIN) && rc != AVERROR_EOF)
        fail("the encoder failed", rc);
    if (frame == nullptr && filter_)
        writePacket(nullptr);
}

// Through the bitstream filter where there is one; nullptr drains it.
void ContainerWriter::writePacket(AVPacket* packet) {
    if (filter_) {
        if (const int rc = av_bsf_send_packet(filter_.get(), packet); rc < 0)
            fail("the bitstream filter refused a packet", rc);
        int rc = 0;
        while ((rc = av_bsf_receive_packet(filter_.get(), packet_.get())) >= 0)
            mux(*packet_);
        if (rc != AVERROR(EAGAIN) && rc != AVERROR_EOF)
            fail("the bitstream filter failed", rc);
        return;
    }
    mux(*packet);
}

void ContainerWriter::mux(AVPacket& packet) {
    av_packet_rescale_ts(&packet, encoder_->time_base, stream_->time_base);
    packet.stream_index = stream_->index;
    if (const int written = av_interleaved_write_frame(muxer_.get(), &packet); written < 0)
        fail("cannot write frame data", written);
}

void ContainerWriter::finish() {
    encode(nullptr);
    int rc = av_write_trailer(muxer_.get());
    if (rc < 0)
        fail("cannot finish the file", rc);
    if (muxer_->pb != nullptr) {
        rc = avio_closep(&muxer_->pb);
        if (rc < 0)
            fail("cannot close the file", rc);
    }
    finished_ = true;
}

} // namespace testmedia
