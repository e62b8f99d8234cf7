#include "app/host_embedding.h"

#include <QGuiApplication>
#include <QScreen>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(TOA_HAVE_XCB)
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace toa::app {

namespace {

// Whether the handle names a window at all. Qt's foreign windows take any number as a window,
// so the window system is asked first.
bool namesWindow([[maybe_unused]] std::uint32_t handle) {
#if defined(Q_OS_WIN)
    return IsWindow(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle))) != 0;
#elif defined(TOA_HAVE_XCB)
    // Off X11 the platform's foreign windows decide. The offscreen platform offers an X11
    // interface too, without a connection.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != "xcb" || x11 == nullptr) return true;
    xcb_connection_t* connection = x11->connection();
    if (connection == nullptr) return true;
    xcb_generic_error_t* error = nullptr;
    xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, handle), &error);
    const bool exists = reply != nullptr;
    std::free(reply);
    std::free(error);
    return exists;
#else
    return true;
#endif
}

}  // namespace

bool embedInHost(QWidget& form, std::uint32_t handle) {
    if (!namesWindow(handle)) return false;
    // Platforms without foreign windows (offscreen) give none.
    QWindow* host = QWindow::fromWinId(static_cast<WId>(handle));
    if (host == nullptr) return false;
    // The border goes before the native window exists: changing the flags later would
    // re-create it and lose the parent.
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.winId();
    form.windowHandle()->setParent(host);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    form.move((screen.width() - form.width()) / 2, (screen.height() - form.height()) / 2);
    return true;
}

QWindow* hostWindow(const QWidget& form) {
    const QWindow* own = form.windowHandle();
    return own != nullptr ? own->parent() : nullptr;
}

}  // namespace toa::app
