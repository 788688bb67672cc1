#pragma once

#include <QPoint>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// Where the window system really shows a top-level window's client area, in screen
// coordinates, asked of it directly. The toolkit's own idea can be stale under a window manager
// that reparents the window (it may still hold the frame's place from before the window was
// placed). Empty where the window system cannot be asked: no X11 display, or no native window.
std::optional<QPoint> windowSystemClientOrigin(const QWidget& window);

// For tests: answers in place of the window system while set. Returns the previous hook.
using WindowOriginHook = std::function<std::optional<QPoint>(const QWidget& window)>;
WindowOriginHook setWindowOriginHook(WindowOriginHook hook);

} // namespace platform
