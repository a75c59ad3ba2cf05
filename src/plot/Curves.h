#pragma once

#include <QColor>
#include <QString>

#include <optional>
#include <string>

namespace kurvaro {

class ChangedArea;
class PlotTarget;
class TParser;
class ViewMapping;

/// Removes every blank (code 32); tabs and all other characters stay.
QString RemoveSpaces(const QString& text);

/// The curve's value at `column`: `source` compiled afresh by `parser` with
/// X = PixelToX(column), evaluated and stored as a double. nullopt when the
/// mapping, the compiling or the evaluation fails (a compile error also
/// reaches the parser's OnParserError).
std::optional<double> SampleColumn(TParser& parser, const std::string& source,
                                   const ViewMapping& mapping, long long column);

/// Paints one curve in `color`: the columns 2 to W sampled in turn, each value
/// joined to the last good one before it by a line from the previous column.
/// `first` is the value of column 1 (nullopt when it failed): no segment
/// starts before a first good value. A segment is drawn when one of its ends
/// lies in the rows 1 to H; a column whose value fails gets no segment, and
/// one whose row leaves the 64-bit range is skipped. Every segment drawn is
/// added to `changed`.
void DrawCurve(PlotTarget& target, const ViewMapping& mapping, TParser& parser,
               const std::string& source, std::optional<double> first, const QColor& color,
               ChangedArea& changed);

} // namespace kurvaro
