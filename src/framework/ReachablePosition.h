#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace framework {

// Where a window remembered as `wanted` opens: there, as long as any part of it meets one of
// the screens; otherwise at `fallback` (its designed place) if that meets the primary screen's
// work area, else at that area's top-left corner. A window is never put where no one can reach
// it (a monitor since unplugged, a hand-edited settings file).
QPoint reachablePosition(const QRect& wanted, const QList<QRect>& screens, const QRect& primaryArea,
                         QPoint fallback);
// The same over the screens the application has now.
QPoint reachablePosition(const QRect& wanted, QPoint fallback);

} // namespace framework
