#pragma once

// Movies in containers other than AVI, for the tests of the generic engine. Pictures carry their
// frame number (CellGrid) over moving ramps, or over flat colour patches for colour checks.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testmedia {

class BgrImage;
struct Bgr;

enum class Container {
    Mp4,
    Mp4FastStart, // the index before the data
    FragmentedMp4,
    Mp4EditList, // three pictures before the edit's start, which no player shows
    Mov,
    Matroska,
    MatroskaNoCues, // the cues (its key-frame index) made an element nobody reads
    WebM,
    MpegTs,
    MpegTsWrap, // time stamps pass the 33-bit wrap halfway through
    MpegPs,
    RawH264, // an elementary stream: no container, no presentation times
    RawMpeg2,
    RawMpeg4,
    Mp4NegativeOffsets, // composition offsets below zero (a version 1 'ctts'), no edit list
    Mp4CoverFirst,      // a cover picture, as tagging tools add one, listed before the video
};

enum class VideoCodec { H264, Hevc, Hevc10, Vp8, Vp9, Av1, Mpeg2, Mpeg4, ProRes, Dnxhd };

// The colour matrix and range the stream declares.
enum class ColourCoding { Bt601Limited, Bt709Limited, Bt601Full, Bt709Full };

// A display matrix as av_display_rotation_set (degrees counterclockwise) and then
// av_display_matrix_flip make it.
struct DisplayMatrix {
    int angle = 0;
    bool hflip = false;
    bool vflip = false;
};

// Pictures of 128 x 96 (DNxHD: 256 x 144), so block codecs see the number cells as whole blocks.
struct ContainerRecipe {
    Container container = Container::Mp4;
    VideoCodec codec = VideoCodec::H264;
    int frames = 36;
    int gop = 12;
    bool patches = false; // flat colour patches instead of ramps
    ColourCoding colour = ColourCoding::Bt601Limited;
    bool variableRate = false; // every fourth frame lasts two ticks of 1/25 s
    std::optional<DisplayMatrix> display{};
    // H.264 only: a display orientation message with every key picture, turned counterclockwise by
    // `angle` (a quarter turn or more) and then mirrored; no matrix in the container.
    std::optional<DisplayMatrix> pictureDisplay{};
    int aspectNum = 0; // the sample aspect ratio the codec and container declare; 0: none
    int aspectDen = 1;
};

std::string recipeName(const ContainerRecipe& recipe);
// A 1 x 1 PNG picture, as tagging tools add to sound files for a cover.
std::string coverPicture();
// When frame n starts, in ticks of 1/25 s from the first frame.
std::int64_t ticksOf(const ContainerRecipe& recipe, int n);
std::string containerExtension(Container container);

// Writes the movie; throws std::runtime_error naming the file and the reason.
void writeContainerMovie(const std::filesystem::path& file, const ContainerRecipe& recipe);
// Written once per process, shared by every test that asks for it.
std::filesystem::path sharedContainerMovie(const ContainerRecipe& recipe);

// The patches of a patch picture: where each lies and the colour it was painted.
struct ColourPatch {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::uint8_t b = 0, g = 0, r = 0;
};
std::vector<ColourPatch> colourPatches(int width, int height);
BgrImage patchPicture(int width, int height, int n);

} // namespace testmedia
