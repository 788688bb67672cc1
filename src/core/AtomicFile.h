#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace core {

enum class Durability {
    cached,       // the system writes the data when it likes: fast, for frame files
    flushedToDisk // on the disk before the rename: for the one small settings file
};

// Replaces the file's contents all at once: the bytes go to a temporary file in the same folder,
// which is renamed onto the target. On failure the temporary file is removed, an existing target
// stays untouched, and core::Error names the file and the reason. A read-only target (on POSIX
// also a read-only folder) fails even for a user the system would let write (the administrator).
void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         Durability durability);
// The same for a file made of pieces (a picture's rows, say), written without copying them
// together first.
void writeFileAtomically(const std::filesystem::path& target,
                         std::span<const std::span<const std::uint8_t>> pieces,
                         Durability durability);

// No write permission bit is set, or the system denies this process writing.
bool isReadOnly(const std::filesystem::path& path);

} // namespace core
