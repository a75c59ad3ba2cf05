#include "app/MainForm.h"

#include "app/Glyphs.h"
#include "app/PanZoom.h"
#include "app/WindowPlacement.h"
#include "dialogs/Desktop.h"
#include "dialogs/FuncForm.h"
#include "dialogs/SetupForm.h"
#include "dialogs/ShellTargets.h"
#include "dialogs/info_dialog.h"
#include "plot/BitmapFile.h"
#include "plot/NumberText.h"
#include "plot/PlotRenderer.h"
#include "plot/ViewMapping.h"
#include "settings/Settings.h"
#include "settings/WindowBounds.h"
#include "ui_MainForm.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QList>
#include <QLocale>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

#include <exception>
#include <utility>

namespace kurvaro {

TMatheMain::TMatheMain(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TMatheMain>())
{
    FormCreate();
}

TMatheMain::~TMatheMain() = default;

void TMatheMain::FormCreate()
{
    ui->setupUi(this);
    // The form file cannot keep a caption made of blanks only.
    ui->Label1->setText(QString(7, u' '));

    QFont sans(QStringLiteral("sans-serif"));
    sans.setStyleHint(QFont::SansSerif);
    sans.setPixelSize(11);
    setFont(sans);
    // The read-out and the range fields keep their digits in columns.
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(11);
    for (QWidget* w : {static_cast<QWidget*>(ui->Label1), static_cast<QWidget*>(ui->Editxmin),
                       static_cast<QWidget*>(ui->Editxmax), static_cast<QWidget*>(ui->Editymin),
                       static_cast<QWidget*>(ui->Editymax)})
        w->setFont(mono);

    ui->SpeedButton2->setIcon(glyphIcon(Glyph::ArrowUp));
    ui->SpeedButton3->setIcon(glyphIcon(Glyph::ArrowLeft));
    ui->SpeedButton1->setIcon(glyphIcon(Glyph::ArrowRight));
    ui->SpeedButton4->setIcon(glyphIcon(Glyph::ArrowDown));
    ui->SpeedButton5->setIcon(glyphIcon(Glyph::Minus));
    ui->SpeedButton6->setIcon(glyphIcon(Glyph::Plus));
    showZoomPicture();
    ui->Image2->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->BitBtn1->setIcon(glyphIcon(Glyph::Rulers));
    ui->BitBtn4->setIcon(glyphIcon(Glyph::CheckBoxes));
    ui->BitBtn3->setIcon(glyphIcon(Glyph::Floppy));
    ui->BitBtn2->setIcon(glyphIcon(Glyph::Brush));
    ui->BitBtn5->setIcon(glyphIcon(Glyph::InfoBubble));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(40);
    Timer1->setSingleShot(true);

    connect(ui->BitBtn1, &QPushButton::clicked, this, guardedSlot(this, &TMatheMain::BitBtn1Click));
    connect(ui->BitBtn2, &QPushButton::clicked, this, guardedSlot(this, &TMatheMain::BitBtn2Click));
    connect(ui->BitBtn3, &QPushButton::clicked, this, guardedSlot(this, &TMatheMain::BitBtn3Click));
    connect(ui->BitBtn4, &QPushButton::clicked, this, guardedSlot(this, &TMatheMain::BitBtn4Click));
    connect(ui->BitBtn5, &QPushButton::clicked, this, guardedSlot(this, &TMatheMain::BitBtn5Click));
    connect(ui->SpeedButton1, &QToolButton::clicked, this,
            guardedSlot(this, &TMatheMain::SpeedButton1Click));
    connect(ui->SpeedButton2, &QToolButton::clicked, this,
            guardedSlot(this, &TMatheMain::SpeedButton2Click));
    connect(ui->SpeedButton3, &QToolButton::clicked, this,
            guardedSlot(this, &TMatheMain::SpeedButton3Click));
    connect(ui->SpeedButton4, &QToolButton::clicked, this,
            guardedSlot(this, &TMatheMain::SpeedButton4Click));
    connect(ui->SpeedButton5, &QToolButton::clicked, this,
            guardedSlot(this, &TMatheMain::SpeedButton5Click));
    connect(ui->SpeedButton6, &QToolButton::clicked, this,
            guardedSlot(this, &TMatheMain::SpeedButton6Click));
    connect(Timer1, &QTimer::timeout, this, guardedSlot(this, &TMatheMain::Timer1Timer));
    connect(ui->Image1, &TImage::mouseDown, this, guardedSlot(this, &TMatheMain::Image1MouseDown));
    connect(ui->Image1, &TImage::mouseMove, this, guardedSlot(this, &TMatheMain::Image1MouseMove));
    connect(ui->Image1, &TImage::mouseUp, this, guardedSlot(this, &TMatheMain::Image1MouseUp));
    connect(ui->Image1, &TImage::wheelTurned, this,
            guardedSlot(this, &TMatheMain::Image1MouseWheel));
    // Enter in a range field draws the typed view, as "Aktualisieren " does.
    for (QLineEdit* edit : {ui->Editxmin, ui->Editxmax, ui->Editymin, ui->Editymax})
        connect(edit, &QLineEdit::returnPressed, this,
                guardedSlot(this, &TMatheMain::BitBtn2Click));
    CreateShortcuts();

    Bounds = new OuterBounds(*this);
    for (WindowBound b :
         {WindowBound::Width, WindowBound::Height, WindowBound::Top, WindowBound::Left})
        setWindowBound(b, DesignedWindowBound(b));
    Start = new StartWatch(*this, *ui->Image1);
    connect(Start, &StartWatch::drawingAreaResized, this, &TMatheMain::refitFirstPicture,
            Qt::QueuedConnection);
    connect(Start, &StartWatch::firstInput, Bounds, &OuterBounds::settle);

    // The renderer owns PlotBitmap (empty until the first redraw), LastRange
    // and Parser1 with its error handler. The designed texts are valid, so
    // this first reading shows no message.
    Renderer = std::make_unique<PlotRenderer>(*this, *this);
    Renderer->ReadViewRange();
}

void TMatheMain::CreateDialogs()
{
    form2 = new TForm2(this);
    form2->setObjectName(QStringLiteral("Form2"));
    form1 = new TForm1(this);
    form1->setObjectName(QStringLiteral("Form1"));
    form4 = new TForm4(this);
    form4->setObjectName(QStringLiteral("Form4"));
}

void TMatheMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (Shown)
        return;
    Shown = true;
    // On another screen the zoom picture is painted anew at its ratio; the
    // drawing area follows with the next redraw.
    if (QWindow* handle = windowHandle())
        connect(handle, &QWindow::screenChanged, this,
                guardedSlot(this, [this] { showZoomPicture(); }));
    showZoomPicture();
    FormShow();
}

