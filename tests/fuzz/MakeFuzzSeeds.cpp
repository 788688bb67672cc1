// kirimo-fuzz-seeds OUT: writes the first inputs of every fuzz harness into OUT/<harness>/:
// small movies from the tests' own makers, sound and broken, and the examples the text parsers
// are defined by. Nothing binary is kept in the sources.

#include "IndexEntriesInput.h"
#include "Mp4TrackInput.h"
#include "media/FrameIndex.h"
#include "media/IndexFile.h"
#include "media/Movie.h"
#include "support/testmedia/ContainerDamage.h"
#include "support/testmedia/ContainerMedia.h"
#include "support/testmedia/ParserTraps.h"
#include "support/testmedia/TestMedia.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testmedia::Container;
using testmedia::ContainerDamage;
using testmedia::VideoCodec;

Bytes readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeSeed(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write the seed " + (folder / name).string());
}

void writeTexts(const fs::path& folder, std::initializer_list<std::string_view> texts) {
    int n = 0;
    for (const std::string_view text : texts)
        writeSeed(folder, "text" + std::to_string(n++), Bytes(text.begin(), text.end()));
}

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

// The first video stream's index as the demuxer builds it on opening the file.
std::unique_ptr<AVFormatContext, InputCloser> openForIndex(const fs::path& file, AVStream*& video) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, file.c_str(), nullptr, nullptr) < 0)
        throw std::runtime_error("cannot open the seed movie " + file.string());
    std::unique_ptr<AVFormatContext, InputCloser> input(raw);
    video = nullptr;
    for (unsigned i = 0; i < input->nb_streams && video == nullptr; ++i)
        if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            video = input->streams[i];
    if (video == nullptr)
        throw std::runtime_error("no video stream in the seed movie " + file.string());
    return input;
}

// The index of an AVI file as the chunk index is given it: whole, and cut at its middle chunk.
void writeIndexSeeds(const fs::path& folder, const std::string& name, const fs::path& movie) {
    AVStream* video = nullptr;
    const auto input = openForIndex(movie, video);
    IndexEntriesInput seed;
    seed.fileSize = static_cast<std::int64_t>(fs::file_size(movie));
    const int count = avformat_index_get_entries_count(video);
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(video, i);
        seed.entries.push_back({entry->pos, entry->timestamp, entry->size, entry->flags});
    }
    writeSeed(folder, name, seed.encode());
    if (count > 1) {
        seed.firstDamaged = seed.entries[static_cast<std::size_t>(count / 2)].timestamp;
        writeSeed(folder, name + "-damaged", seed.encode());
    }
}

void writeMp4Seed(const fs::path& folder, const std::string& name, const fs::path& movie) {
    AVStream* video = nullptr;
    const auto input = openForIndex(movie, video);
    writeSeed(
        folder, name,
        Mp4TrackInput::encode(video->id, avformat_index_get_entries_count(video), readAll(movie)));
}

testmedia::MovieRecipe aviRecipe(testmedia::Codec codec, int frames) {
    testmedia::MovieRecipe recipe;
    recipe.codec = codec;
    recipe.width = 64;
    recipe.height = 48;
    recipe.frames = frames;
    return recipe;
}

void writeAviSeeds(const fs::path& out, const fs::path& scratch) {
    using testmedia::Codec;
    using testmedia::Malformed;
    std::vector<std::pair<std::string, fs::path>> movies;
    const auto add = [&](const std::string& name) {
        movies.emplace_back(name, scratch / (name + ".avi"));
        return movies.back().second;
    };
    testmedia::writeMovie(add("mjpeg"), aviRecipe(Codec::Mjpeg, 4));
    testmedia::MovieRecipe dropped = aviRecipe(Codec::RawPal8, 6);
    dropped.width = 16;
    dropped.height = 12;
    dropped.droppedFrames = {2, 4, 5}; // the last two at the end of the index
    testmedia::writeMovie(add("dropped"), dropped);
    testmedia::writeMovie(add("mpeg4-bframes"), aviRecipe(Codec::Mpeg4BFrames, 8));
    testmedia::writeCutMovie(add("cut"), aviRecipe(Codec::Mjpeg, 4), {2, true, false});
    testmedia::writeIndexlessMovie(add("indexless"), aviRecipe(Codec::Mjpeg, 4));
    testmedia::writeMisindexedMovie(add("misindexed"), 4, 1, 2);
    for (const Malformed kind :
         {Malformed::TruncatedInData, Malformed::NoIndex, Malformed::OverclaimedFrames})
        testmedia::writeMalformed(add(testmedia::malformedName(kind)), kind, 4);
    for (const auto& [name, movie] : movies) {
        for (const std::string harness : {"avi_layout", "movi_chunks"})
            writeSeed(out / harness, name, readAll(movie));
        if (name != "indexless" && name != testmedia::malformedName(Malformed::NoIndex))
            writeIndexSeeds(out / "chunk_index", name, movie);
    }
}

