#include "support/testmedia/ContainerMedia.h"

#include "support/testmedia/BgrImage.h"
#include "support/testmedia/CellGrid.h"
#include "support/testmedia/ContainerWriter.h"
#include "support/testmedia/Pictures.h"
#include "support/testmedia/TestMedia.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

extern "C" {
#include <libavutil/display.h>
}

namespace testmedia {

namespace {

// DNxHD takes nothing smaller than 256 x 120.
int widthOf(VideoCodec codec) {
    return codec == VideoCodec::Dnxhd ? 256 : 128;
}
int heightOf(VideoCodec codec) {
    return codec == VideoCodec::Dnxhd ? 144 : 96;
}
constexpr int fps = 25;
// Numbers of pictures before an edit list's start: never shown, so never read.
constexpr int hiddenNumber = 60000;
constexpr int hiddenPictures = 3;
// 2^33 ticks of 90 kHz at 3600 ticks a frame.
constexpr std::int64_t framesToWrap = (std::int64_t{1} << 33) / 3600;

std::string containerName(Container container) {
    switch (container) {
    case Container::Mp4:
        return "Mp4";
    case Container::Mp4FastStart:
        return "Mp4FastStart";
    case Container::FragmentedMp4:
        return "FragmentedMp4";
    case Container::Mp4EditList:
        return "Mp4EditList";
    case Container::Mov:
        return "Mov";
    case Container::Matroska:
        return "Matroska";
    case Container::MatroskaNoCues:
        return "MatroskaNoCues";
    case Container::WebM:
        return "WebM";
    case Container::MpegTs:
        return "MpegTs";
    case Container::MpegTsWrap:
        return "MpegTsWrap";
    case Container::MpegPs:
        return "MpegPs";
    case Container::RawH264:
        return "RawH264";
    case Container::RawMpeg2:
        return "RawMpeg2";
    case Container::RawMpeg4:
        return "RawMpeg4";
    case Container::Mp4NegativeOffsets:
        return "Mp4NegativeOffsets";
    case Container::Mp4CoverFirst:
        return "Mp4CoverFirst";
    }
    return "?";
}

std::string codecName(VideoCodec codec) {
    switch (codec) {
    case VideoCodec::H264:
        return "H264";
    case VideoCodec::Hevc:
        return "Hevc";
    case VideoCodec::Hevc10:
        return "Hevc10";
    case VideoCodec::Vp8:
        return "Vp8";
    case VideoCodec::Vp9:
        return "Vp9";
    case VideoCodec::Av1:
        return "Av1";
    case VideoCodec::Mpeg2:
        return "Mpeg2";
    case VideoCodec::Mpeg4:
        return "Mpeg4";
    case VideoCodec::ProRes:
        return "ProRes";
    case VideoCodec::Dnxhd:
        return "Dnxhd";
    }
    return "?";
}

std::string colourName(ColourCoding colour) {
    switch (colour) {
    case ColourCoding::Bt601Limited:
        return "601tv";
    case ColourCoding::Bt709Limited:
        return "709tv";
    case ColourCoding::Bt601Full:
        return "601pc";
    case ColourCoding::Bt709Full:
        return "709pc";
    }
    return "?";
}

ContainerSettings containerSettings(Container container) {
    switch (container) {
    case Container::Mp4:
    case Container::Mp4EditList:
    case Container::Mp4CoverFirst:
        return {"mp4", {}, {}, {}};
    case Container::Mp4FastStart:
        return {"mp4", {{"movflags", "+faststart"}}, {}, {}};
    case Container::FragmentedMp4:
        return {"mp4", {{"movflags", "frag_keyframe+empty_moov+default_base_moof"}}, {}, {}};
    case Container::Mov:
        return {"mov", {}, {}, {}};
    case Container::Matroska:
    case Container::MatroskaNoCues:
        return {"matroska", {}, {}, {}};
    case Container::WebM:
        return {"webm", {}, {}, {}};
    case Container::MpegTs:
    case Container::MpegTsWrap:
        return {"mpegts", {}, {}, {}};
    case Container::MpegPs:
        return {"vob", {}, {}, {}};
    case Container::RawH264:
        return {"h264", {}, {}, {}};
    case Container::RawMpeg2:
        return {"mpeg2video", {}, {}, {}};
    case Container::RawMpeg4:
        return {"m4v", {}, {}, {}};
    case Container::Mp4NegativeOffsets:
        return {"mp4", {{"movflags", "+negative_cts_offsets"}}, {}, {}};
    }
    return {};
}

EncoderSettings codecSettings(const ContainerRecipe& recipe) {
    EncoderSettings settings;
    settings.width = widthOf(recipe.codec);
    settings.height = heightOf(recipe.codec);
    settings.fps = fps;
    settings.gop = recipe.gop;
    settings.pixelFormat = AV_PIX_FMT_YUV420P;
    const std::string keys = std::to_string(recipe.gop);
    switch (recipe.codec) {
    case VideoCodec::H264:
        // A B-pyramid with fixed runs, key frames only where the GOP puts them.
        settings.encoder = "libx264";
        settings.bFrames = 3;
        settings.options = {{"x264-params", "scenecut=0:b-adapt=0:b-pyramid=normal"}};
        break;
    case VideoCodec::Hevc:
    case VideoCodec::Hevc10:
        // Open GOPs: the leading pictures of each key frame refer to the GOP before.
        settings.encoder = "libx265";
        if (recipe.codec == VideoCodec::Hevc10)
            settings.pixelFormat = AV_PIX_FMT_YUV420P10LE;
        settings.options = {{"x265-params", "log-level=none:bframes=3:open-gop=1:scenecut=0:"
                                            "keyint=" +
                                                keys + ":min-keyint=" + keys}};
        break;
    case VideoCodec::Vp8:
    case VideoCodec::Vp9:
        // Hidden alternate reference pictures.
        settings.encoder = recipe.codec == VideoCodec::Vp8 ? "libvpx" : "libvpx-vp9";
        settings.bitRate = 800000;
        settings.options = {{"auto-alt-ref", "1"},
                            {"lag-in-frames", "16"},
                            {"cpu-used", "8"},
                            {"deadline", "good"}};
        break;
    case VideoCodec::Av1:
        settings.encoder = "libaom-av1";
        settings.options = {{"cpu-used", "8"}, {"crf", "20"}};
        break;
    case VideoCodec::Mpeg2:
        // Open GOPs by default: the B-frames after an I-frame refer to the GOP before.
        settings.encoder = "mpeg2video";
        settings.bFrames = 2;
        settings.bitRate = 1500000;
        break;
    case VideoCodec::Mpeg4:
        settings.encoder = "mpeg4";
        settings.bFrames = 2;
        settings.bitRate = 1500000;
        break;
    case VideoCodec::ProRes:
        settings.encoder = "prores_ks";
        settings.pixelFormat = AV_PIX_FMT_YUV422P10LE;
        settings.gop = 1;
        settings.options = {{"profile", "3"}};
        break;
    case VideoCodec::Dnxhd:
        settings.encoder = "dnxhd";
        settings.pixelFormat = AV_PIX_FMT_YUV422P10LE;
        settings.gop = 1;
        settings.options = {{"profile", "dnxhr_hqx"}};
        break;
    }
    const bool bt709 =
        recipe.colour == ColourCoding::Bt709Limited || recipe.colour == ColourCoding::Bt709Full;
    const bool full =
        recipe.colour == ColourCoding::Bt601Full || recipe.colour == ColourCoding::Bt709Full;
    settings.options.emplace_back("colorspace", bt709 ? "bt709" : "smpte170m");
    settings.options.emplace_back("color_range", full ? "pc" : "tv");
    if (recipe.aspectNum > 0)
        settings.options.emplace_back("aspect", std::to_string(recipe.aspectNum) + "/" +
                                                    std::to_string(recipe.aspectDen));
    return settings;
}

BgrImage pictureOf(const ContainerRecipe& recipe, int number) {
    const int width = widthOf(recipe.codec);
    const int height = heightOf(recipe.codec);
    return recipe.patches ? patchPicture(width, height, number)
                          : testPicture(width, height, number);
}

void writePictures(ContainerWriter& writer, const ContainerRecipe& recipe) {
    std::int64_t first = 0;
    if (recipe.container == Container::Mp4EditList) {
        for (int i = 0; i < hiddenPictures; ++i)
            writer.writePicture(pictureOf(recipe, hiddenNumber + i), i - hiddenPictures);
    } else if (recipe.container == Container::MpegTsWrap) {
        first = framesToWrap - recipe.frames / 2;
    }
    for (int n = 0; n < recipe.frames; ++n)
        writer.writePicture(pictureOf(recipe, n), first + ticksOf(recipe, n));
    writer.finish();
}

// Renames the Cues element (ID 1C 53 BB 6B) to an ID of the same length that no reader knows,
// so the file reads as one written without an index.
void hideCues(const std::filesystem::path& file) {
    std::fstream io(file, std::ios::binary | std::ios::in | std::ios::out);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(io),
                                  std::istreambuf_iterator<char>()};
    const std::string cues = "\x1C\x53\xBB\x6B";
    // The last occurrence: the first is the seek head's note of where the cues are.
    const auto found = std::find_end(bytes.begin(), bytes.end(), cues.begin(), cues.end());
    if (found == bytes.end())
        throw std::runtime_error(file.string() + ": no cues to hide");
    io.clear();
    io.seekp(found - bytes.begin() + 3);
    io.put('\x6C');
    if (!io)
        throw std::runtime_error(file.string() + ": cannot hide the cues");
}

std::string bigEndian32(std::size_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
    return bytes;
}

std::string mp4Box(const std::string& type, const std::string& payload) {
    return bigEndian32(8 + payload.size()) + type + payload;
}

// Puts a cover picture (a PNG of one pixel) into the movie's header box, ahead of the video
// track, so the demuxer lists it as the first stream. The header box is the file's last, so the
// picture data before it stay where the index says they are.
void putCoverFirst(const std::filesystem::path& file) {
    std::vector<char> bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string moov = "moov";
    const std::string mvhd = "mvhd";
    const auto movie = std::search(bytes.begin(), bytes.end(), moov.begin(), moov.end());
    const auto header = std::search(movie, bytes.end(), mvhd.begin(), mvhd.end());
    if (movie == bytes.end() || header == bytes.end() || movie - bytes.begin() < 4)
        throw std::runtime_error(file.string() + ": no movie header box");
    const auto read32 = [](std::vector<char>::const_iterator at) {
        const auto byte = [&](int i) {
            return static_cast<std::size_t>(static_cast<unsigned char>(at[i]));
        };
        return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
    };
    const std::size_t movieSize = read32(movie - 4);
    if (movie - 4 + static_cast<std::ptrdiff_t>(movieSize) != bytes.end())
        throw std::runtime_error(file.string() + ": the movie header box is not the last");
    const std::string picture = coverPicture();
    const std::string handler = std::string(8, '\0') + "mdir" + std::string(13, '\0');
    const std::string data = mp4Box("data", bigEndian32(14) + bigEndian32(0) + picture); // 14: PNG
    const std::string cover =
        mp4Box("udta", mp4Box("meta", std::string(4, '\0') + mp4Box("hdlr", handler) +
                                          mp4Box("ilst", mp4Box("covr", data))));
    const std::size_t headerSize = read32(header - 4);
    const auto after = header - 4 + static_cast<std::ptrdiff_t>(headerSize);
    const std::ptrdiff_t movieAt = movie - 4 - bytes.begin();
    bytes.insert(after, cover.begin(), cover.end());
    const std::string grown = bigEndian32(movieSize + cover.size());
    std::copy(grown.begin(), grown.end(), bytes.begin() + movieAt);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

// VP8 and VP9 place hidden alternate reference pictures only when a first pass has measured
// the movie.
std::string firstPass(const std::filesystem::path& file, const ContainerRecipe& recipe) {
    if (recipe.codec != VideoCodec::Vp8 && recipe.codec != VideoCodec::Vp9)
        return {};
    EncoderSettings settings = codecSettings(recipe);
    settings.options.emplace_back("flags", "+pass1");
    ContainerWriter writer(file, settings, {"null", {}, {}, {}});
    writePictures(writer, recipe);
    return writer.firstPassStats();
}

} // namespace

std::string coverPicture() {
    static const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
        0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
        0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78,
        0x9C, 0x63, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x01, 0x0D, 0x0A, 0x2D, 0xB4, 0x00,
        0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    return {reinterpret_cast<const char*>(png), sizeof png};
}

std::string recipeName(const ContainerRecipe& recipe) {
    std::string name = containerName(recipe.container) + "_" + codecName(recipe.codec);
    if (recipe.patches)
        name += "_patches_" + colourName(recipe.colour);
    if (recipe.variableRate)
        name += "_vfr";
    for (const auto& [display, label] :
         {std::pair{recipe.display, "_turn"}, std::pair{recipe.pictureDisplay, "_sei"}})
        if (display)
            name += label + std::to_string(display->angle) + (display->hflip ? "h" : "") +
                    (display->vflip ? "v" : "");
    if (recipe.aspectNum > 0)
        name += "_sar" + std::to_string(recipe.aspectNum) + "x" + std::to_string(recipe.aspectDen);
    return name + "_" + std::to_string(recipe.frames) + "f_gop" + std::to_string(recipe.gop);
}

std::int64_t ticksOf(const ContainerRecipe& recipe, int n) {
    return recipe.variableRate ? n + n / 4 : n;
}

std::string containerExtension(Container container) {
    switch (container) {
    case Container::Mp4:
    case Container::Mp4FastStart:
    case Container::FragmentedMp4:
    case Container::Mp4EditList:
    case Container::Mp4NegativeOffsets:
    case Container::Mp4CoverFirst:
        return ".mp4";
    case Container::Mov:
        return ".mov";
    case Container::Matroska:
    case Container::MatroskaNoCues:
        return ".mkv";
    case Container::WebM:
        return ".webm";
    case Container::MpegTs:
    case Container::MpegTsWrap:
        return ".ts";
    case Container::MpegPs:
        return ".mpg";
    case Container::RawH264:
        return ".h264";
    case Container::RawMpeg2:
        return ".m2v";
    case Container::RawMpeg4:
        return ".m4v";
    }
    return ".bin";
}

void writeContainerMovie(const std::filesystem::path& file, const ContainerRecipe& recipe) {
    const LogLevelGuard quiet(AV_LOG_ERROR);
    const std::string stats = firstPass(file, recipe);
    {
        ContainerSettings container = containerSettings(recipe.container);
        if (recipe.display) {
            std::array<std::int32_t, 9> matrix{};
            av_display_rotation_set(matrix.data(), recipe.display->angle);
            av_display_matrix_flip(matrix.data(), recipe.display->hflip, recipe.display->vflip);
            container.displayMatrix = matrix;
        }
        if (const std::optional<DisplayMatrix>& sei = recipe.pictureDisplay)
            container.bitstreamFilter =
                "h264_metadata=display_orientation=insert:rotate=" + std::to_string(sei->angle) +
                ":flip=" + (sei->hflip ? "horizontal" : "") +
                (sei->hflip && sei->vflip ? "+" : "") + (sei->vflip ? "vertical" : "") +
                (sei->hflip || sei->vflip ? "" : "0");
        ContainerWriter writer(file, codecSettings(recipe), container, stats);
        writePictures(writer, recipe);
    }
    if (recipe.container == Container::MatroskaNoCues)
        hideCues(file);
    if (recipe.container == Container::Mp4CoverFirst)
        putCoverFirst(file);
}

std::filesystem::path sharedContainerMovie(const ContainerRecipe& recipe) {
    const std::string name = recipeName(recipe) + containerExtension(recipe.container);
    static std::map<std::string, std::filesystem::path> written;
    if (const auto found = written.find(name); found != written.end())
        return found->second;
    const auto file = scratchFolder("containers") / name;
    writeContainerMovie(file, recipe);
    written.emplace(name, file);
    return file;
}

std::vector<ColourPatch> colourPatches(int pictureWidth, int pictureHeight) {
    // Right of the number cells, then the row below them; mid-tones, so that no channel clips
    // whichever matrix or range a decoder wrongly applies.
    const int w = pictureWidth / 4;
    const int h = pictureHeight / 2;
    return {{2 * w, 0, w, h, 40, 40, 200},  {3 * w, 0, w, h, 50, 190, 60},
            {0, h, w, h, 200, 60, 40},      {w, h, w, h, 30, 140, 230},
            {2 * w, h, w, h, 170, 150, 30}, {3 * w, h, w, h, 128, 128, 128}};
}

BgrImage patchPicture(int pictureWidth, int pictureHeight, int n) {
    BgrImage picture(pictureWidth, pictureHeight);
    picture.fillRect(0, 0, pictureWidth, pictureHeight, Bgr{90, 90, 90});
    for (const ColourPatch& patch : colourPatches(pictureWidth, pictureHeight))
        picture.fillRect(patch.x, patch.y, patch.width, patch.height,
                         Bgr{patch.b, patch.g, patch.r});
    const std::optional<CellGrid> grid = CellGrid::forPicture(pictureWidth, pictureHeight);
    if (grid)
        grid->paint(picture, n);
    return picture;
}

} // namespace testmedia
