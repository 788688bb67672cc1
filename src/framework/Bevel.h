#pragma once

#include "framework/GraphicControl.h"

// A raised or lowered box, frame or edge line in the button shadow and highlight colours.
class TBevel : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(framework::TBevelShape Shape READ Shape WRITE setShape)
    Q_PROPERTY(framework::TBevelStyle Style READ Style WRITE setStyle)

public:
    explicit TBevel(QWidget* parent = nullptr);

    TBevelShape Shape() const { return shape_; }
    void setShape(TBevelShape shape);
    TBevelStyle Style() const { return style_; }
    void setStyle(TBevelStyle style);

    void Paint(platform::Canvas& canvas) override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};