testmedia::ContainerRecipe containerRecipe(Container container, VideoCodec codec, int frames) {
    testmedia::ContainerRecipe recipe;
    recipe.container = container;
    recipe.codec = codec;
    recipe.frames = frames;
    recipe.gop = 6;
    return recipe;
}

// The index a movie keeps for pickles and save_index(); none for a movie we refuse (a raw
// stream without times) or that needs none.
void writeIndexFileSeed(const fs::path& folder, const std::string& name, const fs::path& movie) {
    try {
        const media::Movie opened(movie);
        if (opened.index())
            writeSeed(folder, name, media::IndexFile(opened.index(), -1).bytes());
    } catch (const media::MovieError&) {
    }
}

void writeContainerSeeds(const fs::path& out, const fs::path& scratch) {
    for (const Container container :
         {Container::Mp4, Container::Mp4FastStart, Container::Mp4EditList,
          Container::Mp4NegativeOffsets, Container::Mp4CoverFirst, Container::Mov}) {
        const auto recipe = containerRecipe(container, VideoCodec::H264, 8);
        const fs::path movie = scratch / (testmedia::recipeName(recipe) + ".mp4");
        testmedia::writeContainerMovie(movie, recipe);
        writeMp4Seed(out / "mp4_composition_offsets", testmedia::recipeName(recipe), movie);
    }
    const testmedia::ContainerRecipe passes[] = {
        containerRecipe(Container::MpegTs, VideoCodec::H264, 12),
        containerRecipe(Container::MpegTsWrap, VideoCodec::H264, 12),
        containerRecipe(Container::MpegTs, VideoCodec::Mpeg2, 12),
        containerRecipe(Container::MpegPs, VideoCodec::Mpeg4, 12),
        containerRecipe(Container::MatroskaNoCues, VideoCodec::H264, 12),
        containerRecipe(Container::FragmentedMp4, VideoCodec::H264, 12),
        containerRecipe(Container::RawH264, VideoCodec::H264, 12),
        containerRecipe(Container::RawMpeg2, VideoCodec::Mpeg2, 12),
        containerRecipe(Container::WebM, VideoCodec::Vp9, 12)};
    for (const auto& recipe : passes) {
        const fs::path movie = scratch / (testmedia::recipeName(recipe) +
                                          testmedia::containerExtension(recipe.container));
        testmedia::writeContainerMovie(movie, recipe);
        writeSeed(out / "demux_index", testmedia::recipeName(recipe), readAll(movie));
        writeIndexFileSeed(out / "index_file", testmedia::recipeName(recipe), movie);
    }
    for (const ContainerDamage damage :
         {ContainerDamage::TransportStampFar, ContainerDamage::TransportStampFarH264,
          ContainerDamage::TransportLostPackets, ContainerDamage::FragmentLost,
          ContainerDamage::ElementaryStream})
        writeSeed(out / "demux_index", testmedia::damageName(damage),
                  readAll(testmedia::damagedContainerMovie(damage)));
    for (const ContainerDamage damage :
         {ContainerDamage::TransportCutAtKey, ContainerDamage::MatroskaCutMidGop})
        writeSeed(out / "cut_start", testmedia::damageName(damage),
                  readAll(testmedia::damagedContainerMovie(damage)));
}

