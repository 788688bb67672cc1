#pragma once

// The pictures of frame n; both carry the frame number in a CellGrid.

namespace testmedia {

class BgrImage;

// Smooth colour ramps that move with n, so inter codecs have motion to code.
BgrImage testPicture(int width, int height, int n);

// An evening sky with a sun crossing it, hills, and the frame number in large digits.
BgrImage samplePicture(int width, int height, int n);

} // namespace testmedia
