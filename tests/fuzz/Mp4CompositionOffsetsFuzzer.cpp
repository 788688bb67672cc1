// The input is a track id and sample count followed by an MP4 file (Mp4TrackInput).

#include "FuzzCheck.h"
#include "FuzzInputFile.h"
#include "Mp4TrackInput.h"
#include "media/Mp4CompositionOffsets.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Mp4TrackInput input = Mp4TrackInput::decode(data, size);
    const auto& file = FuzzInputFile::write(input.file.data(), input.file.size());
    const auto offsets = media::Mp4CompositionOffsets::read(file, input.trackId, input.sampleCount);
    fuzzCheck(!offsets || static_cast<std::int64_t>(offsets->size()) == input.sampleCount,
              "one offset a sample");
    return 0;
}
