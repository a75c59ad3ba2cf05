#pragma once

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <QObject>

#include <optional>

class QWidget;

namespace kurvaro {

/// The frame that the window manager draws around a top-level window.
///
/// Under an X11 window manager that announces its frames (the EWMH frame
/// extents), only that announcement counts: until it comes the frame is not
/// known, whatever the window tree seems to say while the frame is still
/// being built. Elsewhere Qt's own reading of the frame is taken.
class WindowFrame : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit WindowFrame(QWidget& window);
    ~WindowFrame() override;

    /// The frame as known now; null while it is not known (and always when
    /// no window manager frames the window).
    QMargins margins() const;
    /// Whether the frame comes from the window manager's announcement (and
    /// is final), rather than from Qt's reading of the window tree.
    bool announces() const { return frameExtents != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    /// The window manager has announced a frame, or a new one.
    void announced();

private:
    QWidget& window;
    /// The X11 atom of the announcement; 0 when the manager makes none.
    unsigned frameExtents = 0;
    /// The last announcement read (null: none yet); reset when a new one comes.
    mutable std::optional<QMargins> lastAnnounced;
};

} // namespace kurvaro
