// The input is an AVI file.

#include "FuzzCheck.h"
#include "FuzzInputFile.h"
#include "media/AviLayout.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const media::AviLayout layout = media::AviLayout::read(FuzzInputFile::write(data, size));
    for (const int stream : {0, 1, 10}) {
        const int empty = layout.trailingEmptyChunks(stream);
        fuzzCheck(empty >= 0 && static_cast<std::size_t>(empty) * 16 <= size,
                  "trailing empty chunks are index entries of the file");
    }
    return 0;
}
