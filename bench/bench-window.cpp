// The real main window end to end: TMatheMain with its dialogs on a virtual X
// server of its own (Xvfb, the xcb platform) when Xvfb is installed, on the
// offscreen platform otherwise. The settings come from a Functions.ini with
// the ten formulas of bench-redraw; the window is sized so that the drawing
// area is 1920 x 1080, and "Aktualisieren " is clicked again and again.
//
// Per redraw: the program's CPU (all threads) and the wall time from the
// click until the last paint has reached the X server, split into the
// renderer, the presentations, the paints and the rest of the event
// processing; the X server's CPU beside it. Then the scaling over the drawing
// area's width and the number of visible formulas.
//
//   bench-window [--clicks N] [--scaling-clicks M] [--no-scaling]

#include "WindowMeter.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "dialogs/FuncForm.h"
#include "model/ProgramDirectory.h"
#include "plot/PlotRenderer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

using namespace kurvaro;
using namespace kurvaro::bench;

namespace {

const std::array<const char*, FunctionSlotCount> formulas = {
    "sin(x)*2",     "x^2-3",          "1/x",        "cos(x)+sin(2*x)", "exp(-x^2)*4",
    "sqrt(abs(x))", "ln(abs(x)+1)*2", "tan(x)*0.2", "x^3/10-x",        "max(sin(x),cos(x))"};

/// The widest drawing area of the scaling table and the screen around it.
constexpr int widest = 7680;
constexpr QSize screenSize(8000, 1200);

/// The application, timing every paint and expose of the window system.
class TimingApplication : public QApplication
{
public:
    TimingApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    Meter meter;
    QWidget* drawingArea = nullptr;
    /// Presentations handed to the drawing area, and how many of them have
    /// been painted (a paint shows every presentation before it).
    long presented = 0;
    long painted = 0;
    long paints = 0;

    bool notify(QObject* receiver, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        const bool paint =
            type == QEvent::UpdateRequest || type == QEvent::Expose || type == QEvent::Paint;
        if (!paint || meter.inside(Part::Paint)) {
            if (type == QEvent::Paint && receiver == drawingArea)
                drawingAreaPainted = true;
            return QApplication::notify(receiver, event);
        }
        meter.enter(Part::Paint);
        drawingAreaPainted = type == QEvent::Paint && receiver == drawingArea;
        const long shown = presented;
        const bool result = QApplication::notify(receiver, event);
        meter.leave();
        if (drawingAreaPainted) {
            painted = shown;
            ++paints;
        }
        return result;
    }

private:
    bool drawingAreaPainted = false;
};

TimingApplication* app()
{
    return static_cast<TimingApplication*>(QCoreApplication::instance());
}

/// The real main window; the two calls of the redraw into the window are timed.
class TimedMain : public TMatheMain
{
public:
    void presentPlot(const QImage& picture, std::span<const QRect> changed) override
    {
        app()->meter.enter(Part::Presentation);
        TMatheMain::presentPlot(picture, changed);
        // A presentation that changed nothing is not painted.
        if (!changed.empty())
            ++app()->presented;
        app()->meter.leave();
    }
    void processEvents() override
    {
        app()->meter.enter(Part::Events);
        TMatheMain::processEvents();
        app()->meter.leave();
    }
};

/// One redraw's figures.
struct Sample
{
    std::array<Cost, PartCount> parts{};
    double serverCpu = 0;
    long presentations = 0;
    long paints = 0;

    Cost whole() const
    {
        Cost c;
        for (const Cost& p : parts) {
            c.cpu += p.cpu;
            c.wall += p.wall;
        }
        return c;
    }
};

class WindowBench
{
public:
    WindowBench(const QString& directory, const VirtualServer* server)
        : directory(directory), server(server)
    {
    }

    bool start(QSize area);
    void showFormulas(int count);
    bool sizeDrawingArea(QSize area);
    Sample click();
    void close() { window->close(); }

private:
    /// Waits until the X server has handled every request sent so far.
    void syncWithServer();
    void writeSettings(QSize window) const;

