#include "picture/ShotDetector.h"

#include "core/BgrImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace picture {

namespace {

// Frames after a fade's end that must settle.
constexpr int settling = 2;
// Mean distance of a flat picture's block values from their mean, in levels.
constexpr double flatSpread = 8.0;
// How much of a fade's last step the steps after it may still change, the new shot's motion.
constexpr double settledShare = 0.25;
// Below this a change between neighbours is quiet whatever the baseline.
constexpr double quietLevel = 0.01;
// How far a fade's middle pictures may stray from a mix of its ends, against the ends' distance.
constexpr double mixTolerance = 0.3;

} // namespace

ShotDetector::ShotDetector(int sensitivity, double frameRate)
    : cutLevel_(0.5 - 0.0045 * std::clamp(sensitivity, 1, 100)),
      longestFade_(
          std::max(3, static_cast<int>(std::ceil(frameRate > 0.0 ? frameRate : 25.0)) + 1)),
      window_(2 * longestFade_) {}

ShotDetector::Look ShotDetector::lookAt(const core::BgrImage& picture) {
    Look look;
    const int width = picture.width;
    const int height = picture.height;
    const int across = std::max(1, width / 4);
    const int down = std::max(1, height / 4);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(across * down * 3));
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(across * down));
    // Linear shares between the two nearest levels: a fade moves the histogram smoothly, where
    // hard bins would jump as a flat area crosses a bin's edge.
    std::array<std::uint32_t, 48> histogram{};
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = picture.row(y);
        const int by = std::min(down - 1, y * down / height);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = row + 3 * x;
            const auto block =
                static_cast<std::size_t>(by * across + std::min(across - 1, x * across / width));
            for (int c = 0; c < 3; ++c) {
                const int level = pixel[c] / 17; // 0 to 15
                const int rest = pixel[c] - 17 * level;
                histogram[static_cast<std::size_t>(16 * c + level)] += 17 - rest;
                if (rest > 0)
                    histogram[static_cast<std::size_t>(16 * c + level + 1)] += rest;
                sums[block * 3 + static_cast<std::size_t>(c)] += pixel[c];
            }
            ++counts[block];
        }
    }
    const double weight = 17.0 * std::max(1, width * height);
    for (std::size_t bin = 0; bin < histogram.size(); ++bin)
        look.histogram[bin] = static_cast<float>(histogram[bin] / weight);
    look.blocks.resize(sums.size());
    double total = 0.0;
    for (std::size_t i = 0; i < sums.size(); ++i) {
        look.blocks[i] =
            static_cast<std::uint8_t>(sums[i] / std::max<std::uint32_t>(1, counts[i / 3]));
        total += sums[i];
    }
    look.level = static_cast<float>(total / (3.0 * std::max(1, width * height)));
    return look;
}

double ShotDetector::difference(const Look& a, const Look& b) {
    if (a.blocks.size() != b.blocks.size() || a.blocks.empty())
        return 1.0;
    double histogram = 0.0;
    for (std::size_t bin = 0; bin < a.histogram.size(); ++bin)
        histogram += std::abs(a.histogram[bin] - b.histogram[bin]);
    std::uint64_t blocks = 0;
    for (std::size_t i = 0; i < a.blocks.size(); ++i)
        blocks += static_cast<std::uint64_t>(std::abs(a.blocks[i] - b.blocks[i]));
    const double moved =
        static_cast<double>(blocks) / (255.0 * static_cast<double>(a.blocks.size()));
    // Half a channel's L1 distance is the share of pixels whose level moved; the blocks weigh
    // double, as their means move by less than single pixels do.
    return std::min(1.0, (histogram / 6.0 + 2.0 * moved) / 2.0);
}

double ShotDetector::difference(const core::BgrImage& a, const core::BgrImage& b) {
    return difference(lookAt(a), lookAt(b));
}

double ShotDetector::differenceOf(int a, int b) const {
    return difference(looks_[static_cast<std::size_t>(a - firstLook_)],
                      looks_[static_cast<std::size_t>(b - firstLook_)]);
}

// How much brighter frame `frame` is than the one before it, in levels; frames whose pictures
// are no longer kept, and frames past the last, count as steady.
double ShotDetector::levelStep(int frame) const {
    const int last = firstLook_ + static_cast<int>(looks_.size()) - 1;
    if (frame <= firstLook_ || frame > last)
        return 0.0;
    return looks_[static_cast<std::size_t>(frame - firstLook_)].level -
           looks_[static_cast<std::size_t>(frame - 1 - firstLook_)].level;
}

// Frames past the last count as still.
double ShotDetector::change(int frame) const {
    return frame < static_cast<int>(changes_.size()) ? changes_[static_cast<std::size_t>(frame)]
                                                     : 0.0;
}

