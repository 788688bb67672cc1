#pragma once

#include "framework/Control.h"

#include <QImage>
#include <vector>

class TGraphicControl;

// A control with a window of its own. Each paint renders into a 32-bit picture of its size:
// the background in Color (unless the control paints every pixel itself, see setOpaque), its
// own Paint(), then every visible windowless child in child order, each with the canvas origin
// at its position and clipped to its bounds. Windowed children are widgets of their own,
// stacked above all windowless siblings.
class TWinControl : public TControl {
    Q_OBJECT
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE setTabOrder)

public:
    explicit TWinControl(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~TWinControl() override;

    bool windowless() const override { return false; }

    bool TabStop() const { return tabStop_; }
    void setTabStop(bool stop);
    // Position in the parent's keyboard order (see tabOrderChain).
    int TabOrder() const { return tabOrder_; }
    void setTabOrder(int order) { tabOrder_ = order; }

    // The picture this control's paint produces: background, Paint() and windowless children
    // (not the windowed children, which paint themselves).
    QImage renderToImage();

    // Windowless children in paint order; visible ones only if asked.
    std::vector<TGraphicControl*> windowlessChildren(bool visibleOnly) const;
    // Windowed TWinControl children.
    std::vector<TWinControl*> windowedChildren() const;

    // Puts every windowless child below every windowed one, keeping each group's order.
    void restackChildren();
    // The windowed descendants in keyboard order: the children by TabOrder, each followed by
    // its own chain. Tab and Shift+Tab in a TForm follow it (among the enabled, visible ones
    // that take tab focus); a control that wraps an inner editor makes it its focusProxy.
    std::vector<TWinControl*> tabOrderChain() const;
    // Lays out the children that have an Align setting.
    void AlignControls();

protected:
    // The control paints every pixel itself: no background fill.
    void setOpaque(bool opaque) { opaque_ = opaque; }
    bool opaque() const { return opaque_; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void renderInto(QImage& image, const QRect& deviceRect);

    bool tabStop_ = false;
    int tabOrder_ = -1;
    bool opaque_ = false;
    QImage surface_;
};
