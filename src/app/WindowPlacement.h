#pragma once

#include "model/Stores.h"

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>

class QEvent;
class QWidget;

namespace kurvaro {

class WindowFrame;

/// The main window's bounds as the settings file keeps them: left, top, width
/// and height of the outer frame, the window manager's frame included (the
/// designed 683 x 498 at 183,115 hold a client area of 675 x 464).
///
/// A window manager frames the window only after it has been mapped, so when
/// the stored bounds are applied at the first showing the frame is not known
/// yet. The client area is then given the whole outer rectangle; as soon as
/// the frame is known, the client area becomes the stored rectangle less the
/// frame. That correction is computed from the stored bounds, never from the
/// window's position of the moment, which is in flux while the window manager
/// places the window. Until the placement is over (a frame announced by the
/// window manager has been applied, or the user's first input) the stored
/// rectangle is what the window reports, so that a start and a close with
/// nothing moved write back what was read. Without a window manager no frame
/// ever appears and the outer rectangle is the client area.
class OuterBounds : public QObject
{
public:
    explicit OuterBounds(QWidget& window);

    int bound(WindowBound bound) const;
    /// Applies one bound at once, the three others as they stand.
    void setBound(WindowBound bound, int value);
    /// The placement is over (the frame is final, the user has acted, or the
    /// window closes): from now on the window's own frame geometry is
    /// reported and no correction follows.
    void settle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The frame around the client area; null while none is known.
    QMargins frame() const;
    /// The outer rectangle as the window system has it now.
    QRect liveOuter() const;
    /// Gives the client area the stored outer rectangle less `frame`.
    void apply(const QMargins& frame);
    /// Fits the client area to the frame once it is known or has changed.
    void followFrame();

    QWidget& window;
    QRect outer;
    WindowFrame* Frame;
    bool placing = true;
    QMargins appliedFrame;
    QPointer<QObject> watchedHandle;
};

/// Watches the main window from its first showing to the user's first input,
/// the time in which the window manager places and frames it. It runs the
/// first picture once the window is on screen and tells when the drawing
/// area's size changes before the user has done anything, so that the first
/// picture can be made to fit the area it is shown in.
class StartWatch : public QObject
{
    Q_OBJECT

public:
    StartWatch(QWidget& window, QWidget& drawingArea);
    ~StartWatch() override;

    /// Runs `first` once, from the event loop, as soon as the window is
    /// exposed on screen.
    void runWhenExposed(std::function<void()> first);
    /// True until the user's first key, mouse button or wheel turn anywhere
    /// in the program, or until `end`.
    bool settling() const { return Settling; }
    void end();

signals:
    /// The drawing area changed its size while the watch was settling.
    void drawingAreaResized();
    /// The user's first input; the watch has ended.
    void firstInput();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window;
    QWidget& drawingArea;
    QPointer<QObject> exposeWatched;
    std::function<void()> firstStep;
    bool Settling = true;
};

} // namespace kurvaro
