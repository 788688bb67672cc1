#include "media/IndexFile.h"

#include "core/AtomicFile.h"
#include "core/Error.h"
#include "media/FrameIndex.h"
#include "media/MovieError.h"

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>

namespace media {

namespace {

constexpr std::array<char, 8> magic = {'K', 'I', 'R', 'I', 'M', 'O', 'I', 'X'};
constexpr std::uint32_t formatVersion = 1;
constexpr std::size_t packetBytes = 4 * 8 + 4 + 1;

enum PacketFlag : std::uint8_t { keyFlag = 1, shownFlag = 2, decodableFlag = 4 };

// Little-endian whatever the machine, so an index travels between machines.
class Writer {
public:
    void raw(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out_.insert(out_.end(), bytes, bytes + size);
    }
    void number(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    std::vector<std::uint8_t> take() { return std::move(out_); }

private:
    std::vector<std::uint8_t> out_;
};

class Reader {
public:
    Reader(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& movie)
        : bytes_(bytes), movie_(movie) {}

    std::uint64_t number(int size) {
        need(static_cast<std::size_t>(size));
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= static_cast<std::uint64_t>(bytes_[at_ + static_cast<std::size_t>(i)])
                     << (8 * i);
        at_ += static_cast<std::size_t>(size);
        return value;
    }
    std::int64_t signedNumber() { return static_cast<std::int64_t>(number(8)); }
    bool matches(const std::array<char, 8>& expected) {
        need(expected.size());
        const bool same = std::memcmp(bytes_.data() + at_, expected.data(), expected.size()) == 0;
        at_ += expected.size();
        return same;
    }
    std::size_t left() const { return bytes_.size() - at_; }
    [[noreturn]] void fail(const std::string& why) const {
        throw MovieError(movie_, "the saved index cannot be used: " + why,
                         MovieError::Kind::NotAMovie);
    }

private:
    void need(std::size_t size) const {
        if (left() < size)
            fail("it is cut short");
    }

    const std::vector<std::uint8_t>& bytes_;
    const std::filesystem::path& movie_;
    std::size_t at_ = 0;
};

void writePacket(Writer& out, const IndexedPacket& packet) {
    out.number(static_cast<std::uint64_t>(packet.pts), 8);
    out.number(static_cast<std::uint64_t>(packet.dts), 8);
    out.number(static_cast<std::uint64_t>(packet.pos), 8);
    out.number(static_cast<std::uint64_t>(packet.seekPos), 8);
    out.number(static_cast<std::uint32_t>(packet.size), 4);
    out.number((packet.key ? keyFlag : 0) | (packet.shown ? shownFlag : 0) |
                   (packet.decodable ? decodableFlag : 0),
               1);
}

IndexedPacket readPacket(Reader& in) {
    IndexedPacket packet;
    packet.pts = in.signedNumber();
    packet.dts = in.signedNumber();
    packet.pos = in.signedNumber();
    packet.seekPos = in.signedNumber();
    packet.size = static_cast<std::int32_t>(in.number(4));
    const auto flags = static_cast<std::uint8_t>(in.number(1));
    if (packet.size < 0 || flags > 7)
        in.fail("a packet is damaged");
    packet.key = (flags & keyFlag) != 0;
    packet.shown = (flags & shownFlag) != 0;
    packet.decodable = (flags & decodableFlag) != 0;
    return packet;
}

} // namespace

IndexFile::IndexFile(std::shared_ptr<const MovieIndex> index, int stream)
    : index_(std::move(index)), stream_(stream) {}

std::vector<std::uint8_t> IndexFile::bytes() const {
    Writer out;
    out.raw(magic.data(), magic.size());
    out.number(formatVersion, 4);
    out.number(index_->version.size, 8);
    out.number(static_cast<std::uint64_t>(index_->version.written.time_since_epoch().count()), 8);
    out.number(static_cast<std::uint32_t>(stream_), 4);
    const PacketList list = index_->frames->packetList();
    out.number(list.cutShort ? 1 : 0, 1);
    out.number(static_cast<std::uint32_t>(list.repairedStamps), 4);
    out.number(static_cast<std::uint32_t>(list.lostStretches), 4);
    out.number(list.packets.size(), 8);
    for (const IndexedPacket& packet : list.packets)
        writePacket(out, packet);
    return out.take();
}

IndexFile IndexFile::fromBytes(const std::vector<std::uint8_t>& bytes,
                               const std::filesystem::path& movie) {
    Reader in(bytes, movie);
    if (!in.matches(magic))
        in.fail("it is not an index file");
    if (in.number(4) != formatVersion)
        in.fail("it was written by another version of this program");
    MovieIndex index;
    index.version.size = in.number(8);
    index.version.written = std::filesystem::file_time_type(
        std::filesystem::file_time_type::duration(in.signedNumber()));
    const auto stream = static_cast<std::int32_t>(in.number(4));
    PacketList list;
    const std::uint64_t cutShort = in.number(1);
    list.cutShort = cutShort == 1;
    list.repairedStamps = static_cast<std::int32_t>(in.number(4));
    list.lostStretches = static_cast<std::int32_t>(in.number(4));
    const std::uint64_t count = in.number(8);
    if (count > in.left() / packetBytes || cutShort > 1 || list.repairedStamps < 0 ||
        list.lostStretches < 0 || stream < -1)
        in.fail("it is damaged");
    list.packets.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i)
        list.packets.push_back(readPacket(in));
    if (in.left() != 0)
        in.fail("it is damaged");
    index.frames = std::make_shared<const FrameIndex>(std::move(list));
    return IndexFile(std::make_shared<const MovieIndex>(std::move(index)), stream);
}

void IndexFile::save(const std::filesystem::path& file) const {
    try {
        core::writeFileAtomically(file, bytes(), core::Durability::cached);
    } catch (const core::Error& e) {
        throw MovieError(file, e.what());
    }
}

IndexFile IndexFile::load(const std::filesystem::path& file, const std::filesystem::path& movie) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw MovieError(file, "cannot read the saved index", MovieError::Kind::NoSuchFile);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    IndexFile saved = fromBytes(bytes, movie);
    const std::optional<FileVersion> now = FileVersion::of(movie);
    if (!now || !(*now == saved.index()->version))
        throw MovieError(movie, "the saved index " + file.string() +
                                    " was made of another version of this file");
    return saved;
}

} // namespace media