    QString directory;
    const VirtualServer* server;
    std::unique_ptr<TimedMain> window;
    QAbstractButton* button = nullptr;
    QSize chrome;
};

void WindowBench::writeSettings(QSize size) const
{
    QByteArray ini;
    for (int n = 1; n <= FunctionSlotCount; ++n) {
        ini += QStringLiteral("[Function%1]\r\nExpression=%2\r\nVisible=1\r\n")
                   .arg(n)
                   .arg(QString::fromLatin1(formulas[static_cast<std::size_t>(n - 1)]))
                   .toLatin1();
    }
    ini += QStringLiteral("[View]\r\nWidth=%1\r\nHeight=%2\r\nTop=0\r\nLeft=0\r\n")
               .arg(size.width())
               .arg(size.height())
               .toLatin1();
    QFile file(directory + QStringLiteral("/Functions.ini"));
    if (file.open(QIODevice::WriteOnly))
        file.write(ini);
}

bool WindowBench::start(QSize area)
{
    // The designed window has a client area of 675 x 464 around a drawing
    // area of 473 x 462; the exact chrome is measured once the window is up.
    writeSettings(area + QSize(675 - 473, 464 - 462));
    window = std::make_unique<TimedMain>();
    window->CreateDialogs();
    app()->drawingArea = window->findChild<TImage*>(QStringLiteral("Image1"));
    button = window->findChild<QAbstractButton*>(QStringLiteral("BitBtn2"));
    window->show();
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired() &&
           (window->renderer().PlotBitmap().isNull() || window->renderer().isDrawing()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (window->renderer().PlotBitmap().isNull())
        return false;
    chrome = window->size() - window->drawingAreaSize();
    return sizeDrawingArea(area);
}

bool WindowBench::sizeDrawingArea(QSize area)
{
    window->resize(area + chrome);
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && window->drawingAreaSize() != area)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QTest::qWait(50);
    return window->drawingAreaSize() == area;
}

void WindowBench::showFormulas(int count)
{
    for (int n = 1; n <= FunctionSlotCount; ++n) {
        FunctionSlot slot = window->Form2()->functionSlot(n);
        slot.Visible = n <= count;
        window->Form2()->setFunctionSlot(n, slot);
    }
}

void WindowBench::syncWithServer()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        return;
    xcb_connection_t* connection = x11->connection();
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

Sample WindowBench::click()
{
    TimingApplication& a = *app();
    const long presentedBefore = a.presented;
    const long paintsBefore = a.paints;
    const double serverBefore = server != nullptr ? server->cpuMs() : 0;
    a.meter.start(Part::Renderer);
    QTest::mouseClick(button, Qt::LeftButton);
    // The last presentation is on screen once it has been painted and the
    // X server has taken the paint.
    a.meter.enter(Part::Events);
    const QDeadlineTimer deadline(10000);
    while (a.painted < a.presented && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    a.meter.leave();
    a.meter.enter(Part::Paint);
    syncWithServer();
    a.meter.leave();
    Sample s;
    s.parts = a.meter.stop();
    s.serverCpu = server != nullptr ? server->cpuMs() - serverBefore : 0;
    s.presentations = a.presented - presentedBefore;
    s.paints = a.paints - paintsBefore;
    return s;
}

const char* partNames[PartCount] = {"renderer", "presentation", "paint", "event processing"};

QString spreadText(const std::vector<double>& values)
{
    const Spread s = spreadOf(values);
    return QStringLiteral("%1 [%2 - %3]")
        .arg(s.median, 7, 'f', 1)
        .arg(s.min, 6, 'f', 1)
        .arg(s.max, 6, 'f', 1);
}

void printRow(const char* name, const std::vector<double>& cpu, const std::vector<double>& wall)
{
    std::printf("%-18s %-26s %s\n", name, qPrintable(spreadText(cpu)),
                wall.empty() ? "" : qPrintable(spreadText(wall)));
}

void printMainTable(const std::vector<Sample>& samples, bool withServer)
{
    std::printf("%-18s %-26s %s\n", "part", "program CPU ms, median [range]",
                "wall ms, median [range]");
    std::vector<double> cpu, wall;
    for (const Sample& s : samples) {
        cpu.push_back(s.whole().cpu);
        wall.push_back(s.whole().wall);
    }
    printRow("whole redraw", cpu, wall);
    for (int p = 0; p < PartCount; ++p) {
        cpu.clear();
        wall.clear();
        for (const Sample& s : samples) {
            cpu.push_back(s.parts[static_cast<std::size_t>(p)].cpu);
            wall.push_back(s.parts[static_cast<std::size_t>(p)].wall);
        }
        printRow(partNames[p], cpu, wall);
    }
    if (withServer) {
        std::vector<double> server;
        for (const Sample& s : samples)
            server.push_back(s.serverCpu);
        printRow("X server CPU", server, {});
    }
    const Sample& last = samples.back();
    std::printf("per redraw: %ld presentations, %ld paints of the drawing area\n",
                last.presentations, last.paints);
}

struct Options
{
    int clicks = 30;
    int scalingClicks = 5;
    bool scaling = true;
};

Options parseOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--clicks") == 0 && hasValue)
            o.clicks = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--scaling-clicks") == 0 && hasValue)
            o.scalingClicks = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--no-scaling") == 0)
            o.scaling = false;
    }
    return o;
}

