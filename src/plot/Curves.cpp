#include "plot/Curves.h"

#include "model/Faults.h"
#include "parser/Parser10.h"
#include "plot/ChangedArea.h"
#include "plot/NumberText.h"
#include "plot/PlotTarget.h"
#include "plot/ViewMapping.h"

namespace kurvaro {

QString RemoveSpaces(const QString& text)
{
    QString result = text;
    result.remove(QChar(u' '));
    return result;
}

std::optional<double> SampleColumn(TParser& parser, const std::string& source,
                                   const ViewMapping& mapping, long long column)
{
    try {
        parser.X = mapping.PixelToX(column);
        parser.CompileExpression(source);
        return storeDouble(parser.Value());
    } catch (const Exception&) {
        return std::nullopt;
    }
}

namespace {

/// YToPixel, or nothing when the row leaves the 64-bit range.
std::optional<long long> rowOf(const ViewMapping& mapping, double value)
{
    try {
        return mapping.YToPixel(value);
    } catch (const Exception&) {
        return std::nullopt;
    }
}

} // namespace

void DrawCurve(PlotTarget& target, const ViewMapping& mapping, TParser& parser,
               const std::string& source, std::optional<double> first, const QColor& color,
               ChangedArea& changed)
{
    // The mapping holds W, H and the scales of this curve: no event is
    // processed inside a curve, so they cannot change while it is drawn.
    const long long width = mapping.width();
    const long long height = mapping.height();
    target.setLineColor(color.rgb());
    // The last good value's row, computed once when it was read; nothing
    // while there is no good value yet or when its row left the 64-bit range.
    bool havePrevious = first.has_value();
    std::optional<long long> previousRow = first ? rowOf(mapping, *first) : std::nullopt;
    for (long long k = 2; k <= width; ++k) {
        const std::optional<double> sample = SampleColumn(parser, source, mapping, k);
        if (!sample) {
            continue; // the last good value stays; no segment into column k
        }
        const std::optional<long long> row = rowOf(mapping, *sample);
        if (havePrevious && previousRow && row) {
            const long long from = *previousRow;
            const long long to = *row;
            const bool inside = (from >= 1 && from <= height) || (to >= 1 && to <= height);
            if (inside) {
                target.line(k - 1, from, k, to);
                changed.add(k - 1, from, k, to);
            }
        }
        havePrevious = true;
        previousRow = row;
    }
}

} // namespace kurvaro
