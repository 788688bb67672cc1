#pragma once

#include "core/BgrImage.h"
#include "framework/CustomControl.h"
#include "player/PlayerTypes.h"

#include <QImage>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <vector>

namespace media {
class Movie;
}

// The movie player control: shows an AVI movie in its own area and plays it, one frame a
// timer tick at each frame's time, on the GUI thread. Every instance opens its own view of
// its file, so two players of one file play, pause and fetch frames independently.
//
// Published defaults suit both the main window's small player and a player that fills a
// resizable window: AutoPlay and Loop on, ScaleMode smFit (proportions kept, centred, bars in
// Color), Color clBlack, TabStop on. A left click fires OnClick.
//
// With no movie loaded, Length() is -1, the picture size 0 x 0, Position() -1, the area shows
// Color only, Play/Stop/Pause do nothing and answer false, and frame requests fail.
class TGKitMSPlay : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(bool AutoPlay READ AutoPlay WRITE setAutoPlay)
    Q_PROPERTY(bool Loop READ Loop WRITE setLoop)
    Q_PROPERTY(player::TScaleMode ScaleMode READ ScaleMode WRITE setScaleMode)

public:
    explicit TGKitMSPlay(QWidget* parent = nullptr);
    ~TGKitMSPlay() override;

    // Opens the movie (a relative name against the current folder), shows its first frame and,
    // with AutoPlay, plays it; the same name again reloads from frame 0. A file that cannot be
    // opened raises media::MovieError naming it and leaves the player as it was. A first frame
    // that cannot be decoded does not raise: the area stays blank and the frame's own fetch
    // reports it. An empty name closes the movie.
    void setFileName(const QString& fileName);
    const QString& FileName() const { return fileName_; }

    bool hasMovie() const { return movie_ != nullptr; }
    // The number of the last frame: frames are 0 .. Length().
    std::int32_t Length() const;
    // The picture size, clamped to the 16-bit range.
    std::int16_t MovieWidth() const;
    std::int16_t MovieHeight() const;

    // Puts frame n on the system clipboard as a picture with the decoded pixel values. On any
    // failure (no movie, n out of range, a decode error, no clipboard) answers false and clears
    // the clipboard, so a reader finds no picture rather than an older one.
    bool CopyToClipboard(int frame);
    // Frame n as decoded, with its palette when the movie has one: the direct way for callers
    // that carry frames without the clipboard. Throws (core::Error, media::MovieError) naming
    // the frame and the reason.
    core::BgrImage Frame(int frame);

    // Playback. Play resumes from the frame shown (from frame 0 when playback ran to the end);
    // Stop halts and shows frame 0; Pause halts on the frame shown. False with no movie.
    bool Play();
    bool Stop();
    bool Pause();
    bool Playing() const { return timer_.isActive(); }
    // The frame playback stands at (a damaged one shows the picture before it); -1 with no
    // movie.
    int Position() const { return position_; }
    // Milliseconds until the next tick: how long the frame shown lasts by the movie's time
    // stamps (a movie of variable rate plays at its own pace).
    int frameInterval() const { return timer_.interval(); }

    // One timer tick: shows the next frame, wrapping to 0 with Loop, halting at the last frame
    // without. A frame that cannot be decoded keeps the picture before it on screen, and
    // playback goes on past it; nothing is reported.
    void Tick();

    bool AutoPlay() const { return autoPlay_; }
    void setAutoPlay(bool autoPlay) { autoPlay_ = autoPlay; }
    bool Loop() const { return loop_; }
    void setLoop(bool loop) { loop_ = loop; }
    TScaleMode ScaleMode() const { return scaleMode_; }
    void setScaleMode(TScaleMode mode);

    // The picture of the frame shown (null when none), as drawn before scaling.
    const QImage& picture() const { return picture_; }

    void Paint(platform::Canvas& canvas) override;

private:
    void showFrame(int frame);
    void holdFrame(); // times the next tick by the frame at position_
    void setPicture(QImage picture);
    const QImage& scaledPicture(QSize size);

    std::unique_ptr<media::Movie> movie_;      // plays
    std::unique_ptr<media::Movie> fetchMovie_; // serves Frame(), opened on first use
    std::vector<int> durationsMs_;             // how long each frame stays on screen
    QString fileName_;
    int position_ = -1;
    core::BgrImage decoded_; // reused between ticks
    QImage picture_;
    QImage scaled_; // picture_ at the size last drawn
    QTimer timer_;
    bool autoPlay_ = true;
    bool loop_ = true;
    TScaleMode scaleMode_ = smFit;
};