// A saved index whose cut-short mark reads 2: taken as 1, it was written back otherwise.
Bytes indexMarkedCutShortTwice() {
    media::PacketList list;
    list.packets.push_back(
        {.pts = 0, .dts = 0, .pos = 100, .seekPos = 100, .size = 10, .key = true});
    media::MovieIndex index{{}, std::make_shared<const media::FrameIndex>(std::move(list))};
    Bytes bytes =
        media::IndexFile(std::make_shared<const media::MovieIndex>(std::move(index)), -1).bytes();
    bytes.at(32) = 2; // after the magic, format, file size, write time and stream
    return bytes;
}

// The inputs of the faults found so far, as the regression tests make them.
void writeFoundFaults(const fs::path& out) {
    writeSeed(out / "index_file", "cut-short-mark-two", indexMarkedCutShortTwice());
    for (const std::string harness : {"avi_layout", "movi_chunks"}) {
        writeSeed(out / harness, "record-list", testmedia::nestedListsAvi(1));
        writeSeed(out / harness, "nested-lists", testmedia::nestedListsAvi(5000));
    }
    IndexEntriesInput topOfRange;
    topOfRange.fileSize = 1000;
    topOfRange.entries = {{100, 0, 10, AVINDEX_KEYFRAME},
                          {std::numeric_limits<std::int64_t>::max() - 5, 1, 10, 0}};
    writeSeed(out / "chunk_index", "chunk-at-top-of-range", topOfRange.encode());
    writeSeed(out / "mp4_composition_offsets", "box-leading-back",
              Mp4TrackInput::encode(1, 8, testmedia::mp4BoxLeadingBack()));
    writeSeed(out / "demux_index", "stamps-ages-away",
              readAll(testmedia::damagedContainerMovie(ContainerDamage::MatroskaStampsAgesAway)));
}

void writeProfileSeeds(const fs::path& out) {
    const std::initializer_list<std::string_view> files = {
        "[Settings]\r\nPath=C:/My Documents\r\nOther=1\r\n",
        "\xEF\xBB\xBF[Settings]\nLeft=0x1F\nTop=$10\n\n[Window]\nState= \"max\" \n",
        "; comment\r\n[ settings ]\r\nPATH = 'quoted'\r\nOther=\r\n[Settings]\r\nOther=late",
        "[Settings]\r\nPath=\x83\x74\x83\x48\x83\x8B\x83\x5F\r\n", // code page 932
        "Path=before any section\n[]\n=empty key\n[Settings\nOther=unclosed"};
    writeTexts(out / "profile_document", files);
    writeTexts(out / "profile_file", files);
}

void writeCommandLineSeeds(const fs::path& out) {
    writeTexts(out / "time_text", {"12.5", "12.5s", "1.5m", "1:23.5", "01:02:03.040", "90:00",
                                   "0.000000001", "1:60", ".5", "9999999999999m"});
    writeTexts(out / "size_request", {"640x360", "640x", "x360", "50%", "16384x16384", "1638400%",
                                      "0x0", "x", "12x34x56"});
    writeTexts(out / "name_pattern",
               {"{movie}_{frame}", "{frame:10}", "shot{index}-{time}", "{timecode}", "{frame:3}x",
                "{movie}", "a}b{frame}", "{frame:0}", "{frame:11}"});
    writeTexts(out / "frame_list", {"0,10,100-200,500-900/25", "0-2147483647/1000000", "7", "1,,2",
                                    "9-3", "0-9/0", "5/2", "-4", "2147483648"});
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: kirimo-fuzz-seeds OUT\n";
        return 2;
    }
    try {
        const fs::path out = argv[1];
        const fs::path scratch = testmedia::scratchFolder("fuzz-seeds");
        writeAviSeeds(out, scratch);
        writeContainerSeeds(out, scratch);
        writeFoundFaults(out);
        writeProfileSeeds(out);
        writeCommandLineSeeds(out);
    } catch (const std::exception& e) {
        std::cerr << "kirimo-fuzz-seeds: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
