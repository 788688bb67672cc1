#include "IndexEntriesInput.h"

namespace {

constexpr std::size_t headerSize = 16;
constexpr std::size_t entrySize = 24;

std::uint64_t readLittle(const std::uint8_t* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count; i-- > 0;)
        value = value << 8 | bytes[i];
    return value;
}

void appendLittle(std::vector<std::uint8_t>& bytes, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i, value >>= 8)
        bytes.push_back(static_cast<std::uint8_t>(value));
}

} // namespace

IndexEntriesInput IndexEntriesInput::decode(const std::uint8_t* data, std::size_t size) {
    IndexEntriesInput input;
    if (size < headerSize)
        return input;
    input.fileSize = static_cast<std::int64_t>(readLittle(data, 8));
    if (const auto damaged = static_cast<std::int64_t>(readLittle(data + 8, 8)); damaged >= 0)
        input.firstDamaged = damaged;
    for (std::size_t at = headerSize; at + entrySize <= size; at += entrySize) {
        const std::uint8_t* entry = data + at;
        input.entries.push_back({static_cast<std::int64_t>(readLittle(entry, 8)),
                                 static_cast<std::int64_t>(readLittle(entry + 8, 8)),
                                 static_cast<std::int32_t>(readLittle(entry + 16, 4)),
                                 static_cast<std::int32_t>(readLittle(entry + 20, 4))});
    }
    return input;
}

std::vector<std::uint8_t> IndexEntriesInput::encode() const {
    std::vector<std::uint8_t> bytes;
    appendLittle(bytes, static_cast<std::uint64_t>(fileSize), 8);
    appendLittle(bytes, static_cast<std::uint64_t>(firstDamaged.value_or(-1)), 8);
    for (const Entry& entry : entries) {
        appendLittle(bytes, static_cast<std::uint64_t>(entry.pos), 8);
        appendLittle(bytes, static_cast<std::uint64_t>(entry.timestamp), 8);
        appendLittle(bytes, static_cast<std::uint32_t>(entry.size), 4);
        appendLittle(bytes, static_cast<std::uint32_t>(entry.flags), 4);
    }
    return bytes;
}
