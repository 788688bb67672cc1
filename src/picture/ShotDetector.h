#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace core {
struct BgrImage;
}

namespace picture {

// Finds the first frame of every shot in a run of consecutive pictures, from small copies of
// them (a sketch some 64 pixels wide is plenty). Two pictures differ by their colour histograms
// and their block means together: film grain averages out of both, and a camera pan moves the
// blocks but hardly the histograms. The changes from frame to frame make a baseline (their
// median over the last two seconds) that the thresholds grow with, so a movie full of motion
// needs a larger change than a still one. A frame starts a shot when
// - it differs from the frame before far more than its neighbours do (a cut), unless a picture
//   a few frames on matches the one before the jump, or one a few frames back matches it (a
//   flash: going and coming back);
// - or change ends on it, the frames after it settle (still, or moving at a fraction of its
//   pace), and a frame at most a second back (the last still one before the change, where there
//   is one) differs from it as much as a cut's two sides, by more than the baseline's motion
//   would carry it over that time, with the pictures between mixes of the two ends and a flat
//   colour (a fade or a dissolve; a pan's are not). A fade through black or white that rests on
//   it counts once, at the end of the fade that follows.
// Memory stays flat: only the last second or so of pictures is kept.
class ShotDetector {
public:
    struct Shot {
        int frame = 0;      // counted from the first picture added
        double score = 0.0; // how far the pictures either side differ, 0 to 1
    };

    // `sensitivity` 1 to 100: the higher, the smaller a change that starts a shot.
    ShotDetector(int sensitivity, double frameRate);

    void add(const core::BgrImage& picture);
    // The shots found, the first picture's among them, once every picture was added.
    std::vector<Shot> finish();

    // 0 for the same picture, 1 for pictures that share nothing.
    static double difference(const core::BgrImage& a, const core::BgrImage& b);

private:
    struct Look {
        std::array<float, 48> histogram{}; // 16 levels a channel, each pixel split between two
        std::vector<std::uint8_t> blocks;  // means of 4 x 4 pixel blocks, 3 channels each
        float level = 0.0f;                // the mean of every channel of every pixel
    };
    struct Fade {
        int from = 0; // the last frame before it
        int to = 0;   // its first clean frame
        double score = 0.0;
    };

    static Look lookAt(const core::BgrImage& picture);
    static double difference(const Look& a, const Look& b);
    double differenceOf(int a, int b) const;
    double change(int frame) const;
    double levelStep(int frame) const;
    double baseline(int frame) const;
    double cutThreshold(int frame) const;
    bool isQuiet(int frame) const;
    bool isCut(int frame) const;
    std::optional<Fade> fadeEndingAt(int frame) const;
    bool isFadeOutOfFlatEnd(int flat, int frame) const;
    bool looksMixed(int from, int to) const;
    bool isFlat(int frame) const;
    void decide(int frame);
    void takeFade(const Fade& fade);
    void settleFade();
    void forget();

    double cutLevel_;    // the least a cut's two sides differ, before the movie's own motion
    int lookAround_ = 3; // frames a flash may last
    int longestFade_;    // frames from the last before a fade to its first clean one
    int window_;         // frames whose changes make the baseline

    std::deque<Look> looks_; // the recent pictures, looks_.front() being frame firstLook_'s
    int firstLook_ = 0;
    std::vector<float> changes_; // changes_[n]: from frame n - 1 to frame n; 0 for frame 0
    int decided_ = 1;            // frames before this one are decided
    int lastShot_ = 0;
    std::optional<Fade> fade_; // found, held while a later end could still be its own
    std::vector<Shot> shots_;
};

} // namespace picture