void TMatheMain::showZoomPicture()
{
    ui->Image2->setPixmap(glyphPicture(Glyph::Zoom, ui->Image2->devicePixelRatioF()));
}

void TMatheMain::FormShow()
{
    if (form2 == nullptr)
        CreateDialogs();
    // The settings are loaded while the window is being shown, so that it
    // appears at its stored bounds. The first picture, or the error box of a
    // colour that does not convert, follows once the window is on screen.
    std::exception_ptr failure;
    try {
        LoadSettings(*form2, *form1, *this);
    } catch (...) {
        failure = std::current_exception();
    }
    Start->runWhenExposed([this, failure] {
        guarded(this, [&] {
            if (failure)
                std::rethrow_exception(failure);
            Redraw();
        });
    });
}

void TMatheMain::refitFirstPicture()
{
    // Asked for by a resize that came before the user's first input; the
    // request stands even when that input is handled before this runs.
    if (Renderer->pictureReleased())
        return;
    if (Renderer->isDrawing()) {
        RefitAfterDrawing = true;
        return;
    }
    // No picture yet (the first one is still to come, or it failed): nothing
    // to fit, and a refused range must not warn twice.
    const QImage& picture = Renderer->PlotBitmap();
    if (picture.isNull() || picture.size() == drawingAreaSize())
        return;
    // The same picture again: a slot whose expression does not compile was
    // reported by the first drawing already and is skipped without a word.
    RefittingFirstPicture = true;
    guarded(this, [this] { Redraw(); });
    RefittingFirstPicture = false;
}

