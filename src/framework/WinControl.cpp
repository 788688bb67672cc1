#include "framework/WinControl.h"

#include "framework/ErrorReport.h"
#include "framework/GraphicControl.h"
#include "platform/Canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

TWinControl::TWinControl(QWidget* parent, Qt::WindowFlags flags) : TControl(parent, flags) {
    // The picture covers every pixel; Qt need not clear beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

TWinControl::~TWinControl() = default;

void TWinControl::setTabStop(bool stop) {
    if (stop == tabStop_)
        return;
    tabStop_ = stop;
    const int policy = stop ? focusPolicy() | Qt::StrongFocus : focusPolicy() & ~Qt::TabFocus;
    setFocusPolicy(Qt::FocusPolicy(policy));
}

QImage TWinControl::renderToImage() {
    QImage image(size(), QImage::Format_RGB32);
    renderInto(image, image.rect());
    return image;
}

std::vector<TGraphicControl*> TWinControl::windowlessChildren(bool visibleOnly) const {
    std::vector<TGraphicControl*> result;
    for (QObject* child : children())
        if (auto* control = qobject_cast<TGraphicControl*>(child))
            if (!visibleOnly || !control->isHidden())
                result.push_back(control);
    return result;
}

std::vector<TWinControl*> TWinControl::windowedChildren() const {
    std::vector<TWinControl*> result;
    for (QObject* child : children())
        if (auto* control = qobject_cast<TWinControl*>(child))
            if (!control->isWindow())
                result.push_back(control);
    return result;
}

void TWinControl::restackChildren() {
    // Raising each windowed child in order keeps their order and lifts them over the rest.
    const QObjectList kids = children(); // raise() reorders the live list
    for (QObject* child : kids) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isWindow() && !qobject_cast<TGraphicControl*>(widget))
            widget->raise();
    }
}

std::vector<TWinControl*> TWinControl::tabOrderChain() const {
    std::vector<TWinControl*> ordered = windowedChildren();
    std::stable_sort(
        ordered.begin(), ordered.end(),
        [](const TWinControl* a, const TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    std::vector<TWinControl*> chain;
    for (TWinControl* control : ordered) {
        chain.push_back(control);
        const std::vector<TWinControl*> inner = control->tabOrderChain();
        chain.insert(chain.end(), inner.begin(), inner.end());
    }
    return chain;
}

void TWinControl::AlignControls() {
    QRect space = ClientRect();
    const auto place = [&](TAlign which) {
        for (QObject* child : children()) {
            auto* control = qobject_cast<TControl*>(child);
            if (control == nullptr || control->Align() != which || control->isHidden())
                continue;
            switch (which) {
            case alTop:
                control->setBounds(space.x(), space.y(), space.width(), control->Height());
                space.setTop(space.top() + control->Height());
                break;
            case alBottom:
                control->setBounds(space.x(), space.bottom() + 1 - control->Height(), space.width(),
                                   control->Height());
                space.setBottom(space.bottom() - control->Height());
                break;
            case alLeft:
                control->setBounds(space.x(), space.y(), control->Width(), space.height());
                space.setLeft(space.left() + control->Width());
                break;
            case alRight:
                control->setBounds(space.right() + 1 - control->Width(), space.y(),
                                   control->Width(), space.height());
                space.setRight(space.right() - control->Width());
                break;
            case alClient:
                control->setBounds(space.x(), space.y(), space.width(), space.height());
                break;
            case alNone:
                break;
            }
        }
    };
    for (TAlign which : {alTop, alBottom, alLeft, alRight, alClient})
        place(which);
}

void TWinControl::paintEvent(QPaintEvent* event) {
    if (surface_.size() != size())
        surface_ = QImage(size(), QImage::Format_RGB32);
    const QRect area = event->rect().intersected(surface_.rect());
    runGuarded([&] { renderInto(surface_, area); });
    QPainter painter(this);
    painter.drawImage(area, surface_, area);
}

void TWinControl::resizeEvent(QResizeEvent* event) {
    AlignControls();
    TControl::resizeEvent(event);
}

void TWinControl::renderInto(QImage& image, const QRect& deviceRect) {
    if (image.isNull() || deviceRect.isEmpty())
        return;
    {
        platform::Canvas canvas(image);
        canvas.setClipRect(deviceRect);
        canvas.font().assign(Font());
        if (!opaque_) {
            canvas.brush().setColor(Color());
            canvas.brush().setStyle(bsSolid);
            canvas.fillRect(ClientRect());
        }
        Paint(canvas);
    }
    for (TGraphicControl* child : windowlessChildren(true)) {
        const QRect clip = child->geometry().intersected(deviceRect);
        if (clip.isEmpty())
            continue;
        platform::Canvas canvas(image);
        canvas.setOrigin(child->pos());
        canvas.setClipRect(clip);
        canvas.font().assign(child->Font());
        child->Paint(canvas);
    }
}
