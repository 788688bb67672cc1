#pragma once

#include "controls/ShapeHintLook.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>

// The window that shows one balloon hint: a frameless tool window that never takes the focus or
// the mouse, shaped to the balloon (body, nose and shadow) so what lies outside stays visible.
// The picture is composed once, at activation.
class TShapeHintWindow : public QWidget {
    Q_OBJECT

public:
    explicit TShapeHintWindow(QWidget* parent = nullptr);

    // Where a balloon goes: its size, its top-left corner on the screen, the side of the
    // pointer it was placed on and where its text box lies inside it.
    struct Layout {
        QSize size;
        QPoint topLeft;
        THintPosition position = hpAboveRight;
        QRect textRect;
    };
    // textBox: the measured text enlarged by 6 each way. Tries up to four sides, from the
    // preferred one in the order above-left, above-right, below-left, below-right, and takes
    // the first that lies wholly on the screen; else the last one tried.
    static Layout layoutFor(QSize textBox, QPoint anchor, const ShapeHintLook& look,
                            const QRect& screen);
    // The text box for a text: measured with the look's font, wrapped at the look's width.
    static QSize measureText(const QString& text, const ShapeHintLook& look, int screenWidth);
    // The balloon picture: transparent where the screen shows through.
    static QImage compose(const QString& text, const Layout& layout, const ShapeHintLook& look);

    // Shows the balloon for text pointing at anchor (screen coordinates).
    void activate(const QString& text, QPoint anchor, const ShapeHintLook& look);

    const QImage& picture() const { return picture_; }
    const Layout& currentLayout() const { return layout_; }
    const QString& text() const { return text_; }

    // Called whenever the window is hidden.
    std::function<void()> onHidden;

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QImage picture_;
    Layout layout_;
    QString text_;
};
