#include "controls/DialogPlacement.h"

#include "framework/Application.h"
#include "framework/Form.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace controls {
namespace {

enum class Along { Start, Center, End, Custom };

Along horizontal(TDlgPosition position) {
    switch (position) {
    case bpTopLeft:
    case bpCenterLeft:
    case bpBottomLeft:
        return Along::Start;
    case bpTopCenter:
    case bpCenter:
    case bpBottomCenter:
        return Along::Center;
    case bpTopRight:
    case bpCenterRight:
    case bpBottomRight:
        return Along::End;
    case bpCustom:
        break;
    }
    return Along::Custom;
}

Along vertical(TDlgPosition position) {
    switch (position) {
    case bpTopLeft:
    case bpTopCenter:
    case bpTopRight:
        return Along::Start;
    case bpCenterLeft:
    case bpCenter:
    case bpCenterRight:
        return Along::Center;
    case bpBottomLeft:
    case bpBottomCenter:
    case bpBottomRight:
        return Along::End;
    case bpCustom:
        break;
    }
    return Along::Custom;
}

// start and length of the target along one axis; size of the dialog along it.
int place(Along along, int start, int length, int size) {
    switch (along) {
    case Along::Center:
        return start + (length - size) / 2;
    case Along::End:
        return start + length - size;
    case Along::Start:
    case Along::Custom:
        break;
    }
    return start;
}

QScreen* primaryScreen() {
    return QGuiApplication::primaryScreen();
}

QRect screenRect() {
    const QScreen* screen = primaryScreen();
    return screen != nullptr ? QRect(QPoint(0, 0), screen->geometry().size()) : QRect();
}

QRect formRect(const QWidget* form) {
    return form != nullptr ? form->frameGeometry() : screenRect();
}

} // namespace

QPoint fileDialogTopLeft(const QRect& monitor, QSize dialog) {
    return {monitor.x() + (monitor.width() - dialog.width()) / 2,
            monitor.y() + (monitor.height() - dialog.height()) / 3};
}

QPoint browseDialogTopLeft(TDlgPosition position, const QRect& target, QSize dialog, QSize screen) {
    const int w = dialog.width();
    const int h = dialog.height();
    int left = place(horizontal(position), target.x(), target.width(), w);
    int top = place(vertical(position), target.y(), target.height(), h);
    if (top + h > screen.height())
        top = target.y() + target.height() - h;
    if (left + w > screen.width())
        left = target.x() + target.width() - w;
    return {std::max(0, left), std::max(0, top)};
}

QRect dialogTargetRect(TDlgPosRel relation) {
    switch (relation) {
    case brScreen:
        return screenRect();
    case brScreenWorkArea: {
        const QScreen* screen = primaryScreen();
        return screen != nullptr ? screen->availableGeometry() : QRect();
    }
    case brMainForm:
        return formRect(Application != nullptr ? Application->MainForm() : nullptr);
    case brActiveWindow:
        return formRect(QApplication::activeWindow());
    }
    return screenRect();
}

QRect dialogMonitor(const QWidget* window) {
    const QWidget* form = Application != nullptr ? Application->MainForm() : nullptr;
    if (form == nullptr)
        form = window;
    const QScreen* screen = form != nullptr ? form->screen() : primaryScreen();
    if (screen == nullptr)
        screen = primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect();
}

} // namespace controls
