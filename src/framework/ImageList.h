#pragma once

#include "framework/Component.h"

#include <QImage>
#include <QObject>
#include <QStringList>
#include <vector>

namespace platform {
class Canvas;
}

// A list of equally sized opaque pictures, drawn by index.
class TImageList : public QObject, public TComponent {
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(QStringList Pictures READ Pictures WRITE setPictures)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)

public:
    explicit TImageList(QObject* parent = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list.
    void setWidth(int width);
    void setHeight(int height);

    int Count() const { return int(images_.size()); }
    // Adds a picture of Width x Height, or a strip of several side by side; returns the index
    // of the first one added. Raises core::Error for any other size.
    int Add(const QImage& picture);
    void Clear();
    const QImage& image(int index) const { return images_.at(std::size_t(index)); }

    // The files the pictures were loaded from (resource paths such as ":/images/a.png").
    // Setting it replaces the list; a file that cannot be read raises core::Error.
    const QStringList& Pictures() const { return pictureFiles_; }
    void setPictures(const QStringList& files);

    // Copies picture index to (x, y) of the canvas; an index out of range draws nothing.
    void Draw(platform::Canvas& canvas, int x, int y, int index) const;

private:
    int width_ = 16;
    int height_ = 16;
    std::vector<QImage> images_;
    QStringList pictureFiles_;
};
