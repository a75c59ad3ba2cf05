#pragma once

// The measuring half of bench-window: a virtual X server of the benchmark's
// own, the clocks, and the split of a redraw's time into its parts.

#include <QString>

#include <array>
#include <sys/types.h>
#include <vector>

namespace kurvaro::bench {

/// Where the time of a redraw goes. Each moment belongs to exactly one part:
/// a paint inside the event pump is paint, not event processing.
enum class Part
{
    Renderer,     // the click's handler less what is listed below
    Presentation, // handing the picture to the drawing area
    Paint,        // the window system's paints and expose handling, flush included
    Events,       // the event pump and the wait for the last paint, less its paints
};
constexpr int PartCount = 4;

/// Program CPU (all threads) and wall time, in milliseconds.
struct Cost
{
    double cpu = 0;
    double wall = 0;
};

Cost now();

/// Charges the time between transitions to the part on top of a stack.
class Meter
{
public:
    /// Starts a measurement with `base` at the bottom of the stack.
    void start(Part base);
    /// Ends it; the time of each part since `start`.
    std::array<Cost, PartCount> stop();
    void enter(Part part);
    void leave();
    bool running() const { return !stack.empty(); }
    bool inside(Part part) const;

private:
    void charge();

    std::vector<Part> stack;
    std::array<Cost, PartCount> totals{};
    Cost last;
};

/// An Xvfb started for the benchmark alone, ended by its process id.
class VirtualServer
{
public:
    VirtualServer(int width, int height);
    ~VirtualServer();
    VirtualServer(const VirtualServer&) = delete;
    VirtualServer& operator=(const VirtualServer&) = delete;

    /// ":N" once the server accepts clients; empty when it did not start.
    const QString& display() const { return Display; }
    /// The server's CPU time so far (all its threads), milliseconds.
    double cpuMs() const;

private:
    pid_t pid = -1;
    QString Display;
};

/// True when an executable `name` is on the PATH.
bool onPath(const char* name);

/// "a b c": the load averages over 1, 5 and 15 minutes.
QString loadAverage();

/// Median, smallest and largest of `values` (zeros for none).
struct Spread
{
    double median = 0;
    double min = 0;
    double max = 0;
};
Spread spreadOf(std::vector<double> values);

} // namespace kurvaro::bench
