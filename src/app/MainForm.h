#pragma once

#include "app/PanZoom.h"
#include "model/Stores.h"
#include "plot/PlotSurface.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>
#include <span>

class QCloseEvent;
class QShowEvent;
class QTimer;

namespace Ui {
class TMatheMain;
}

namespace kurvaro {

class OuterBounds;
class PlotRenderer;
class StartWatch;
class ViewMapping;
class TForm1;
class TForm2;
class TForm4;

/// The main window `MatheMain`: the drawing area `Image1` on the left, the
/// panel with the read-out, the view controls and the command buttons on the
/// right. It is the renderer's surface (the drawing area, warnings, the event
/// pump, the panel's controls) and the view store of the renderer and the
/// settings (the range fields and the window's outer bounds).
///
/// Every event handler runs inside `guarded`: a failure ends the handler in
/// the general error box and the program goes on.
class TMatheMain : public QWidget, public PlotSurface, public ViewStore
{
    Q_OBJECT
public:
    /// Runs FormCreate: the controls, an empty PlotBitmap, LastRange read
    /// from the designed texts -5..5 by -5..5.
    explicit TMatheMain(QWidget* parent = nullptr);
    ~TMatheMain() override;

    /// Creates the functions, options and info dialogs (Form2, Form1, Form4,
    /// in this order), owned by this window and living as long as it does.
    void CreateDialogs();
    TForm2* Form2() const { return form2; }
    TForm1* Form1() const { return form1; }
    TForm4* Form4() const { return form4; }

    /// DrawBackground, DrawFunctions when it succeeded, PresentPlot, over the
    /// functions and options dialogs (created first if they are not yet).
    /// Ignored while a redraw runs and after the window has closed. May throw
    /// what the renderer throws.
    void Redraw();

    const PlotRenderer& renderer() const { return *Renderer; }
    /// The save dialog's remembered file name (empty at start).
    const QString& savePictureFileName() const { return SavePictureFileName; }

    // PlotSurface
    /// In the screen's device pixels.
    QSize drawingAreaSize() const override;
    double devicePixelRatio() const override;
    void showWarning(const QString& text) override;
    void processEvents() override;
    void presentPlot(const QImage& picture, std::span<const QRect> changed) override;
    void setControlsEnabled(bool enabled) override;

    // ViewStore: the range fields, and the bounds are the window's outer ones, frame included
    // (see OuterBounds for a frame that is not known yet).
    QString rangeText(RangeField field) const override;
    void setRangeText(RangeField field, const QString& text) override;
    int windowBound(WindowBound bound) const override;
    void setWindowBound(WindowBound bound, int value) override;

    /// The mapping of LastRange onto the drawing area as it is now.
    ViewMapping mapping() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();

    void Image1MouseDown(QPoint position);
    void Image1MouseMove(QPoint position);
    void Image1MouseUp(QPoint position);
    /// Zooms as the zoom buttons do, about the plane point under the pointer,
    /// one zoom step per whole wheel step (see WheelSteps).
    void Image1MouseWheel(QPoint position, QPoint angleDelta, QPoint pixelDelta);
    void Timer1Timer();

    /// The keyboard's ways to the panel's buttons, the help text and the
    /// clipboard, and the tooltips that name them.
    void CreateShortcuts();
    /// Ctrl+C: PlotBitmap to the clipboard as an image.
    void CopyPicture();
    /// F1: Info.txt through the shell.
    void ShowHelp();
    /// The zoom picture, painted at the ratio of the window's screen.
    void showZoomPicture();

    /// Until the user's first input the first picture follows the drawing
    /// area, whose size the window manager settles only after the window is
    /// on screen: it is drawn again when it no longer fits.
    void refitFirstPicture();

    std::unique_ptr<Ui::TMatheMain> ui;
    std::unique_ptr<PlotRenderer> Renderer;
    QTimer* Timer1 = nullptr;
    TForm2* form2 = nullptr;
    TForm1* form1 = nullptr;
    TForm4* form4 = nullptr;

    WheelSteps Wheel;
    bool DragActive = false;
    QPoint DragStart;
    QPoint DragCurrent;

    QString SavePictureFileName;
    bool Shown = false;
    OuterBounds* Bounds = nullptr;
    StartWatch* Start = nullptr;
    bool RefitAfterDrawing = false;
    bool RefittingFirstPicture = false;
};

} // namespace kurvaro
