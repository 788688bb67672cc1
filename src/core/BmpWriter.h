#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace core {

struct BgrImage;

// The whole bitmap file: 14-byte file header, 40-byte info header, the palette as a colour table
// when there is one, then the rows bottom first. Throws core::Error for an inconsistent image
// or one too large for the format.
std::vector<std::uint8_t> encodeBmp(const BgrImage& image);

// Writes through a temporary file renamed into place; see writeFileAtomically.
void writeBmpFile(const std::filesystem::path& path, const BgrImage& image);

} // namespace core
