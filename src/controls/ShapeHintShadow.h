#pragma once

#include "controls/ShapeHintTypes.h"
#include "platform/Colors.h"

#include <QObject>
#include <QtGlobal>

// The drop shadow of the balloon hints: its colour, its depth in pixels and its style.
class TShapeHintShadow : public QObject {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    Q_PROPERTY(quint8 Depth READ Depth WRITE setDepth)
    Q_PROPERTY(shapehint::THintShadowStyle Style READ Style WRITE setStyle)

public:
    explicit TShapeHintShadow(QObject* parent = nullptr) : QObject(parent) {}

    TColor Color() const { return color_; }
    void setColor(TColor color) { color_ = color; }
    quint8 Depth() const { return depth_; }
    void setDepth(quint8 depth) { depth_ = depth; }
    THintShadowStyle Style() const { return style_; }
    void setStyle(THintShadowStyle style) { style_ = style; }

private:
    TColor color_ = clBtnShadow;
    quint8 depth_ = 6;
    THintShadowStyle style_ = hssSolid;
};
