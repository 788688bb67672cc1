#pragma once

// Writes AVI movies for the tests and benchmarks with FFmpeg's encoders. Every frame's picture
// carries its own frame number, so a decoded frame can be identified even after lossy coding.
//
// Chunks are stored in decode order, one a frame, stream time base 1/fps. Raw pictures are
// stored bottom row first, as AVI files usually hold them; paletted ones carry their palette in
// the stream header. Dropped frames are zero-size chunks and need an intra-only codec (an inter
// codec would predict from a picture no decoder sees): writeMovie refuses them otherwise.
// Pictures of 64 x 48 and more suit every codec; smaller ones (8 x 6 at least) are for lossless
// codecs. Encoders have size rules of their own: Cinepak and MS Video 1 take multiples of 4.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testmedia {

enum class Codec {
    Mjpeg,
    RawBgr24,
    RawPal8,
    Mpeg4BFrames,       // MPEG-4 part 2 with B-frames, GOP as in MovieRecipe::gop
    Mpeg4PackedBFrames, // the same with each B-frame packed with a reference (PackedBFrames.h)
    MsVideo1,
    Cinepak,
    HuffYuv,
    Ffv1,
    Zmbv,
    // further codecs the installed FFmpeg can put into AVI
    Mpeg4Intra,
    MsMpeg4v2,
    H264,
    H264FullRange10, // 10-bit H.264 flagged full range: a format with no full-range twin
    Png,
    Utvideo,
};

struct MovieRecipe {
    Codec codec = Codec::Mjpeg;
    int width = 128;
    int height = 96;
    int frames = 30;
    int fps = 25;
    int gop = 12;                   // key-frame interval for inter codecs
    int bFrames = 2;                // B-frames between references where the codec has them
    std::vector<int> droppedFrames; // frame numbers written as zero-size chunks
    bool sample = false;            // the pleasant picture of the built-in sample movie
    int aspectNum = 0;              // the sample aspect ratio the codec declares; 0: none
    int aspectDen = 1;
};

// A decoded picture to check: rows top-first, 3 bytes a pixel (blue, green, red).
struct BgrView {
    const std::uint8_t* bytes = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

std::string codecName(Codec codec);

// Every codec that the FFmpeg at hand can encode into AVI (checked at run time).
std::vector<Codec> availableCodecs();

// True for codecs whose every frame is a key frame.
bool isIntraOnly(Codec codec);

// True for codecs that code B-frames: decode order differs from display order.
bool reordersFrames(Codec codec);

// True when decoding gives back expectedPicture() byte for byte.
bool isRgbExact(Codec codec);

// Writes the movie; throws std::runtime_error naming the file and the reason, and
// std::invalid_argument for settings no movie can have.
void writeMovie(const std::filesystem::path& file, const MovieRecipe& recipe);

// The picture of frame n as the movie codes it (paletted movies: in palette colours): rows
// top-first, 3 bytes a pixel (blue, green, red), width * 3 bytes a row.
std::vector<std::uint8_t> expectedPicture(const MovieRecipe& movie, int n);

// The frame number a picture shows, or -1 when it shows none.
int readFrameNumber(const BgrView& picture);

enum class Malformed {
    Empty,             // zero bytes
    NotRiff,           // text, not a RIFF file
    TruncatedInData,   // cut in the middle of the frame data
    NoIndex,           // idx1 removed (and the header flag cleared)
    OverclaimedFrames, // header says more frames than the file holds
};

std::string malformedName(Malformed kind);

// Writes a broken file derived from a small valid MJPEG movie of `frames` frames.
void writeMalformed(const std::filesystem::path& file, Malformed kind, int frames = 30);

// The movie of `recipe` cut halfway through its video chunk `chunk` (stored order, from 0), or
// just before it, as a copy or a capture that stopped early leaves it: no index, the headers'
// counts unchanged. `riffSizeFixed`: the RIFF header counts only the bytes left, as a repair
// tool would leave it.
struct Cut {
    int chunk = 0;
    bool insideChunk = true;
    bool riffSizeFixed = false;
};
void writeCutMovie(const std::filesystem::path& file, const MovieRecipe& recipe, const Cut& cut);

// The movie of `recipe` without its index (and the header flag that announces one).
void writeIndexlessMovie(const std::filesystem::path& file, const MovieRecipe& recipe);

// A valid MJPEG movie of `frames` frames but for frame `garbled`, whose data are zeros: a
// picture no decoder accepts, in a file whose layout and index are sound.
void writeGarbledFrame(const std::filesystem::path& file, int frames, int garbled);
void writeGarbledFrames(const std::filesystem::path& file, int frames,
                        const std::vector<int>& garbled);

// A valid MJPEG movie of `frames` frames but for a stretch of noise amid the data of frame
// `scrambled`: the decoder still makes a picture of it, partly garbage, and says so only in its
// log.
void writeScrambledFrame(const std::filesystem::path& file, int frames, int scrambled);

// The movie of `recipe` with the same noise amid the data of its video chunk `scrambled` (stored
// order).
void writeScrambledChunk(const std::filesystem::path& file, const MovieRecipe& recipe,
                         int scrambled);

// A valid MJPEG movie of `frames` frames whose video chunks `first` to `last` (headers and
// data) are overwritten with noise, its index intact: the index points at chunks that are gone.
void writeOverwrittenChunks(const std::filesystem::path& file, int frames, int first, int last);

// A valid MJPEG movie of `frames` frames whose index entry of chunk `entry` is damaged as
// `damage` says.
enum class IndexEntryDamage {
    Size, // another size than its chunk's
    Id,   // a chunk id of no stream
};
void writeDamagedIndexEntry(const std::filesystem::path& file, int frames, int entry,
                            IndexEntryDamage damage);

// A valid MJPEG movie of `frames` frames with a sound chunk (of a stream the headers do not
// list) stored before video chunk `before`, and the index entry of chunk `entry` pointing at
// that sound chunk: an entry out of sequence, on another stream's chunk.
void writeMisindexedMovie(const std::filesystem::path& file, int frames, int entry, int before);

// A folder of this test process under KIRIMO_TEST_TMP (or the system's temp folder), emptied on
// first use: scratchFolder("media") is ".../media-<pid>".
std::filesystem::path scratchFolder(const std::string& name);

// The movie of the recipe, written once per process and shared by every test that asks for it.
std::filesystem::path sharedMovie(const MovieRecipe& recipe);

// The built-in sample movie of the run command: 320 x 240, 300 frames at 30 fps, MJPEG.
void writeSampleMovie(const std::filesystem::path& file);

} // namespace testmedia