void TMatheMain::closeEvent(QCloseEvent* event)
{
    guarded(this, [this] { FormClose(); });
    event->accept();
}

void TMatheMain::FormClose()
{
    // A redraw still running (the close arrived through its event pump)
    // stops at its next step and draws nothing more.
    Timer1->stop();
    DragActive = false;
    Renderer->releasePicture();
    Start->end();
    WriteViewSettings(*this);
    Bounds->settle();
}

void TMatheMain::Redraw()
{
    if (form2 == nullptr)
        CreateDialogs();
    const bool outermost = !Renderer->isDrawing();
    Renderer->Redraw(*form2, *form1);
    // The drawing area changed while this picture was being drawn.
    if (outermost && std::exchange(RefitAfterDrawing, false))
        QMetaObject::invokeMethod(this, &TMatheMain::refitFirstPicture, Qt::QueuedConnection);
}

ViewMapping TMatheMain::mapping() const
{
    return ViewMapping(Renderer->LastRange(), drawingAreaSize());
}

// ---- Command buttons ----

void TMatheMain::BitBtn1Click()
{
    if (Desktop::instance().execDialog(*form2) == QDialog::Accepted)
        Redraw();
}

void TMatheMain::BitBtn4Click()
{
    if (Desktop::instance().execDialog(*form1) == QDialog::Accepted)
        Redraw();
}

void TMatheMain::BitBtn2Click()
{
    Redraw();
}

void TMatheMain::BitBtn5Click()
{
    Desktop::instance().execDialog(*form4);
}

void TMatheMain::BitBtn3Click()
{
    const QString chosen =
        Desktop::instance().chooseSaveFileName(this, SavePictureFileName, SavePictureFilter());
    if (chosen.isEmpty())
        return;
    SavePictureFileName = BitmapFileName(chosen);
    SaveBitmapFile(Renderer->PlotBitmap(), SavePictureFileName);
}

// ---- Pan and zoom ----

void TMatheMain::SpeedButton3Click()
{
    StepView(*this, Renderer->LastRange(), {.XMin = -1, .XMax = -1});
    Redraw();
}

void TMatheMain::SpeedButton1Click()
{
    StepView(*this, Renderer->LastRange(), {.XMin = +1, .XMax = +1});
    Redraw();
}

void TMatheMain::SpeedButton2Click()
{
    StepView(*this, Renderer->LastRange(), {.YMin = +1, .YMax = +1});
    Redraw();
}

void TMatheMain::SpeedButton4Click()
{
    StepView(*this, Renderer->LastRange(), {.YMin = -1, .YMax = -1});
    Redraw();
}

void TMatheMain::SpeedButton6Click()
{
    StepView(*this, Renderer->LastRange(), {.XMin = +1, .XMax = -1, .YMin = +1, .YMax = -1});
    Redraw();
}

void TMatheMain::SpeedButton5Click()
{
    StepView(*this, Renderer->LastRange(), {.XMin = -1, .XMax = +1, .YMin = -1, .YMax = +1});
    Redraw();
}

// ---- Keyboard and clipboard ----

