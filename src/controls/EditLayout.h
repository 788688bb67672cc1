#pragma once

#include "controls/BrowseTypes.h"

#include <QRect>
#include <QSize>
#include <vector>

// Where the parts of an edit with embedded buttons lie. The border is drawn outside the client
// area (as the platform's client edge is); every other rectangle is in client coordinates.
struct EditLayout {
    int border = 0;             // border width on each side, outside the client area
    QRect client;               // in the control's window coordinates
    int bevel = 0;              // the bevel the edit draws inside its client area
    QRect paint;                // client area less the bevel and the button strip
    QRect text;                 // where the text is edited
    std::vector<QRect> buttons; // one per embedded button

    QRect toWindow(const QRect& clientRect) const {
        return clientRect.translated(client.topLeft());
    }
};

EditLayout editLayout(QSize windowSize, TEditBevelMode mode, int buttonCount, int buttonWidth);
