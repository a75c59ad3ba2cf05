#include "ClipboardOwner.h"

#include "DesktopSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>

#include <iterator>

#include <utility>

namespace kurvaro {

// A connection of its own: the thread is its only user (Xlib serialises the
// rest of the process itself since 1.8).
struct ClipboardOwner::X
{
    Display* display = nullptr;
    Window window = 0;
    Atom clipboard = 0;
    Atom targets = 0;
    Atom utf8 = 0;
    Atom text = 0;
    Atom plainUtf8 = 0;
    Atom plain = 0;

    ~X()
    {
        if (display != nullptr)
            XCloseDisplay(display);
    }

    bool isText(Atom target) const
    {
        return target == utf8 || target == XA_STRING || target == text || target == plainUtf8 ||
               target == plain;
    }
};

ClipboardOwner::ClipboardOwner(const VirtualDesktop& desktop, QByteArray content)
    : text(std::move(content)), x(std::make_unique<X>())
{
    x->display = XOpenDisplay(desktop.displayName().toLatin1().constData());
    if (x->display == nullptr) {
        Failure = QStringLiteral("cannot open display ") + desktop.displayName();
        return;
    }
    Display* d = x->display;
    x->window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    x->clipboard = XInternAtom(d, "CLIPBOARD", False);
    x->targets = XInternAtom(d, "TARGETS", False);
    x->utf8 = XInternAtom(d, "UTF8_STRING", False);
    x->text = XInternAtom(d, "TEXT", False);
    x->plainUtf8 = XInternAtom(d, "text/plain;charset=utf-8", False);
    x->plain = XInternAtom(d, "text/plain", False);
    XSetSelectionOwner(d, x->clipboard, x->window, CurrentTime);
    if (XGetSelectionOwner(d, x->clipboard) != x->window) {
        Failure = QStringLiteral("the clipboard was not handed over");
        return;
    }
    server = std::thread([this] { serve(); });
}

ClipboardOwner::~ClipboardOwner()
{
    stopping = true;
    if (server.joinable())
        server.join();
}

void ClipboardOwner::serve()
{
    Display* d = x->display;
    while (!stopping) {
        if (XPending(d) == 0) {
            pollfd p{ConnectionNumber(d), POLLIN, 0};
            poll(&p, 1, 25);
            continue;
        }
        XEvent event;
        XNextEvent(d, &event);
        if (event.type != SelectionRequest)
            continue;
        const XSelectionRequestEvent& request = event.xselectionrequest;
        XSelectionEvent answer{};
        answer.type = SelectionNotify;
        answer.display = d;
        answer.requestor = request.requestor;
        answer.selection = request.selection;
        answer.target = request.target;
        answer.time = request.time;
        // Clients from before the current conventions name no property.
        answer.property = request.property != None ? request.property : request.target;
        if (request.target == x->targets) {
            const Atom offered[] = {x->targets, x->utf8, XA_STRING, x->plainUtf8};
            XChangeProperty(d, request.requestor, answer.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered), std::size(offered));
        } else if (x->isText(request.target)) {
            XChangeProperty(d, request.requestor, answer.property, request.target, 8,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                            int(text.size()));
            ++HandedOut;
        } else {
            answer.property = None;
        }
        XSendEvent(d, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&answer));
        XFlush(d);
    }
}

} // namespace kurvaro
