#pragma once

#include "framework/GraphicControl.h"
#include "platform/TBrush.h"
#include "platform/TPen.h"

// A rectangle, square, rounded rectangle or square, ellipse or circle drawn with its own pen
// and brush. Pen and Brush are owned; changing them repaints.
class TShape : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(framework::TShapeType Shape READ Shape WRITE setShape)

public:
    explicit TShape(QWidget* parent = nullptr);
    ~TShape() override;

    TShapeType Shape() const { return shape_; }
    void setShape(TShapeType shape);
    TPen& Pen() { return pen_; }
    const TPen& Pen() const { return pen_; }
    void setPen(const TPen& pen) { pen_.assign(pen); }
    TBrush& Brush() { return brush_; }
    const TBrush& Brush() const { return brush_; }
    void setBrush(const TBrush& brush) { brush_.assign(brush); }

    void Paint(platform::Canvas& canvas) override;
    // Pen.* and Brush.* besides the inherited ones.
    bool applyProperty(const QString& path, const QVariant& value) override;

private:
    TShapeType shape_ = stRectangle;
    TPen pen_;
    TBrush brush_;
};
