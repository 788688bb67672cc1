#include "support/testmedia/RiffFile.h"
#include "support/testmedia/TestMedia.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <stdexcept>

namespace testmedia {

namespace {

constexpr std::uint32_t hasIndex = 0x10;     // AVIF_HASINDEX
constexpr std::uint32_t mustUseIndex = 0x20; // AVIF_MUSTUSEINDEX
constexpr std::size_t avihFlags = 12;
constexpr std::size_t avihTotalFrames = 16;
constexpr std::size_t strhLength = 32;
constexpr std::size_t dmlhTotalFrames = 0;

std::string fileText(const std::filesystem::path& file) {
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error(fileText(file) + ": cannot open for reading");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error(fileText(file) + ": cannot create the file");
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error(fileText(file) + ": cannot write");
}

// Cuts in the middle of the frame chunk that lies at 55% of the movie data.
void truncateInData(RiffFile& riff) {
    const RiffFile::Chunk movi = riff.require(riff.root(), "LIST", "movi");
    const std::size_t target = movi.dataOffset() + 4 + (movi.size - 4) * 55 / 100;
    for (const RiffFile::Chunk& chunk : riff.children(movi))
        if (chunk.end() > target && chunk.size >= 2) {
            riff.truncate(chunk.dataOffset() + chunk.size / 2);
            return;
        }
    throw std::runtime_error("no frame data to cut");
}

void removeIndex(RiffFile& riff) {
    riff.erase(riff.require(riff.root(), "idx1"));
    const RiffFile::Chunk hdrl = riff.require(riff.root(), "LIST", "hdrl");
    const std::size_t flags = riff.require(hdrl, "avih").dataOffset() + avihFlags;
    riff.write32(flags, riff.read32(flags) & ~(hasIndex | mustUseIndex));
}

void claimFrames(RiffFile& riff, std::uint32_t frames) {
    const RiffFile::Chunk hdrl = riff.require(riff.root(), "LIST", "hdrl");
    riff.write32(riff.require(hdrl, "avih").dataOffset() + avihTotalFrames, frames);
    for (const RiffFile::Chunk& strl : riff.children(hdrl)) {
        if (strl.listType != "strl")
            continue;
        const RiffFile::Chunk strh = riff.require(strl, "strh");
        const auto type = riff.bytes().data() + strh.dataOffset();
        if (std::string_view(reinterpret_cast<const char*>(type), 4) == "vids")
            riff.write32(strh.dataOffset() + strhLength, frames);
    }
    // The extended header counts the frames too; keep the lie consistent.
    if (const auto odml = riff.find(hdrl, "LIST", "odml"))
        if (const auto dmlh = riff.find(*odml, "dmlh"))
            riff.write32(dmlh->dataOffset() + dmlhTotalFrames, frames);
}

std::vector<std::size_t> videoChunkOffsets(const RiffFile& riff) {
    std::vector<std::size_t> chunks;
    for (const RiffFile::Chunk& chunk : riff.children(riff.require(riff.root(), "LIST", "movi")))
        if (chunk.id.substr(2) == "dc")
            chunks.push_back(chunk.offset);
    return chunks;
}

} // namespace

std::string malformedName(Malformed kind) {
    switch (kind) {
    case Malformed::Empty:
        return "Empty";
    case Malformed::NotRiff:
        return "NotRiff";
    case Malformed::TruncatedInData:
        return "TruncatedInData";
    case Malformed::NoIndex:
        return "NoIndex";
    case Malformed::OverclaimedFrames:
        return "OverclaimedFrames";
    }
    throw std::invalid_argument("unknown kind of malformed file");
}

void writeMalformed(const std::filesystem::path& file, Malformed kind, int frames) {
    if (kind == Malformed::Empty)
        return writeBytes(file, {});
    if (kind == Malformed::NotRiff) {
        const std::string text = "This is a plain text file, not a movie.\n";
        return writeBytes(file, {text.begin(), text.end()});
    }
    if (frames < 1)
        throw std::invalid_argument("a broken movie is made from at least one frame");

    MovieRecipe movie;
    movie.frames = frames;
    writeMovie(file, movie);
    try {
        RiffFile riff(readBytes(file));
        switch (kind) {
        case Malformed::TruncatedInData:
            truncateInData(riff);
            break;
        case Malformed::NoIndex:
            removeIndex(riff);
            break;
        case Malformed::OverclaimedFrames:
            claimFrames(riff, static_cast<std::uint32_t>(frames) * 2);
            break;
        default:
            break;
        }
        writeBytes(file, riff.bytes());
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(fileText(file) + ": " + e.what());
    }
}

void writeCutMovie(const std::filesystem::path& file, const MovieRecipe& recipe, const Cut& cut) {
    writeMovie(file, recipe);
    RiffFile riff(readBytes(file));
    int seen = 0;
    for (const RiffFile::Chunk& stored : riff.children(riff.require(riff.root(), "LIST", "movi"))) {
        if (stored.id.substr(2) != "dc" || seen++ != cut.chunk)
            continue;
        if (cut.insideChunk && stored.size < 2)
            throw std::invalid_argument("the chunk to cut holds no data");
        riff.truncate(cut.insideChunk ? stored.dataOffset() + stored.size / 2 : stored.offset);
        if (cut.riffSizeFixed)
            riff.write32(4, static_cast<std::uint32_t>(riff.bytes().size() - 8));
        return writeBytes(file, riff.bytes());
    }
    throw std::invalid_argument("the movie has no chunk " + std::to_string(cut.chunk));
}

void writeIndexlessMovie(const std::filesystem::path& file, const MovieRecipe& recipe) {
    writeMovie(file, recipe);
    RiffFile riff(readBytes(file));
    removeIndex(riff);
    writeBytes(file, riff.bytes());
}

namespace {

// Overwrites the data of video chunks (stored order) of a fresh movie as `damage` says.
template <typename Damage>
void writeDamagedChunks(const std::filesystem::path& file, const MovieRecipe& movie,
                        const std::vector<int>& damaged, Damage damage) {
    for (const int frame : damaged)
        if (frame < 0 || frame >= movie.frames)
            throw std::invalid_argument("the damaged frames must be the movie's");
    writeMovie(file, movie);
    RiffFile riff(readBytes(file));
    std::vector<std::uint8_t> bytes = riff.bytes();
    std::size_t found = 0;
    int frame = 0;
    for (const RiffFile::Chunk& chunk : riff.children(riff.require(riff.root(), "LIST", "movi"))) {
        if (chunk.id.substr(2) != "dc" ||
            std::find(damaged.begin(), damaged.end(), frame++) == damaged.end())
            continue;
        damage(std::span(bytes).subspan(chunk.dataOffset(), chunk.size));
        ++found;
    }
    if (found != damaged.size())
        throw std::runtime_error(fileText(file) + ": frame chunk not found");
    writeBytes(file, bytes);
}

// The chunks of MJPEG frames `damaged` in a fresh movie of `frames` frames.
template <typename Damage>
void writeDamagedFrames(const std::filesystem::path& file, int frames,
                        const std::vector<int>& damaged, Damage damage) {
    MovieRecipe movie;
    movie.frames = frames;
    writeDamagedChunks(file, movie, damaged, damage);
}

// Past the headers and the first rows, so that the picture still decodes.
void scramble(std::span<std::uint8_t> data) {
    std::minstd_rand noise(7);
    for (std::uint8_t& byte : data.subspan(data.size() / 3, data.size() / 4))
        byte = static_cast<std::uint8_t>(noise());
}

} // namespace

void writeGarbledFrame(const std::filesystem::path& file, int frames, int garbled) {
    writeGarbledFrames(file, frames, {garbled});
}

void writeGarbledFrames(const std::filesystem::path& file, int frames,
                        const std::vector<int>& garbled) {
    writeDamagedFrames(file, frames, garbled, [](std::span<std::uint8_t> data) {
        std::fill(data.begin(), data.end(), 0);
    });
}

void writeScrambledFrame(const std::filesystem::path& file, int frames, int scrambled) {
    writeDamagedFrames(file, frames, {scrambled}, scramble);
}

void writeScrambledChunk(const std::filesystem::path& file, const MovieRecipe& recipe,
                         int scrambled) {
    writeDamagedChunks(file, recipe, {scrambled}, scramble);
}

void writeOverwrittenChunks(const std::filesystem::path& file, int frames, int first, int last) {
    MovieRecipe movie;
    movie.frames = frames;
    writeMovie(file, movie);
    std::vector<std::uint8_t> bytes = readBytes(file);
    const RiffFile riff(bytes);
    const std::vector<std::size_t> chunks = videoChunkOffsets(riff);
    if (first < 0 || first > last || last + 1 >= static_cast<int>(chunks.size()))
        throw std::invalid_argument("the overwritten chunks must lie inside the movie");
    std::minstd_rand noise(11);
    for (std::size_t at = chunks[static_cast<std::size_t>(first)];
         at < chunks[static_cast<std::size_t>(last) + 1]; ++at)
        bytes[at] = static_cast<std::uint8_t>(noise());
    writeBytes(file, bytes);
}

void writeDamagedIndexEntry(const std::filesystem::path& file, int frames, int entry,
                            IndexEntryDamage damage) {
    MovieRecipe movie;
    movie.frames = frames;
    writeMovie(file, movie);
    RiffFile riff(readBytes(file));
    const RiffFile::Chunk idx1 = riff.require(riff.root(), "idx1");
    const std::size_t at = idx1.dataOffset() + static_cast<std::size_t>(entry) * 16;
    if (at + 16 > idx1.end())
        throw std::invalid_argument("the movie has too few index entries");
    if (damage == IndexEntryDamage::Size)
        riff.write32(at + 12, riff.read32(at + 12) - 16);
    else
        riff.write32(at, 0x63647a7a); // "zzdc"
    writeBytes(file, riff.bytes());
}

void writeMisindexedMovie(const std::filesystem::path& file, int frames, int entry, int before) {
    MovieRecipe movie;
    movie.frames = frames;
    writeMovie(file, movie);
    std::vector<std::uint8_t> bytes = readBytes(file);
    const RiffFile riff(bytes);
    const RiffFile::Chunk movi = riff.require(riff.root(), "LIST", "movi");
    const RiffFile::Chunk idx1 = riff.require(riff.root(), "idx1");
    const std::vector<std::size_t> chunks = videoChunkOffsets(riff);
    if (before >= static_cast<int>(chunks.size()) || entry >= static_cast<int>(chunks.size()))
        throw std::invalid_argument("the movie has too few chunks");
    // Index offsets count from a base the writer chose: the first entry is the first chunk.
    const std::size_t base = chunks.front() - riff.read32(idx1.dataOffset() + 8);
    const std::size_t at = chunks[static_cast<std::size_t>(before)];
    const std::vector<std::uint8_t> sound{'0', '1', 'w', 'b', 16, 0, 0, 0, 0, 0, 0, 0,
                                          0,   0,   0,   0,   0,  0, 0, 0, 0, 0, 0, 0};
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), sound.begin(), sound.end());
    RiffFile edited(std::move(bytes));
    const auto grow = [&](std::size_t offset) {
        edited.write32(offset, edited.read32(offset) + static_cast<std::uint32_t>(sound.size()));
    };
    grow(4);               // RIFF
    grow(movi.offset + 4); // movi
    const std::size_t entries = idx1.dataOffset() + sound.size();
    for (std::size_t e = entries; e + 16 <= entries + idx1.size; e += 16)
        if (base + edited.read32(e + 8) >= at)
            grow(e + 8);
    const std::size_t wrong = entries + static_cast<std::size_t>(entry) * 16;
    edited.write32(wrong + 8, static_cast<std::uint32_t>(at - base));
    edited.write32(wrong + 12, 16);
    writeBytes(file, edited.bytes());
}

} // namespace testmedia
