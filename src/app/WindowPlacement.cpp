#include "app/WindowPlacement.h"

#include "app/WindowFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace kurvaro {

// ---- OuterBounds ----

OuterBounds::OuterBounds(QWidget& window)
    : QObject(&window), window(window), outer(window.geometry()), Frame(new WindowFrame(window))
{
    window.installEventFilter(this);
    connect(Frame, &WindowFrame::announced, this, &OuterBounds::followFrame);
}

QMargins OuterBounds::frame() const
{
    const QMargins m = Frame->margins();
    // Read from the window tree while the window manager is still building
    // the frame, a frame window not yet sized can make the margins negative
    // or wider than the window: the frame is not known yet then.
    if (m.left() < 0 || m.top() < 0 || m.right() < 0 || m.bottom() < 0 ||
        m.left() + m.right() >= outer.width() || m.top() + m.bottom() >= outer.height())
        return {};
    return m;
}

QRect OuterBounds::liveOuter() const
{
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? handle->frameGeometry() : window.frameGeometry();
}

int OuterBounds::bound(WindowBound bound) const
{
    const QRect r = placing ? outer : liveOuter();
    switch (bound) {
    case WindowBound::Width:
        return r.width();
    case WindowBound::Height:
        return r.height();
    case WindowBound::Top:
        return r.y();
    case WindowBound::Left:
        return r.x();
    }
    return 0;
}

void OuterBounds::setBound(WindowBound bound, int value)
{
    if (!placing)
        outer = liveOuter();
    switch (bound) {
    case WindowBound::Width:
        outer.setWidth(value);
        break;
    case WindowBound::Height:
        outer.setHeight(value);
        break;
    case WindowBound::Top:
        outer.moveTop(value);
        break;
    case WindowBound::Left:
        outer.moveLeft(value);
        break;
    }
    apply(placing ? appliedFrame : frame());
}

void OuterBounds::apply(const QMargins& frame)
{
    const QRect client = outer.marginsRemoved(frame);
    window.setGeometry(client);
    // The widget passes on only what differs in its own view, completed by
    // the window's view of the rest, which may be a placement of the window
    // manager that the widget has not heard of yet: the window is given the
    // whole rectangle, position and size together.
    if (QWindow* handle = window.windowHandle())
        handle->setGeometry(client);
}

void OuterBounds::settle()
{
    if (!placing)
        return;
    placing = false;
    window.removeEventFilter(this);
    if (watchedHandle != nullptr)
        watchedHandle->removeEventFilter(this);
}

bool OuterBounds::eventFilter(QObject* watched, QEvent* event)
{
    // Where the frame is read from the window tree, it becomes known some
    // events after the window has been mapped; which event that is depends on
    // the window manager, so every event of the widget and of its window is
    // a moment to look.
    if (placing && watchedHandle == nullptr && window.windowHandle() != nullptr) {
        watchedHandle = window.windowHandle();
        watchedHandle->installEventFilter(this);
    }
    followFrame();
    return QObject::eventFilter(watched, event);
}

void OuterBounds::followFrame()
{
    if (!placing)
        return;
    // The client area follows each change of the frame until the placement
    // is over, so that it ends fitted to the frame as finally built. A frame
    // that the window manager has announced is the final one: from then on
    // the window reports where it really is, so that a move or a resize by
    // the window manager before the user's first input is kept as well.
    const QMargins now = frame();
    if (!now.isNull() && now != appliedFrame) {
        appliedFrame = now;
        apply(now);
        if (Frame->announces())
            settle();
    }
}

// ---- StartWatch ----

StartWatch::StartWatch(QWidget& window, QWidget& drawingArea)
    : QObject(&window), window(window), drawingArea(drawingArea)
{
    drawingArea.installEventFilter(this);
    QCoreApplication::instance()->installEventFilter(this);
}

StartWatch::~StartWatch()
{
    end();
}

void StartWatch::runWhenExposed(std::function<void()> first)
{
    firstStep = std::move(first);
    QWindow* handle = window.windowHandle();
    if (handle == nullptr || handle->isExposed()) {
        QTimer::singleShot(0, this, [this] {
            if (auto step = std::exchange(firstStep, nullptr))
                step();
        });
        return;
    }
    exposeWatched = handle;
    handle->installEventFilter(this);
}

void StartWatch::end()
{
    if (!Settling)
        return;
    Settling = false;
    drawingArea.removeEventFilter(this);
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeEventFilter(this);
}

bool StartWatch::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Expose:
        if (watched == exposeWatched && exposeWatched != nullptr &&
            static_cast<QWindow*>(watched)->isExposed()) {
            exposeWatched->removeEventFilter(this);
            exposeWatched = nullptr;
            // Not from inside the expose handling: the first picture runs the
            // event pump between its curves.
            QTimer::singleShot(0, this, [this] {
                if (auto step = std::exchange(firstStep, nullptr))
                    step();
            });
        }
        break;
    case QEvent::Resize:
        if (Settling && watched == &drawingArea)
            emit drawingAreaResized();
        break;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        if (Settling && watched->isWidgetType()) {
            end();
            emit firstInput();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kurvaro
