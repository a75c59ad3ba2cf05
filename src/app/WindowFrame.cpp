#include "app/WindowFrame.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace kurvaro {

namespace {

xcb_connection_t* x11Connection()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 =
        app != nullptr ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    const ReplyPointer<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

/// The 32-bit values of a property; empty when it is missing.
std::vector<uint32_t> property32(xcb_connection_t* connection, xcb_window_t window,
                                 xcb_atom_t property, xcb_atom_t type)
{
    const ReplyPointer<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, property, type, 0, 1024), nullptr),
        &std::free);
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

} // namespace

WindowFrame::WindowFrame(QWidget& window) : QObject(&window), window(window)
{
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr)
        return;
    // Whether the window manager announces frames at all: it says so on the
    // root window. Without one (or with one that does not) Qt's reading stays.
    const xcb_atom_t supported = internAtom(connection, "_NET_SUPPORTED");
    const xcb_atom_t extents = internAtom(connection, "_NET_FRAME_EXTENTS");
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr || extents == XCB_ATOM_NONE)
        return;
    for (const uint32_t atom : property32(connection, screen->root, supported, XCB_ATOM_ATOM)) {
        if (atom == extents)
            frameExtents = extents;
    }
    if (frameExtents != 0)
        QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowFrame::~WindowFrame()
{
    if (frameExtents != 0 && QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

QMargins WindowFrame::margins() const
{
    const QWindow* handle = window.windowHandle();
    if (handle == nullptr)
        return {};
    if (frameExtents == 0)
        return handle->frameMargins();
    // Read once per announcement: the filter below sees every change of it.
    if (!lastAnnounced) {
        xcb_connection_t* connection = x11Connection();
        if (connection == nullptr)
            return {};
        // left, right, top, bottom; none yet: not known
        const std::vector<uint32_t> e =
            property32(connection, xcb_window_t(handle->winId()), frameExtents, XCB_ATOM_CARDINAL);
        lastAnnounced =
            e.size() == 4 ? QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3])) : QMargins();
    }
    return *lastAnnounced;
}

bool WindowFrame::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
    const QWindow* handle = window.windowHandle();
    if (change->atom == frameExtents && handle != nullptr &&
        change->window == xcb_window_t(handle->winId())) {
        lastAnnounced.reset();
        // Acted upon from the event loop, not from inside Qt's event reading.
        QMetaObject::invokeMethod(this, &WindowFrame::announced, Qt::QueuedConnection);
    }
    return false;
}

} // namespace kurvaro
