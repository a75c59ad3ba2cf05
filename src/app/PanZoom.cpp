#include "app/PanZoom.h"

#include "plot/NumberText.h"

namespace kurvaro {

namespace {

/// The extent of [low, high] as pan and zoom use it: 0 unless low < 0 or high > 0.
double extent(double low, double high)
{
    return (low < 0 || high > 0) ? high - low : 0.0;
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

} // namespace kurvaro
