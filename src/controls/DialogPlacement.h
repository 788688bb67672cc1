#pragma once

#include "controls/BrowseTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where the browse edits put their dialogs.
namespace controls {

// The file-open dialog: centred horizontally on the monitor, its top at one third of the height
// the dialog leaves free.
QPoint fileDialogTopLeft(const QRect& monitor, QSize dialog);

// The folder browser within its target rectangle by Position, then kept on a screen of the
// given size: a dialog reaching past the screen's bottom (right) edge ends at the target's
// bottom (right) edge instead; negative coordinates become 0.
QPoint browseDialogTopLeft(TDlgPosition position, const QRect& target, QSize dialog, QSize screen);

// The target rectangle for RelatePos: the primary screen, its work area, the application's main
// form or the active window. A form that is not there gives the screen.
QRect dialogTargetRect(TDlgPosRel relation);

// The monitor the file-open dialog centres on: that of the application's main form, else of
// the given window, else the primary screen.
QRect dialogMonitor(const QWidget* window);

} // namespace controls
