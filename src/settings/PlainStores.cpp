#include "settings/PlainStores.h"

#include <cstddef>

namespace kurvaro {

PlainFunctionSlots::PlainFunctionSlots()
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].Color = DesignedSlotColors[i];
}

FunctionSlot PlainFunctionSlots::functionSlot(int n) const
{
    return rows.at(static_cast<std::size_t>(n - 1));
}

void PlainFunctionSlots::setFunctionSlot(int n, const FunctionSlot& slot)
{
    rows.at(static_cast<std::size_t>(n - 1)) = slot;
}

PlainView::PlainView()
{
    for (const RangeField f :
         {RangeField::XMin, RangeField::XMax, RangeField::YMin, RangeField::YMax})
        rangeTexts[static_cast<std::size_t>(f)] = DesignedRangeText(f);
    for (const WindowBound b :
         {WindowBound::Width, WindowBound::Height, WindowBound::Top, WindowBound::Left})
        windowBounds[static_cast<std::size_t>(b)] = DesignedWindowBound(b);
}

QString PlainView::rangeText(RangeField field) const
{
    return rangeTexts.at(static_cast<std::size_t>(field));
}

void PlainView::setRangeText(RangeField field, const QString& text)
{
    rangeTexts.at(static_cast<std::size_t>(field)) = text;
}

int PlainView::windowBound(WindowBound bound) const
{
    return windowBounds.at(static_cast<std::size_t>(bound));
}

void PlainView::setWindowBound(WindowBound bound, int value)
{
    windowBounds.at(static_cast<std::size_t>(bound)) = value;
}

} // namespace kurvaro