void TMatheMain::CreateShortcuts()
{
    // Keys that a range field does not use for editing. A key stands for its
    // button and does nothing while the button is disabled (during a redraw).
    const auto ctrl = [](int key) { return QKeySequence(Qt::CTRL | key); };
    const auto alt = [](int key) { return QKeySequence(Qt::ALT | key); };
    const struct
    {
        QAbstractButton* button;
        QList<QKeySequence> keys;
        const char* toolTip;
    } commands[] = {
        {ui->BitBtn1, {ctrl(Qt::Key_F)}, "Funktionen bestimmen (Strg+F)"},
        {ui->BitBtn4, {ctrl(Qt::Key_O)}, "Optionen bearbeiten (Strg+O)"},
        {ui->BitBtn3,
         {ctrl(Qt::Key_S)},
         "Als Bitmap speichern (Strg+S)\nStrg+C kopiert das Bild in die Zwischenablage"},
        {ui->BitBtn2,
         {QKeySequence(Qt::Key_F5)},
         "Aktualisieren (F5, Eingabetaste in einem Bereichsfeld)"},
        {ui->BitBtn5, {}, "Info zum Programm\nF1 öffnet die Hilfe (Info.txt)"},
        {ui->SpeedButton2, {alt(Qt::Key_Up)}, "Ansicht nach oben verschieben (Alt+↑)"},
        {ui->SpeedButton3, {alt(Qt::Key_Left)}, "Ansicht nach links verschieben (Alt+←)"},
        {ui->SpeedButton1, {alt(Qt::Key_Right)}, "Ansicht nach rechts verschieben (Alt+→)"},
        {ui->SpeedButton4, {alt(Qt::Key_Down)}, "Ansicht nach unten verschieben (Alt+↓)"},
        {ui->SpeedButton6,
         {ctrl(Qt::Key_Plus), ctrl(Qt::Key_Equal)},
         "Vergrößern (Strg++)\nMausrad über dem Bild: um den Mauszeiger"},
        {ui->SpeedButton5,
         {ctrl(Qt::Key_Minus)},
         "Verkleinern (Strg+-)\nMausrad über dem Bild: um den Mauszeiger"},
    };
    for (const auto& command : commands) {
        command.button->setToolTip(QString::fromUtf8(command.toolTip));
        if (command.keys.isEmpty())
            continue;
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(command.keys);
        // click() does nothing for a disabled button.
        connect(shortcut, &QShortcut::activated, command.button, &QAbstractButton::click);
    }
    for (QLineEdit* edit : {ui->Editxmin, ui->Editxmax, ui->Editymin, ui->Editymax})
        edit->setToolTip(QStringLiteral("Eingabetaste: Aktualisieren"));

    // A focused range field keeps Ctrl+C for its own text (it claims the key first).
    auto* copy = new QShortcut(QKeySequence(QKeySequence::Copy), this);
    connect(copy, &QShortcut::activated, this, guardedSlot(this, &TMatheMain::CopyPicture));
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, guardedSlot(this, &TMatheMain::ShowHelp));
}

void TMatheMain::CopyPicture()
{
    // What "Als Bitmap speichern" writes: never a zoom outline, and nothing
    // while a picture is half drawn or before the first one.
    const QImage& picture = Renderer->PlotBitmap();
    if (Renderer->isDrawing() || picture.isNull())
        return;
    QGuiApplication::clipboard()->setImage(picture);
}

void TMatheMain::ShowHelp()
{
    // What the functions dialog's help button opens.
    Desktop::instance().openUrl(helpFileUrl());
}

// ---- Mouse over the drawing area ----

void TMatheMain::Image1MouseMove(QPoint position)
{
    const QChar separator = localeDecimalSeparator();
    const ViewMapping view = mapping();
    ui->Label1->setText(FormatFixed4(view.PixelToX(position.x()), separator) +
                        QStringLiteral(" / ") +
                        FormatFixed4(view.PixelToY(position.y()), separator));
    if (DragActive) {
        DragCurrent = position;
        Timer1->stop();
        Timer1->start();
    }
}

void TMatheMain::Image1MouseDown(QPoint position)
{
    DragActive = true;
    DragStart = position;
}

void TMatheMain::Timer1Timer()
{
    Timer1->stop();
    if (Renderer->pictureReleased())
        return;
    Renderer->PresentPlot();
    QCoreApplication::processEvents();
    // A release or a close handled in the gap has ended the drag; its outline
    // would only linger on the next picture.
    if (!DragActive || Renderer->pictureReleased())
        return;
    ui->Image1->drawOutline(DragStart, DragCurrent);
}

void TMatheMain::Image1MouseWheel(QPoint position, QPoint angleDelta, QPoint pixelDelta)
{
    // Like the zoom buttons, which are disabled then: a turn during a redraw
    // is dropped, not saved up for later.
    if (Renderer->isDrawing() || Renderer->pictureReleased())
        return;
    const int steps = Wheel.add(angleDelta, pixelDelta);
    const QSize area = drawingAreaSize();
    if (steps == 0 || area.isEmpty())
        return;
    ZoomAbout(*this, Renderer->LastRange(), steps, double(position.x()) / area.width(),
              double(position.y()) / area.height());
    Redraw();
}

