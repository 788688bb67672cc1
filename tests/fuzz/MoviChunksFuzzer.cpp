// The input is an AVI file.

#include "FuzzCheck.h"
#include "FuzzInputFile.h"
#include "media/MoviChunks.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& file = FuzzInputFile::write(data, size);
    for (const int stream : {0, 1}) {
        const auto chunks = media::MoviChunks::ofStream(file, stream);
        if (!chunks)
            continue;
        std::int64_t free = 12; // past the RIFF header
        for (const media::MoviChunks::Chunk& chunk : *chunks) {
            fuzzCheck(chunk.pos >= free && chunk.pos + 8 <= static_cast<std::int64_t>(size),
                      "chunks lie in the file, in stored order, apart");
            free = chunk.pos + 8 + chunk.size;
        }
    }
    return 0;
}
