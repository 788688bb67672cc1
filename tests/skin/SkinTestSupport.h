#pragma once

#include "framework/FormLoader.h"
#include "framework/Panel.h"
#include "platform/Canvas.h"
#include "platform/Colors.h"
#include "skin/SkinClasses.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QVariant>
#include <memory>
#include <set>
#include <utility>
#include <vector>

// A plain windowed host without bevel, in one colour, that the controls under test paint on.
inline std::unique_ptr<TPanel> makeHost(int width, int height, TColor color = clWhite) {
    auto host = std::make_unique<TPanel>();
    host->setBevelOuter(bvNone);
    host->setColor(color);
    host->setBounds(0, 0, width, height);
    return host;
}

// A pixel as 0x00BBGGRR, and a colour as painted (system colours resolved).
inline TColor pixelAt(const QImage& image, int x, int y) {
    return platform::fromQRgb(image.pixel(x, y));
}
inline TColor painted(TColor color) {
    return TColor(platform::colorToRgb(color));
}

using PixelSet = std::set<std::pair<int, int>>;

// Every pixel of one colour inside a rectangle of the picture.
inline PixelSet pixelsOf(const QImage& image, TColor color, const QRect& area) {
    PixelSet found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (pixelAt(image, x, y) == painted(color))
                found.insert({x, y});
    return found;
}

// The pixels moved by (dx, dy), without those the original covers.
inline PixelSet shiftedOutside(const PixelSet& pixels, int dx, int dy) {
    PixelSet moved;
    for (const auto& [x, y] : pixels)
        if (!pixels.count({x + dx, y + dy}))
            moved.insert({x + dx, y + dy});
    return moved;
}

// How often a control asked to be repainted later (whole or in part) and at once.
struct RepaintCounts {
    virtual ~RepaintCounts() = default;
    void resetCounts() {
        invalidations = 0;
        repaints = 0;
        rects.clear();
    }
    int invalidations = 0;
    int repaints = 0;
    std::vector<QRect> rects;
};

template <class Base> class Counting : public Base, public RepaintCounts {
public:
    explicit Counting(QWidget* parent) : Base(parent) {}

    void Invalidate() override {
        ++invalidations;
        nested_ = true;
        Base::Invalidate();
        nested_ = false;
    }
    void Invalidate(const QRect& rect) override {
        if (!nested_) {
            ++invalidations;
            rects.push_back(rect);
        }
        Base::Invalidate(rect);
    }
    void Repaint() override {
        ++repaints;
        Base::Repaint();
    }

private:
    bool nested_ = false;
};

// Loads a form description whose root is the host: "object Host: TPanel ... end".
inline void loadInto(TPanel& host, const QString& children) {
    registerSkinClasses();
    FormLoader::load(&host, QStringLiteral("object Host: TPanel\n") + children + "\nend\n",
                     QStringLiteral("test"));
}

// The object a dotted path names a property of: "Shadow.Color" is the sub-object's Color.
inline std::pair<QObject*, QByteArray> propertyOwner(QObject* object, const QString& path) {
    const qsizetype dot = path.indexOf(u'.');
    if (dot < 0 || object == nullptr)
        return {object, path.toLatin1()};
    QObject* sub = object->property(path.left(dot).toLatin1().constData()).value<QObject*>();
    return propertyOwner(sub, path.mid(dot + 1));
}

inline QVariant readProperty(QObject* object, const QString& path) {
    const auto [owner, name] = propertyOwner(object, path);
    return owner == nullptr ? QVariant() : owner->property(name.constData());
}

inline bool writeProperty(QObject* object, const QString& path, const QVariant& value) {
    const auto [owner, name] = propertyOwner(object, path);
    return owner != nullptr && owner->setProperty(name.constData(), value);
}
