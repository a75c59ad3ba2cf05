#include "app/PanZoom.h"

#include "plot/NumberText.h"

namespace kurvaro {

namespace {

/// The extent of [low, high] as pan and zoom use it: 0 unless low < 0 or high > 0.
double extent(double low, double high)
{
    return (low < 0 || high > 0) ? high - low : 0.0;
}

/// Adds `delta` to `rest` and takes the whole steps out of it.
int takeSteps(long long& rest, int delta, int perStep)
{
    if ((rest < 0 && delta > 0) || (rest > 0 && delta < 0))
        rest = 0;
    rest += delta;
    const long long steps = rest / perStep;
    rest -= steps * perStep;
    return static_cast<int>(steps);
}

} // namespace

void StepView(ViewStore& fields, const ViewRange& last, ViewStep step)
{
    const double w = extent(last.XMin, last.XMax);
    const double h = extent(last.YMin, last.YMax);
    const struct
    {
        RangeField field;
        int sign;
        double bound;
        double tenth;
    } moves[] = {
        {RangeField::XMin, step.XMin, last.XMin, w / 10},
        {RangeField::XMax, step.XMax, last.XMax, w / 10},
        {RangeField::YMin, step.YMin, last.YMin, h / 10},
        {RangeField::YMax, step.YMax, last.YMax, h / 10},
    };
    for (const auto& move : moves) {
        if (move.sign > 0) {
            fields.setRangeText(move.field, FormatRangeValue(move.bound + move.tenth));
        } else if (move.sign < 0) {
            fields.setRangeText(move.field, FormatRangeValue(move.bound - move.tenth));
        }
    }
}

void ZoomAbout(ViewStore& fields, const ViewRange& last, int steps, double fx, double fy)
{
    ViewRange view = last;
    const int direction = steps > 0 ? 1 : -1;
    for (int i = 0; i != steps; i += direction) {
        // Two tenths of the size; at the centre half of it, a tenth, at each end.
        const double dx = direction * extent(view.XMin, view.XMax) / 5;
        const double dy = direction * extent(view.YMin, view.YMax) / 5;
        view.XMin += dx * fx;
        view.XMax -= dx * (1 - fx);
        view.YMax -= dy * fy;
        view.YMin += dy * (1 - fy);
    }
    fields.setRangeText(RangeField::XMin, FormatRangeValue(view.XMin));
    fields.setRangeText(RangeField::XMax, FormatRangeValue(view.XMax));
    fields.setRangeText(RangeField::YMin, FormatRangeValue(view.YMin));
    fields.setRangeText(RangeField::YMax, FormatRangeValue(view.YMax));
}

int WheelSteps::add(QPoint angleDelta, QPoint pixelDelta)
{
    if (angleDelta.y() != 0)
        return takeSteps(angleRest, angleDelta.y(), AnglePerStep);
    if (angleDelta.isNull() && pixelDelta.y() != 0)
        return takeSteps(pixelRest, pixelDelta.y(), PixelsPerStep);
    return 0;
}

} // namespace kurvaro