void TMatheMain::Image1MouseUp(QPoint position)
{
    DragActive = false;
    Timer1->stop();
    // A release while curves are drawn would start a second redraw; it is
    // ignored, and the fields keep the view that is being drawn.
    if (Renderer->isDrawing() || Renderer->pictureReleased())
        return;

    // The new fields are computed from LastRange on the drawing area of now.
    const ViewMapping view = mapping();
    const int x0 = DragStart.x();
    const int x1 = position.x();
    if (x1 > x0) {
        setRangeText(RangeField::XMin, FormatRangeValue(view.PixelToX(x0)));
        setRangeText(RangeField::XMax, FormatRangeValue(view.PixelToX(x1)));
    } else {
        setRangeText(RangeField::XMax, FormatRangeValue(view.PixelToX(x0)));
        setRangeText(RangeField::XMin, FormatRangeValue(view.PixelToX(x1)));
    }
    const int y0 = DragStart.y();
    const int y1 = position.y();
    if (y1 < y0) {
        setRangeText(RangeField::YMin, FormatRangeValue(view.PixelToY(y0)));
        setRangeText(RangeField::YMax, FormatRangeValue(view.PixelToY(y1)));
    } else {
        setRangeText(RangeField::YMax, FormatRangeValue(view.PixelToY(y0)));
        setRangeText(RangeField::YMin, FormatRangeValue(view.PixelToY(y1)));
    }
    Redraw();
}

// ---- ViewStore and PlotSurface ----

QString TMatheMain::rangeText(RangeField field) const
{
    switch (field) {
    case RangeField::XMin:
        return ui->Editxmin->text();
    case RangeField::XMax:
        return ui->Editxmax->text();
    case RangeField::YMin:
        return ui->Editymin->text();
    case RangeField::YMax:
        return ui->Editymax->text();
    }
    return {};
}

void TMatheMain::setRangeText(RangeField field, const QString& text)
{
    switch (field) {
    case RangeField::XMin:
        ui->Editxmin->setText(text);
        break;
    case RangeField::XMax:
        ui->Editxmax->setText(text);
        break;
    case RangeField::YMin:
        ui->Editymin->setText(text);
        break;
    case RangeField::YMax:
        ui->Editymax->setText(text);
        break;
    }
}

QSize TMatheMain::drawingAreaSize() const
{
    return ui->Image1->deviceSize();
}

double TMatheMain::devicePixelRatio() const
{
    return ui->Image1->devicePixelRatioF();
}

void TMatheMain::showWarning(const QString& text)
{
    if (!RefittingFirstPicture)
        Desktop::instance().showWarning(this, text);
}

void TMatheMain::processEvents()
{
    QCoreApplication::processEvents();
}

void TMatheMain::presentPlot(const QImage& picture, std::span<const QRect> changed)
{
    ui->Image1->present(picture, changed);
}

void TMatheMain::setControlsEnabled(bool enabled)
{
    const QWidget* const controls[] = {
        ui->SpeedButton1, ui->SpeedButton2, ui->SpeedButton3, ui->SpeedButton4, ui->SpeedButton5,
        ui->SpeedButton6, ui->Editxmin,     ui->Editxmax,     ui->Editymin,     ui->Editymax,
        ui->BitBtn1,      ui->BitBtn2,      ui->BitBtn3,      ui->BitBtn4,      ui->GroupBox1,
        ui->Label1,       ui->Label2,       ui->Label3,       ui->Label4,       ui->Label5,
        ui->Label6};
    for (const QWidget* control : controls)
        const_cast<QWidget*>(control)->setEnabled(enabled);
}

// ---- ViewStore ----

int TMatheMain::windowBound(WindowBound bound) const
{
    return Bounds->bound(bound);
}

void TMatheMain::setWindowBound(WindowBound bound, int value)
{
    Bounds->setBound(bound, value);
}

} // namespace kurvaro
