#pragma once

#include "controls/ShapeHintTypes.h"

#include <QObject>

// The optional raised, lowered or shadowed look of the balloon hints' text.
class TShapeHintFont3D : public QObject {
    Q_OBJECT
    Q_PROPERTY(shapehint::THintFont3DStyle Style READ Style WRITE setStyle)

public:
    explicit TShapeHintFont3D(QObject* parent = nullptr) : QObject(parent) {}

    THintFont3DStyle Style() const { return style_; }
    void setStyle(THintFont3DStyle style) { style_ = style; }

private:
    THintFont3DStyle style_ = f3dNone;
};
