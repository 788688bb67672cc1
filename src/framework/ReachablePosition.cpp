#include "framework/ReachablePosition.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace framework {

QPoint reachablePosition(const QRect& wanted, const QList<QRect>& screens, const QRect& primaryArea,
                         QPoint fallback) {
    const auto meets = [&wanted](const QRect& screen) { return screen.intersects(wanted); };
    if (screens.isEmpty() || std::any_of(screens.begin(), screens.end(), meets))
        return wanted.topLeft();
    if (primaryArea.intersects(QRect(fallback, wanted.size())))
        return fallback;
    return primaryArea.topLeft();
}

QPoint reachablePosition(const QRect& wanted, QPoint fallback) {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->geometry();
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect area = primary != nullptr ? primary->availableGeometry() : QRect();
    return reachablePosition(wanted, screens, area, fallback);
}

} // namespace framework
