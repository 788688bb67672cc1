#include "controls/EditLayout.h"

#include <algorithm>

namespace {

int borderWidth(TEditBevelMode mode) {
    return mode == bmWindows ? 2 : 0;
}

int bevelWidth(TEditBevelMode mode) {
    return mode == bmFlat ? 1 : 0;
}

} // namespace

EditLayout editLayout(QSize windowSize, TEditBevelMode mode, int buttonCount, int buttonWidth) {
    EditLayout layout;
    layout.border = borderWidth(mode);
    layout.client =
        QRect(layout.border, layout.border, std::max(0, windowSize.width() - 2 * layout.border),
              std::max(0, windowSize.height() - 2 * layout.border));
    layout.bevel = bevelWidth(mode);

    const int b = layout.bevel;
    QRect paint = QRect(QPoint(0, 0), layout.client.size()).adjusted(b, b, -b, -b);
    // The pixel left of the first button stays free, even with no button.
    paint.setWidth(std::max(0, paint.width() - (buttonCount * buttonWidth + 1)));
    layout.paint = paint;
    layout.text = paint.adjusted(1, 1, -1, -1);

    // With the platform's edge the buttons keep the client area's top.
    const int buttonTop = mode == bmWindows ? 0 : paint.top();
    const int firstLeft = paint.x() + paint.width() + 1;
    for (int i = 0; i < buttonCount; ++i)
        layout.buttons.emplace_back(firstLeft + i * buttonWidth, buttonTop, buttonWidth,
                                    paint.height());
    return layout;
}
