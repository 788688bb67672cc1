#include "framework/ImageList.h"

#include "core/Error.h"
#include "platform/Canvas.h"

TImageList::TImageList(QObject* parent) : QObject(parent) {}

void TImageList::setWidth(int width) {
    if (width == width_ || width < 1)
        return;
    width_ = width;
    Clear();
}

void TImageList::setHeight(int height) {
    if (height == height_ || height < 1)
        return;
    height_ = height;
    Clear();
}

int TImageList::Add(const QImage& picture) {
    if (picture.isNull() || picture.height() != height_ || picture.width() % width_ != 0)
        throw core::Error("無効なイメージ サイズです");
    const int first = Count();
    const QImage strip = picture.convertToFormat(QImage::Format_RGB32);
    for (int x = 0; x < strip.width(); x += width_)
        images_.push_back(strip.copy(x, 0, width_, height_));
    return first;
}

void TImageList::Clear() {
    images_.clear();
    pictureFiles_.clear();
}

void TImageList::setPictures(const QStringList& files) {
    Clear();
    for (const QString& file : files) {
        const QImage picture(file);
        if (picture.isNull())
            throw core::Error("cannot read the picture " + file.toStdString());
        Add(picture);
    }
    pictureFiles_ = files;
}

void TImageList::Draw(platform::Canvas& canvas, int x, int y, int index) const {
    if (index < 0 || index >= Count())
        return;
    canvas.draw(x, y, images_[std::size_t(index)]);
}
