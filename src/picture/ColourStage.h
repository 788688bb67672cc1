#pragma once

#include "picture/PictureColour.h"

#include <array>
#include <cstdint>
#include <vector>

namespace picture {

// Turns R'G'B' rows of a stream whose light is HDR or whose primaries are wider than BT.709's
// into 24-bit BGR as an SDR BT.709 movie holds it: light as its BT.1886 display shows it.
//
// In linear light: PQ as displayed (cd/m²), HLG through its display transform for a 1000 cd/m²
// display; the gamut matrix to BT.709 primaries; then the BT.2390 EETF on the largest of the
// three channels, all three scaled alike so the hue stays, from the picture's peak to reference
// white (203 cd/m²) as SDR white. SDR wide-gamut pictures and pictures with no light above
// reference white skip the tone curve.
class ColourStage {
public:
    explicit ColourStage(const PictureColour& colour);

    // The light of a grey of this 16-bit signal, cd/m² (HDR only).
    double nitsOf(std::uint16_t code) const;
    // The brightest luma of a row, as a 16-bit signal: a picture's peak, free of the overshoot
    // that chroma upsampling leaves in single channels at edges.
    std::uint16_t brightestLuma(const std::uint16_t* g, const std::uint16_t* b,
                                const std::uint16_t* r, int width) const;
    // The brightest light the next pictures hold, cd/m².
    void setPeak(double peak);

    // A row of 16-bit G, B and R planes into width pixels of B, G, R.
    void mapRow(const std::uint16_t* g, const std::uint16_t* b, const std::uint16_t* r, int width,
                std::uint8_t* bgr) const;

    // Pixels a strip of mapRow takes at once.
    static constexpr int strip = 64;
    // Steps of the tone curve's table, between the knee and the picture's peak.
    static constexpr int toneSteps = 4096;

private:
    // The entry of hlgGain_ for a scene luminance.
    static std::int32_t gainStep(float scene);
    void mapStrip(const std::uint16_t* g, const std::uint16_t* b, const std::uint16_t* r, int count,
                  std::uint8_t* bgr) const;

    bool hlg_ = false;
    bool hdr_ = false;
    double peak_ = 0.0;
    std::vector<float> toLinear_;  // light of a signal's top 12 bits, 1 = SDR white
    std::vector<float> hlgGain_;   // HLG: the display transform's gain by scene luminance
    std::array<float, 9> gamut_{}; // the stream's primaries to BT.709's, linear light
    std::array<float, 3> luma_{};  // the stream's primaries' luminance weights
    float knee_ = 0.0f;            // below it the tone curve keeps light as it is
    float toneStep_ = 0.0f;        // table steps per unit of light above the knee
    float toneTop_ = 1e30f;        // the light the curve brings the picture's peak to
    std::vector<float> scale_ = std::vector<float>(toneSteps + 1, 1.0f); // light's factor
};

} // namespace picture