// The typical change between neighbouring frames before `frame`: the lower third's top, so
// cuts, flashes and fades that fill much of the window leave it be.
double ShotDetector::baseline(int frame) const {
    const int from = std::max(1, frame - window_);
    if (from >= frame)
        return 0.0;
    std::vector<float> recent(changes_.begin() + from, changes_.begin() + frame);
    const auto middle = recent.begin() + static_cast<std::ptrdiff_t>(recent.size() / 3);
    std::nth_element(recent.begin(), middle, recent.end());
    return *middle;
}

double ShotDetector::cutThreshold(int frame) const {
    return cutLevel_ + 3.0 * baseline(frame);
}

bool ShotDetector::isQuiet(int frame) const {
    return change(frame) <= std::max(quietLevel, 2.0 * baseline(frame));
}

bool ShotDetector::isCut(int frame) const {
    const double jump = change(frame);
    const double threshold = cutThreshold(frame);
    // A jump stands out from its neighbours; the steps of a fade or a pan do not.
    if (jump <= threshold || jump <= 2.0 * std::max(change(frame - 1), change(frame + 1)))
        return false;
    const int last = static_cast<int>(changes_.size()) - 1;
    const double same = std::min(0.5 * jump, threshold);
    for (int next = frame + 1; next <= std::min(last, frame + lookAround_); ++next)
        if (differenceOf(frame - 1, next) < same)
            return false;
    for (int back = std::max(0, frame - lookAround_ - 1); back <= frame - 2; ++back)
        if (differenceOf(back, frame) < same)
            return false;
    return true;
}

std::optional<ShotDetector::Fade> ShotDetector::fadeEndingAt(int frame) const {
    if (fade_ && isFlat(fade_->to) && frame - fade_->from <= longestFade_ &&
        isFadeOutOfFlatEnd(fade_->to, frame))
        return Fade{fade_->from, frame, differenceOf(fade_->from, frame)};
    // A fade takes two steps at least; a single jump that is no cut is a flash or noise.
    if (isQuiet(frame) || isQuiet(frame - 1))
        return std::nullopt;
    // The new shot settles: still, or moving at a fraction of the fade's pace, or at least no
    // longer brightening or darkening on as the fade did (a shot with motion and grain of its
    // own, whose light drifts as it will).
    const double lastStep = levelStep(frame);
    for (int next = frame + 1; next <= frame + settling; ++next)
        if (!isQuiet(next) && change(next) > settledShare * change(frame) &&
            levelStep(next) * (lastStep < 0.0 ? -1.0 : 1.0) > settledShare * std::abs(lastStep))
            return std::nullopt;
    // A fade that ended on a flat picture (black, white) goes on to the next shot's picture.
    if (fade_ && isFlat(fade_->to) && frame - fade_->from <= longestFade_)
        return Fade{fade_->from, frame, differenceOf(fade_->from, frame)};
    // The frame before the fade: the one that differs most from its end, beyond what the
    // movie's own motion moves it over the frames between.
    std::optional<Fade> best;
    double bestMargin = 0.0;
    // Not from before a shot already found: that change is accounted for.
    const int earliest = std::max(lastShot_, fade_ ? fade_->to : 0);
    const int first = std::max(earliest, frame - longestFade_);
    const auto marginFrom = [&](int from) {
        return differenceOf(from, frame) - cutThreshold(from) - baseline(from) * (frame - from);
    };
    for (int from = first; from <= frame - 2; ++from) {
        const double margin = marginFrom(from);
        if (margin > 0.0 && margin >= bestMargin) { // the latest of equals: where change began
            bestMargin = margin;
            best = Fade{from, frame, differenceOf(from, frame)};
        }
    }
    // Better still the last quiet frame before the run of change that ends here, where there is
    // one: motion before the fade then weighs nothing.
    int before = frame - 1;
    while (before >= first && !isQuiet(before))
        --before;
    if (best && before >= first && before <= frame - 2 && marginFrom(before) > 0.0)
        best = Fade{before, frame, differenceOf(before, frame)};
    // A fade in from the first frame is that shot's own beginning.
    if (!best || best->from == 0 || !looksMixed(best->from, frame))
        return std::nullopt;
    // Back to a picture from before: a slow flash, not a new shot.
    const double same = std::min(0.5 * best->score, cutThreshold(best->from));
    for (int back = std::max({0, firstLook_, best->from - lookAround_ - 1}); back < best->from;
         ++back)
        if (differenceOf(back, frame) < same)
            return std::nullopt;
    const int last = static_cast<int>(changes_.size()) - 1;
    for (int next = frame + 1; next <= std::min(last, frame + lookAround_); ++next)
        if (differenceOf(best->from, next) < same)
            return std::nullopt;
    return best;
}

// Out of a flat picture (a dip to black or white) the fade ends where the light stops moving away
// from the flat colour, every step from it to `frame` having moved it on, and the next ones not:
// however restless and dark the shot it fades into, whose own steps a baseline calls quiet.
bool ShotDetector::isFadeOutOfFlatEnd(int flat, int frame) const {
    if (frame < flat + 2)
        return false;
    const double way = levelStep(flat + 1) < 0.0 ? -1.0 : 1.0;
    for (int step = flat + 1; step <= frame; ++step)
        if (way * levelStep(step) <= 0.0)
            return false;
    for (int next = frame + 1; next <= frame + settling; ++next)
        if (way * levelStep(next) > settledShare * way * levelStep(frame))
            return false;
    return true;
}

