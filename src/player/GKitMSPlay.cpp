#include "player/GKitMSPlay.h"

#include "core/Error.h"
#include "media/Movie.h"
#include "platform/Canvas.h"
#include "platform/Clipboard.h"
#include "player/FrameImage.h"
#include "player/FrameInterval.h"
#include "player/PictureLayout.h"

#include <QFile>
#include <algorithm>
#include <filesystem>
#include <limits>

namespace {

std::filesystem::path nativePath(const QString& fileName) {
#ifdef Q_OS_WIN
    return std::filesystem::path(fileName.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
#endif
}

std::int16_t clampToInt16(int value) {
    return static_cast<std::int16_t>(std::clamp<int>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

// The clipboard must not keep an older picture that a reader would take for the frame asked.
void clearClipboardQuietly() {
    try {
        platform::Clipboard::clear();
    } catch (...) {
        // No clipboard at all: nothing stale to remove either.
    }
}

} // namespace

TGKitMSPlay::TGKitMSPlay(QWidget* parent) : TCustomControl(parent) {
    setColor(clBlack);
    setTabStop(true);
    resize(160, 120);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

TGKitMSPlay::~TGKitMSPlay() = default;

void TGKitMSPlay::setFileName(const QString& fileName) {
    if (fileName.isEmpty()) {
        timer_.stop();
        movie_.reset();
        fetchMovie_.reset();
        durationsMs_.clear();
        fileName_.clear();
        position_ = -1;
        setPicture({});
        return;
    }
    auto movie = std::make_unique<media::Movie>(nativePath(fileName));
    QImage first;
    try {
        first = player::toQImage(movie->frame(0));
    } catch (const std::exception&) {
        // Opening succeeded; a frame the movie cannot deliver is reported where it is fetched.
    }
    std::vector<int> durations = player::frameDurationsMs(movie->frameTable(), movie->frameRate());
    timer_.stop();
    movie_ = std::move(movie);
    durationsMs_ = std::move(durations);
    fetchMovie_.reset();
    fileName_ = fileName;
    position_ = 0;
    holdFrame();
    setPicture(std::move(first));
    if (autoPlay_ && !isLoading())
        Play();
}

std::int32_t TGKitMSPlay::Length() const {
    return movie_ ? movie_->frameCount() - 1 : -1;
}

std::int16_t TGKitMSPlay::MovieWidth() const {
    return movie_ ? clampToInt16(movie_->width()) : 0;
}

std::int16_t TGKitMSPlay::MovieHeight() const {
    return movie_ ? clampToInt16(movie_->height()) : 0;
}

bool TGKitMSPlay::CopyToClipboard(int frame) {
    try {
        const QImage picture = player::toQImage(Frame(frame));
        platform::Clipboard::setImage(picture);
        return true;
    } catch (const std::exception&) {
        clearClipboardQuietly();
        return false;
    }
}

core::BgrImage TGKitMSPlay::Frame(int frame) {
    if (!movie_)
        throw core::Error("frame " + std::to_string(frame) + ": no movie is loaded");
    // A view of its own: fetching through the playing one would move its decoder away, and
    // the next tick would decode again from the last key frame while the window waits.
    if (!fetchMovie_)
        fetchMovie_ = std::make_unique<media::Movie>(nativePath(fileName_));
    return fetchMovie_->frame(frame);
}

bool TGKitMSPlay::Play() {
    if (!movie_)
        return false;
    if (position_ >= Length() && Length() > 0 && !timer_.isActive()) {
        try {
            showFrame(0);
        } catch (const std::exception&) {
            return false; // the frame's own fetch reports it
        }
    }
    timer_.start();
    return true;
}

bool TGKitMSPlay::Stop() {
    if (!movie_)
        return false;
    timer_.stop();
    try {
        showFrame(0);
    } catch (const std::exception&) {
        // The last picture stays; fetching frame 0 reports the fault where it matters.
    }
    return true;
}

bool TGKitMSPlay::Pause() {
    if (!movie_)
        return false;
    timer_.stop();
    return true;
}

void TGKitMSPlay::Tick() {
    if (!movie_) {
        timer_.stop();
        return;
    }
    int next = position_ + 1;
    if (next > Length()) {
        if (!loop_) {
            timer_.stop();
            return;
        }
        next = 0;
    }
    if (next == position_)
        return;
    try {
        showFrame(next);
    } catch (const std::exception&) {
        // A damaged frame: the last good picture stays and playback goes on, as players do.
        // Nothing is reported from a timer; fetching the frame on purpose (a thumbnail,
        // Convert) reports it.
        position_ = next;
        holdFrame();
    }
}

void TGKitMSPlay::holdFrame() {
    const int ms = durationsMs_[std::size_t(position_)];
    // Setting the interval restarts the timer: only a frame that lasts otherwise pays for it.
    if (ms != timer_.interval())
        timer_.setInterval(ms);
}

void TGKitMSPlay::setScaleMode(TScaleMode mode) {
    if (mode == scaleMode_)
        return;
    scaleMode_ = mode;
    Invalidate();
}

void TGKitMSPlay::Paint(platform::Canvas& canvas) {
    const QRect target = player::pictureRect(scaleMode_, picture_.size(), size());
    if (target.isEmpty())
        return;
    canvas.draw(target.x(), target.y(), scaledPicture(target.size()));
}

void TGKitMSPlay::showFrame(int frame) {
    movie_->frameInto(frame, decoded_);
    setPicture(player::toQImage(decoded_));
    position_ = frame;
    holdFrame();
}

void TGKitMSPlay::setPicture(QImage picture) {
    picture_ = std::move(picture);
    scaled_ = QImage();
    Invalidate();
}

const QImage& TGKitMSPlay::scaledPicture(QSize size) {
    if (size == picture_.size())
        return picture_;
    if (scaled_.size() != size)
        scaled_ = picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return scaled_;
}
