#pragma once

#include <cstdint>
#include <vector>

namespace testmedia {

struct CodedPicture {
    std::vector<std::uint8_t> bytes;
    bool key = false;
};

// MPEG-4 part 2 pictures in decode order, repacked as many old AVI writers stored B-frames, so
// that every chunk gives one picture without delay: a reference picture travels with the first
// B-frame shown before it, further B-frames follow on their own, and a tiny "not coded" picture
// takes the reference's own place. The first chunk announces the packing in its user data.
// `timeIncrementBits`: the width of the time stamps in the stream's VOP headers.
std::vector<CodedPicture> packBFrames(const std::vector<CodedPicture>& decodeOrder,
                                      int timeIncrementBits);

} // namespace testmedia
