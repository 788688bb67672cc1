#include "framework/Shape.h"

#include "framework/SubObjectProperties.h"
#include "platform/Canvas.h"

#include <algorithm>

TShape::TShape(QWidget* parent) : TGraphicControl(parent) {
    pen_.onChange = [this] { Invalidate(); };
    brush_.onChange = [this] { Invalidate(); };
    resize(65, 65);
}

TShape::~TShape() {
    pen_.onChange = nullptr;
    brush_.onChange = nullptr;
}

void TShape::setShape(TShapeType shape) {
    if (shape == shape_)
        return;
    shape_ = shape;
    Invalidate();
}

void TShape::Paint(platform::Canvas& canvas) {
    canvas.pen().assign(pen_);
    canvas.brush().assign(brush_);
    // The outline lies inside the bounds whatever the pen width.
    int x = pen_.width() / 2;
    int y = x;
    int w = Width() - pen_.width() + 1;
    int h = Height() - pen_.width() + 1;
    if (pen_.width() == 0) {
        --w;
        --h;
    }
    const int s = std::min(w, h);
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = s;
        h = s;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare:
        canvas.rectangle(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare:
        canvas.roundRect(x, y, x + w, y + h, s / 4, s / 4);
        break;
    case stEllipse:
    case stCircle:
        canvas.ellipse(x, y, x + w, y + h);
        break;
    }
}

bool TShape::applyProperty(const QString& path, const QVariant& value) {
    if (path.startsWith(QLatin1String("Pen.")))
        return framework::applyPenProperty(pen_, QStringView(path).mid(4), value);
    if (path.startsWith(QLatin1String("Brush.")))
        return framework::applyBrushProperty(brush_, QStringView(path).mid(6), value);
    return TGraphicControl::applyProperty(path, value);
}
