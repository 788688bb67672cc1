#include "framework/GraphicControl.h"

#include "framework/WinControl.h"

#include <QEvent>

TGraphicControl::TGraphicControl(QWidget* parent) : TControl(parent) {
    stackBelowWindowedSiblings();
}

void TGraphicControl::Invalidate() {
    Invalidate(ClientRect());
}

void TGraphicControl::Invalidate(const QRect& clientRect) {
    QWidget* parent = parentWidget();
    if (parent == nullptr || isHidden())
        return;
    parent->update(clientRect.translated(pos()).intersected(geometry()));
}

void TGraphicControl::Repaint() {
    QWidget* parent = parentWidget();
    if (parent == nullptr || isHidden())
        return;
    parent->repaint(geometry());
}

bool TGraphicControl::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange)
        stackBelowWindowedSiblings();
    return TControl::event(event);
}

void TGraphicControl::paintEvent(QPaintEvent*) {
    // Nothing: the parent window has painted this control's area already.
}

void TGraphicControl::stackBelowWindowedSiblings() {
    QWidget* parent = parentWidget();
    if (parent == nullptr)
        return;
    for (QObject* sibling : parent->children()) {
        auto* windowed = qobject_cast<QWidget*>(sibling);
        if (windowed != nullptr && windowed != this && !windowed->isWindow() &&
            !qobject_cast<TGraphicControl*>(windowed)) {
            stackUnder(windowed);
            return;
        }
    }
}
