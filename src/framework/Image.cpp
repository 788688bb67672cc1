#include "framework/Image.h"

#include "platform/Canvas.h"
#include "platform/Clipboard.h"

TImage::TImage(QWidget* parent) : TGraphicControl(parent) {
    resize(105, 105);
}

QImage& TImage::Picture() {
    if (picture_.isNull() && Width() > 0 && Height() > 0) {
        picture_ = QImage(Width(), Height(), QImage::Format_RGB32);
        picture_.fill(Qt::white);
    }
    return picture_;
}

void TImage::setPicture(const QImage& picture) {
    picture_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    pictureChanged();
}

void TImage::setPictureFromClipboard() {
    setPicture(platform::Clipboard::image());
}

void TImage::setStretch(bool stretch) {
    if (stretch == stretch_)
        return;
    stretch_ = stretch;
    Invalidate();
}

void TImage::setCenter(bool center) {
    if (center == center_)
        return;
    center_ = center;
    Invalidate();
}

void TImage::setTransparent(bool transparent) {
    if (transparent == transparent_)
        return;
    transparent_ = transparent;
    Invalidate();
}

void TImage::setAutoSize(bool autoSize) {
    if (autoSize == autoSize_)
        return;
    autoSize_ = autoSize;
    if (autoSize)
        pictureChanged();
}

QRect TImage::destinationRect() const {
    if (stretch_)
        return ClientRect();
    const QSize size = picture_.size();
    if (center_)
        return QRect(QPoint((Width() - size.width()) / 2, (Height() - size.height()) / 2), size);
    return QRect(QPoint(0, 0), size);
}

void TImage::Paint(platform::Canvas& canvas) {
    if (picture_.isNull())
        return;
    const QRect dest = destinationRect();
    const bool scaled = dest.size() != picture_.size();
    if (!transparent_) {
        if (scaled)
            canvas.stretchDraw(dest, picture_);
        else
            canvas.draw(dest.x(), dest.y(), picture_);
        return;
    }
    const TColor key = platform::fromQRgb(picture_.pixel(0, picture_.height() - 1));
    if (!scaled) {
        canvas.drawTransparent(dest.x(), dest.y(), picture_, key);
        return;
    }
    // Stretch first, then leave out the key colour, so the mask scales with the picture.
    QImage stretched(dest.size(), QImage::Format_RGB32);
    platform::Canvas scratch(stretched);
    scratch.stretchDraw(QRect(QPoint(0, 0), dest.size()), picture_);
    canvas.drawTransparent(dest.x(), dest.y(), stretched, key);
}

void TImage::pictureChanged() {
    if (autoSize_ && !picture_.isNull())
        setBounds(Left(), Top(), picture_.width(), picture_.height());
    Invalidate();
}
