#include "platform/WindowOrigin.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <utility>

#ifdef KIRIMO_HAVE_XCB
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#endif

namespace platform {
namespace {

WindowOriginHook& originHook() {
    static WindowOriginHook hook;
    return hook;
}

#ifdef KIRIMO_HAVE_XCB
std::optional<QPoint> x11ClientOrigin(const QWidget& window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || window.windowHandle() == nullptr)
        return std::nullopt;
    xcb_connection_t* connection = x11->connection();
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (screens.rem == 0)
        return std::nullopt;
    const auto native = xcb_window_t(window.windowHandle()->winId());
    const xcb_translate_coordinates_cookie_t cookie =
        xcb_translate_coordinates(connection, native, screens.data->root, 0, 0);
    const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> reply(
        xcb_translate_coordinates_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        return std::nullopt;
    return QPoint(reply->dst_x, reply->dst_y);
}
#endif

} // namespace

std::optional<QPoint> windowSystemClientOrigin(const QWidget& window) {
    if (const WindowOriginHook& hook = originHook())
        return hook(window);
#ifdef KIRIMO_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return x11ClientOrigin(window);
#endif
    return std::nullopt;
}

WindowOriginHook setWindowOriginHook(WindowOriginHook hook) {
    return std::exchange(originHook(), std::move(hook));
}

} // namespace platform