// Pictures a third and two thirds of the way through are mixes of the two ends and a flat
// colour (black, white), block by block, as fades and dissolves make them; a pan's are not.
bool ShotDetector::looksMixed(int from, int to) const {
    const std::vector<std::uint8_t>& a = looks_[static_cast<std::size_t>(from - firstLook_)].blocks;
    const std::vector<std::uint8_t>& b = looks_[static_cast<std::size_t>(to - firstLook_)].blocks;
    double apart = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        apart += (a[i] - b[i]) * (a[i] - b[i]);
    for (const int third : {1, 2}) {
        const std::vector<std::uint8_t>& m =
            looks_[static_cast<std::size_t>(from + (to - from) * third / 3 - firstLook_)].blocks;
        // Least squares m = x a + y b + z, from the normal equations.
        double g[3][4] = {};
        for (std::size_t i = 0; i < a.size(); ++i) {
            const double row[4] = {static_cast<double>(a[i]), static_cast<double>(b[i]), 1.0,
                                   static_cast<double>(m[i])};
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 4; ++c)
                    g[r][c] += row[r] * row[c];
        }
        // A flat end makes two columns alike: a touch of ridge keeps the system solvable.
        for (int r = 0; r < 3; ++r)
            g[r][r] += 1e-6 * (g[0][0] + g[1][1] + g[2][2]) + 1e-9;
        for (int pivot = 0; pivot < 3; ++pivot)
            for (int r = 0; r < 3; ++r)
                if (r != pivot) {
                    const double f = g[r][pivot] / g[pivot][pivot];
                    for (int c = 0; c < 4; ++c)
                        g[r][c] -= f * g[pivot][c];
                }
        const double x = g[0][3] / g[0][0];
        const double y = g[1][3] / g[1][1];
        const double z = g[2][3] / g[2][2];
        double residual = 0.0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const double miss = m[i] - (x * a[i] + y * b[i] + z);
            residual += miss * miss;
        }
        if (residual > mixTolerance * mixTolerance * std::max(apart, 1.0))
            return false;
    }
    return true;
}

bool ShotDetector::isFlat(int frame) const {
    const std::vector<std::uint8_t>& blocks =
        looks_[static_cast<std::size_t>(frame - firstLook_)].blocks;
    double sum = 0.0;
    for (const std::uint8_t value : blocks)
        sum += value;
    const double mean = sum / static_cast<double>(std::max<std::size_t>(1, blocks.size()));
    double spread = 0.0;
    for (const std::uint8_t value : blocks)
        spread += std::abs(value - mean);
    return spread < flatSpread * static_cast<double>(blocks.size());
}

void ShotDetector::add(const core::BgrImage& picture) {
    looks_.push_back(lookAt(picture));
    const int frame = static_cast<int>(changes_.size());
    changes_.push_back(frame == 0 ? 0.0f : static_cast<float>(differenceOf(frame - 1, frame)));
    if (frame == 0)
        shots_.push_back({0, 0.0});
    while (decided_ + lookAround_ <= frame)
        decide(decided_++);
    forget();
}

std::vector<ShotDetector::Shot> ShotDetector::finish() {
    while (decided_ < static_cast<int>(changes_.size()))
        decide(decided_++);
    settleFade();
    return shots_;
}

void ShotDetector::decide(int frame) {
    if (fade_ && frame - fade_->from > longestFade_ + settling)
        settleFade(); // nothing later can be the same fade's end
    if (isCut(frame)) {
        settleFade();
        shots_.push_back({frame, change(frame)});
        lastShot_ = frame;
    } else if (const std::optional<Fade> fade = fadeEndingAt(frame)) {
        takeFade(*fade);
    }
}

// A fade through black that rests on the black ends twice: into the black and out of it. Ends
// within one fade's length of the first start are one fade, ending at the last.
void ShotDetector::takeFade(const Fade& fade) {
    if (fade_ && fade.to - fade_->from <= longestFade_) {
        const double score = differenceOf(fade_->from, fade.to);
        if (score > cutThreshold(fade_->from))
            fade_ = Fade{fade_->from, fade.to, score};
        else
            fade_.reset(); // out and back into the same picture
        return;
    }
    settleFade();
    fade_ = fade;
}

void ShotDetector::settleFade() {
    if (fade_) {
        shots_.push_back({fade_->to, fade_->score});
        lastShot_ = fade_->to;
    }
    fade_.reset();
}

void ShotDetector::forget() {
    const int keepFrom = decided_ - (longestFade_ + 2 * lookAround_ + settling + 4);
    while (firstLook_ < keepFrom && !looks_.empty()) {
        looks_.pop_front();
        ++firstLook_;
    }
}

} // namespace picture