std::vector<Sample> clickTimes(WindowBench& bench, int warmUp, int n)
{
    for (int i = 0; i < warmUp; ++i)
        bench.click();
    std::vector<Sample> samples;
    for (int i = 0; i < n; ++i)
        samples.push_back(bench.click());
    return samples;
}

void printScaling(WindowBench& bench, int clicks, bool withServer)
{
    constexpr int widths[] = {480, 960, 1920, 3840, widest};
    constexpr int counts[] = {1, 5, 10};
    std::printf("\nscaling: medians per redraw of %d clicks, program CPU ms / wall ms%s\n", clicks,
                withServer ? " / X server CPU ms" : "");
    std::printf("load average before: %s\n", qPrintable(loadAverage()));
    std::printf("%-10s", "area");
    for (int count : counts)
        std::printf(
            "  %-24s",
            qPrintable(QStringLiteral("%1 formula%2").arg(count).arg(count == 1 ? "" : "s")));
    std::printf("\n");
    for (int width : widths) {
        if (!bench.sizeDrawingArea(QSize(width, 1080))) {
            std::printf("%dx1080: the drawing area did not take this size\n", width);
            continue;
        }
        std::printf("%-10s", qPrintable(QStringLiteral("%1x1080").arg(width)));
        for (int count : counts) {
            bench.showFormulas(count);
            std::vector<double> cpu, wall, server;
            for (const Sample& s : clickTimes(bench, 1, clicks)) {
                cpu.push_back(s.whole().cpu);
                wall.push_back(s.whole().wall);
                server.push_back(s.serverCpu);
            }
            QString cell = QStringLiteral("%1 / %2")
                               .arg(spreadOf(cpu).median, 0, 'f', 1)
                               .arg(spreadOf(wall).median, 0, 'f', 1);
            if (withServer)
                cell += QStringLiteral(" / %1").arg(spreadOf(server).median, 0, 'f', 1);
            std::printf("  %-24s", qPrintable(cell));
            std::fflush(stdout);
        }
        std::printf("\n");
    }
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    std::optional<VirtualServer> server;
    if (onPath("Xvfb")) {
        server.emplace(screenSize.width(), screenSize.height());
        if (server->display().isEmpty())
            server.reset();
    }
    QString platform;
    if (server) {
        qputenv("DISPLAY", server->display().toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
        platform = QStringLiteral("xcb on Xvfb %1 (screen %2x%3)")
                       .arg(server->display())
                       .arg(screenSize.width())
                       .arg(screenSize.height());
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        platform = QStringLiteral("offscreen (no Xvfb: no X server CPU, paints stay in memory)");
    }
    TimingApplication application(argc, argv);
    QTemporaryDir directory;
    SetExecutableDirectoryOverride(directory.path());

    WindowBench bench(directory.path(), server ? &*server : nullptr);
    const QSize area(1920, 1080);
    std::printf("platform: %s\n", qPrintable(platform));
    if (!bench.start(area)) {
        std::printf("the window did not come up with a drawing area of 1920 x 1080\n");
        return 1;
    }
    std::printf("\nredraw of the real window, drawing area 1920 x 1080, 10 visible formulas, "
                "%d clicks on \"Aktualisieren \"\n",
                options.clicks);
    std::printf("load average before: %s\n", qPrintable(loadAverage()));
    std::fflush(stdout);
    const std::vector<Sample> samples = clickTimes(bench, 3, options.clicks);
    printMainTable(samples, server.has_value());
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    std::fflush(stdout);

    if (options.scaling)
        printScaling(bench, options.scalingClicks, server.has_value());
    bench.close();
    SetExecutableDirectoryOverride(QString());
    return 0;
}
