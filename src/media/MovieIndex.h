#pragma once

#include "media/FileVersion.h"

#include <memory>

namespace media {

class FrameIndex;

// The frame index one Movie built, for other Movies of the same file to read side by side
// instead of passing over the whole file again. Read-only, so any thread may share it; it serves
// only the version of the file it was built from.
struct MovieIndex {
    FileVersion version;
    std::shared_ptr<const FrameIndex> frames;
};

} // namespace media
