#include "framework/SpeedButton.h"

#include "platform/Canvas.h"

#include <QShortcut>

using namespace platform;

TSpeedButton::TSpeedButton(QWidget* parent) : TGraphicControl(parent) {
    resize(23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::setFlat(bool flat) {
    if (flat == flat_)
        return;
    flat_ = flat;
    Invalidate();
}

QChar TSpeedButton::acceleratorOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toUpper();
        ++i; // "&&" is a literal ampersand
    }
    return {};
}

void TSpeedButton::updateAccelerator() {
    delete plainKey_;
    delete altKey_;
    plainKey_ = nullptr;
    altKey_ = nullptr;
    const QChar key = acceleratorOf(Caption());
    if (key.isNull())
        return;
    const auto click = [this] {
        if (Enabled() && Visible())
            Click();
    };
    plainKey_ = new QShortcut(QKeySequence(QString(key)), this); // owned by this control
    altKey_ = new QShortcut(QKeySequence(QStringLiteral("Alt+") + key), this);
    for (QShortcut* shortcut : {plainKey_, altKey_}) {
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, click);
    }
}

void TSpeedButton::TextChanged() {
    updateAccelerator();
    Invalidate();
}

void TSpeedButton::EnabledChanged() {
    if (!Enabled()) {
        hot_ = false;
        pressed_ = false;
    }
    Invalidate();
}

void TSpeedButton::setHot(bool hot) {
    if (hot == hot_)
        return;
    hot_ = hot;
    Invalidate();
}

void TSpeedButton::setPressed(bool pressed) {
    if (pressed == pressed_)
        return;
    pressed_ = pressed;
    Invalidate();
}

void TSpeedButton::MouseEnter() {
    if (Enabled())
        setHot(true);
    TGraphicControl::MouseEnter();
}

void TSpeedButton::MouseLeave() {
    setHot(false);
    TGraphicControl::MouseLeave();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && Enabled()) {
        hot_ = true;
        setPressed(true);
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        setPressed(false);
        setHot(ClientRect().contains(x, y));
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::Paint(Canvas& canvas) {
    const QRect area = ClientRect();
    const bool down = isPressed();
    if (!flat_) {
        canvas.brush().setColor(clBtnFace);
        canvas.brush().setStyle(bsSolid);
        canvas.fillRect(area);
        canvas.drawEdge(area, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else if (hot_) {
        canvas.drawEdge(area, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    if (Caption().isEmpty())
        return;
    const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    const QRect textRect = down ? area.translated(1, 1) : area;
    canvas.brush().setStyle(bsClear);
    canvas.setBkMode(BkMode::Transparent);
    canvas.font().assign(Font());
    if (!Enabled()) {
        canvas.font().setColor(clBtnHighlight);
        canvas.drawText(Caption(), textRect.translated(1, 1), format);
        canvas.font().setColor(clBtnShadow);
    }
    canvas.drawText(Caption(), textRect, format);
}
