#pragma once

#include "framework/GraphicControl.h"

#include <QImage>

// A picture on the parent's surface: at the top-left corner, centred, or stretched over the
// control (nearest pixel, no blending). Transparent leaves out the pixels of the picture's
// bottom-left colour.
class TImage : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(QImage Picture READ picture WRITE setPicture)
    Q_PROPERTY(bool Stretch READ Stretch WRITE setStretch)
    Q_PROPERTY(bool Center READ Center WRITE setCenter)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)

public:
    explicit TImage(QWidget* parent = nullptr);

    const QImage& picture() const { return picture_; }
    // The picture to draw on (a 32-bit picture of the control's size, white, when there is none
    // yet). Call Repaint() or Invalidate() after drawing.
    QImage& Picture();
    // Takes a copy as a 32-bit picture; a null image clears it.
    void setPicture(const QImage& picture);
    // Takes the clipboard's picture; raises the clipboard's errors and keeps the old picture.
    void setPictureFromClipboard();

    bool Stretch() const { return stretch_; }
    void setStretch(bool stretch);
    bool Center() const { return center_; }
    void setCenter(bool center);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);

    void Paint(platform::Canvas& canvas) override;

    // Where the picture lands in client coordinates.
    QRect destinationRect() const;

private:
    void pictureChanged();

    QImage picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
};
