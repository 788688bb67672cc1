#pragma once

#include "framework/GraphicControl.h"

class QShortcut;

// A windowless push button with a caption: a raised face in the button colour, sunk while the
// left button holds it down. A flat button draws nothing until the mouse is over it, then a thin
// raised edge (sunk while held), so whatever lies beneath stays visible. A "&" in the caption
// marks its accelerator: that key, alone or with Alt, clicks the button while its window is
// active (a focused edit keeps plain keys for itself).
class TSpeedButton : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)

public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    ~TSpeedButton() override;

    bool Flat() const { return flat_; }
    void setFlat(bool flat);

    // The mouse is over the button / the left button holds it down over it.
    bool isHot() const { return hot_; }
    bool isPressed() const { return pressed_ && hot_; }

    // The accelerator character of a caption ("CLOSE (&X)" -> 'X'), or a null character.
    static QChar acceleratorOf(const QString& caption);

    void Paint(platform::Canvas& canvas) override;

protected:
    void TextChanged() override;
    void EnabledChanged() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void updateAccelerator();
    void setHot(bool hot);
    void setPressed(bool pressed);

    bool flat_ = false;
    bool hot_ = false;
    bool pressed_ = false;
    QShortcut* plainKey_ = nullptr; // children of this control
    QShortcut* altKey_ = nullptr;
};
