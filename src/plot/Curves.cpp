#include "plot/Curves.h"

#include "model/Faults.h"
#include "parser/Parser10.h"
#include "plot/Canvas.h"
#include "plot/NumberText.h"
#include "plot/ViewMapping.h"

#include <QImage>

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

void DrawCurve(QImage& picture, const ViewMapping& mapping, TParser& parser,
               const std::string& source, std::optional<double> first, const QColor& color)
{
    const long long width = mapping.width();
    const long long height = mapping.height();
    std::optional<double> v = first;
    for (long long k = 2; k <= width; ++k) {
        const std::optional<double> previous = v;
        const std::optional<double> sample = SampleColumn(parser, source, mapping, k);
        if (!sample) {
            continue; // v keeps the last good value; no segment into column k
        }
        v = sample;
        if (!previous) {
            continue;
        }
        try {
            const long long from = mapping.YToPixel(*previous);
            const long long to = mapping.YToPixel(*v);
            const bool inside = (from >= 1 && from <= height) || (to >= 1 && to <= height);
            if (inside) {
                drawCanvasLine(picture, color.rgb(), k - 1, from, k, to);
            }
        } catch (const Exception&) {
            // a row beyond the 64-bit range: no segment touches it
        }
    }
}

} // namespace kurvaro
