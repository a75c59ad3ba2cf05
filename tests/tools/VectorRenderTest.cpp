// kurvaro-cli render's SVG and PDF pictures against its BMP of the same
// settings: the SVG's strokes, turned back into the raster lines they stand
// for and drawn by the canvas rule, must give the BMP pixel for pixel outside
// the labels' boxes; the labels must be text on boxes of the background.
#include "support/CliRunner.h"
#include "support/FileBytes.h"

#include "plot/Canvas.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QRectF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace kurvaro;

namespace {

/// What the SVG draws, in document order.
struct SvgItem
{
    enum Kind
    {
        Box,
        Stroke,
        Text
    } kind;
    QRectF box;
    QLineF stroke;
    QString text;
    QColor color;
};

struct Svg
{
    QRectF viewBox;
    std::vector<SvgItem> items;
};

Svg readSvg(const QByteArray& bytes)
{
    Svg svg;
    QXmlStreamReader xml(bytes);
    // The fill and stroke colours of the enclosing groups.
    std::vector<std::pair<QString, QString>> groups{{QStringLiteral("black"), {}}};
    auto number = [&](const char* name) {
        return xml.attributes().value(QLatin1String(name)).toDouble();
    };
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g")) {
            groups.pop_back();
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const QStringView name = xml.name();
        if (name == QLatin1String("svg")) {
            const QStringList v = a.value(QLatin1String("viewBox")).toString().split(u' ');
            if (v.size() == 4)
                svg.viewBox =
                    QRectF(v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble());
        } else if (name == QLatin1String("g")) {
            auto [fill, stroke] = groups.back();
            if (a.hasAttribute(QLatin1String("fill")))
                fill = a.value(QLatin1String("fill")).toString();
            if (a.hasAttribute(QLatin1String("stroke")))
                stroke = a.value(QLatin1String("stroke")).toString();
            groups.emplace_back(fill, stroke);
        } else if (name == QLatin1String("rect")) {
            svg.items.push_back(
                {SvgItem::Box,
                 QRectF(number("x"), number("y"), number("width"), number("height")),
                 {},
                 {},
                 QColor(groups.back().first)});
        } else if (name == QLatin1String("polyline")) {
            const QStringList points =
                a.value(QLatin1String("points")).toString().split(u' ', Qt::SkipEmptyParts);
            std::vector<QPointF> p;
            for (const QString& point : points)
                p.emplace_back(point.section(u',', 0, 0).toDouble(),
                               point.section(u',', 1, 1).toDouble());
            EXPECT_EQ(p.size(), 2u) << "each line a stroke of its own";
            if (p.size() == 2)
                svg.items.push_back(
                    {SvgItem::Stroke, {}, QLineF(p[0], p[1]), {}, QColor(groups.back().second)});
        } else if (name == QLatin1String("text")) {
            const QColor color(a.value(QLatin1String("fill")).toString());
            const QRectF at(number("x"), number("y"), 0, 0);
            svg.items.push_back({SvgItem::Text, at, {}, xml.readElementText(), color});
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return svg;
}

struct RasterLine
{
    long long x0, y0, x1, y1;
};

bool isWhole(double v)
{
    return std::abs(v - std::round(v)) < 1e-9;
}

/// The raster line that an SVG stroke stands for. A stroke covers its
/// pixels from edge to edge along its longer axis and through their middle
/// across it; an end far outside (cut off at the margin) stands for one
/// beyond, in the column (or row) of the other end.
std::optional<RasterLine> rasterLineOf(const QLineF& s, QSize picture)
{
    const double dx = s.dx(), dy = s.dy();
    const bool steep = std::abs(dy) >= std::abs(dx);
    const double along = (steep ? dy : dx) < 0 ? 1 : 0;
    auto far = [&](QPointF p) {
        constexpr double beyond = 60000;
        return p.x() < -beyond || p.y() < -beyond || p.x() > picture.width() + beyond ||
               p.y() > picture.height() + beyond;
    };
    auto exact = [&](QPointF p) -> std::optional<std::pair<long long, long long>> {
        const double x = steep ? p.x() - 0.5 : p.x() - along;
        const double y = steep ? p.y() - along : p.y() - 0.5;
        if (!isWhole(x) || !isWhole(y))
            return std::nullopt;
        return std::pair{std::llround(x), std::llround(y)};
    };
    const bool farStart = far(s.p1()), farEnd = far(s.p2());
    if (farStart && farEnd)
        return std::nullopt;
    const auto near = exact(farStart ? s.p2() : s.p1());
    if (!near)
        return std::nullopt;
    std::pair<long long, long long> other;
    if (farStart || farEnd) {
        const QPointF p = farStart ? s.p1() : s.p2();
        other = steep ? std::pair{near->first, std::llround(p.y() - along)}
                      : std::pair{std::llround(p.x() - along), near->second};
    } else if (const auto end = exact(s.p2())) {
        other = *end;
    } else {
        return std::nullopt;
    }
    const auto [a, b] = farStart ? std::pair{other, *near} : std::pair{*near, other};
    return RasterLine{a.first, a.second, b.first, b.second};
}

struct VectorCase
{
    QByteArray ini;
    QSize size;
    QColor curve;                ///< the colour of the one curve counted
    int curveStrokes;            ///< -1: not counted
    std::vector<QLineF> strokes; ///< strokes that must be there (axes)
    QStringList labels;          ///< the label texts, in order
    const char* reason;
};

void PrintTo(const VectorCase& c, std::ostream* os)
{
    *os << c.reason;
}

QStringList numbers(std::initializer_list<int> values)
{
    QStringList texts;
    for (int v : values)
        texts << QString::number(v);
    return texts;
}

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

// clang-format off
const VectorCase VectorCases[] = {
    {crlfLines({"[AxisText]", "Visible=0", "[Function1]", "Expression=sin(x)", "Visible=1",
                "Color=clRed", "[Function2]", "Expression=x^2-3", "Visible=1", "Color=clBlue"}),
     {473, 462}, Red, 472, {QLineF(236.5, 0, 236.5, 462), QLineF(0, 231.5, 473, 231.5)}, {},
     "grid, axes, ticks and two curves: sin(x) joins every column to the next"},
    {crlfLines({"[Function1]", "Expression=", "Visible=1", "Color=clRed"}), {473, 462}, Red, 472,
     {QLineF(0, 231.5, 473, 231.5)},
     numbers({-5, -4, -3, -2, -1, 1, 2, 3, 4, 5, -5, -4, -3, -2, -1, 1, 2, 3, 4, 5}),
     "labels as text on their boxes, x axis left to right, then y axis from the bottom"},
    {crlfLines({"[AxisText]", "Visible=0", "[Function1]", "Expression=tan(x)*0.2", "Visible=1",
                "Color=clRed", "[Function2]", "Expression=1/x^10", "Visible=1", "Color=clBlue"}),
     {473, 462}, Red, -1, {}, {},
     "poles: strokes to far-away rows cut at the margin, rows beyond 64 bits left out"},
    {crlfLines({"[View]", "XMin=0", "XMax=10", "YMin=-1", "YMax=1", "[Grid]", "IX=0.01",
                "[AxisText]", "Visible=0", "[Function1]", "Expression=2", "Visible=1",
                "Color=clRed"}),
     {300, 200}, Red, 0, {QLineF(0, 100.5, 300, 100.5)}, {},
     "a grid line on every column, no y axis at the edge, a curve above the view"},
    {crlfLines({"[View]", "XMin=-1", "XMax=7", "YMin=-3", "YMax=2", "[AxisText]", "IX=0.5",
                "IY=1", "[Function1]", "Expression=ln(x)", "Visible=1", "Color=clRed"}),
     {200, 150}, Red, -1, {},
     QStringList{"-1", "-0,5", "0,5", "1", "1,5", "2", "2,5", "3", "3,5", "4", "4,5", "5", "5,5",
                 "6", "6,5", "7", "-3", "-2", "-1", "1", "2"},
     "an asymmetric view, fractional labels, a curve failing left of 0"},
    {crlfLines({"[Function1]", "Expression=x", "Visible=1", "Color=clRed"}), {7, 300}, Red, 6,
     {}, numbers({-1, 1, 2, 4, 5}),
     "a narrow picture: steep strokes; of the x labels those whose boxes still show"},
    {crlfLines({"[Function1]", "Expression=x", "Visible=1", "Color=clRed"}), {1, 1}, Red, 0, {},
     {}, "one pixel: no curve stroke"},
};
// clang-format on

class VectorRender : public ::testing::TestWithParam<VectorCase>
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    /// Renders the case's settings into `name`; its bytes.
    QByteArray render(const char* name)
    {
        const VectorCase& c = GetParam();
        const QString ini = dir.filePath(QStringLiteral("Functions.ini"));
        const QString out = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(writeBytes(ini, c.ini));
        const std::string size =
            std::to_string(c.size.width()) + "x" + std::to_string(c.size.height());
        const CliResult r =
            runCli(KURVARO_CLI, {"render", "--ini", QFile::encodeName(ini).toStdString(), "--size",
                                 size, "--out", QFile::encodeName(out).toStdString()});
        EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
        return readBytes(out);
    }

    QTemporaryDir dir;
};

TEST_P(VectorRender, SvgStrokesAreTheRasterLines)
{
    const VectorCase& c = GetParam();
    // The labels use the locale's decimal separator.
    qputenv("LC_ALL", "de_DE.UTF-8");
    const QImage bmp = QImage::fromData(render("out.bmp"), "BMP");
    const Svg svg = readSvg(render("out.svg"));
    ASSERT_EQ(bmp.size(), c.size);
    EXPECT_EQ(svg.viewBox, QRectF(QPointF(0, 0), c.size));
    ASSERT_FALSE(svg.items.empty());
    const SvgItem& background = svg.items.front();
    ASSERT_EQ(background.kind, SvgItem::Box);
    EXPECT_EQ(background.box, QRectF(QPointF(0, 0), c.size)) << "the picture cleared first";

    QImage redrawn = newCanvasImage(c.size.width(), c.size.height());
    std::vector<QRect> labelBoxes;
    QStringList labels;
    int curveStrokes = 0;
    std::vector<QLineF> strokes;
    for (std::size_t i = 0; i < svg.items.size(); ++i) {
        const SvgItem& item = svg.items[i];
        switch (item.kind) {
        case SvgItem::Box: {
            QPainter painter(&redrawn);
            painter.fillRect(item.box, item.color);
            break;
        }
        case SvgItem::Stroke: {
            strokes.push_back(item.stroke);
            curveStrokes += item.color == c.curve;
            const std::optional<RasterLine> l = rasterLineOf(item.stroke, c.size);
            ASSERT_TRUE(l) << "a stroke that stands for no raster line: " << item.stroke.x1() << ","
                           << item.stroke.y1() << " " << item.stroke.x2() << ","
                           << item.stroke.y2();
            drawCanvasLine(redrawn, item.color.rgb(), l->x0, l->y0, l->x1, l->y1);
            break;
        }
        case SvgItem::Text:
            labels << item.text;
            ASSERT_GT(i, 0u);
            ASSERT_EQ(svg.items[i - 1].kind, SvgItem::Box) << "each label on its box";
            EXPECT_EQ(svg.items[i - 1].color, background.color) << "boxes of the background";
            EXPECT_EQ(svg.items[i - 1].box.left(), item.box.left());
            labelBoxes.push_back(svg.items[i - 1].box.toRect());
            break;
        }
    }
    EXPECT_EQ(labels, c.labels);
    if (c.curveStrokes >= 0) {
        EXPECT_EQ(curveStrokes, c.curveStrokes);
    }
    for (const QLineF& line : c.strokes)
        EXPECT_NE(std::find(strokes.begin(), strokes.end(), line), strokes.end())
            << "missing stroke " << line.x1() << "," << line.y1() << " " << line.x2() << ","
            << line.y2();

    int differing = 0;
    for (int y = 0; y < c.size.height(); ++y)
        for (int x = 0; x < c.size.width(); ++x) {
            const bool inLabel = std::any_of(labelBoxes.begin(), labelBoxes.end(),
                                             [&](const QRect& r) { return r.contains(x, y); });
            if (!inLabel && redrawn.pixel(x, y) != bmp.pixel(x, y) && ++differing <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex
                              << redrawn.pixel(x, y) << " drawn from the SVG, " << bmp.pixel(x, y)
                              << " in the BMP";
        }
    EXPECT_EQ(differing, 0);
}

TEST_P(VectorRender, PdfIsOnePageOfTheSizeWithoutARaster)
{
    const VectorCase& c = GetParam();
    const QByteArray pdf = render("out.pdf");
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    static const QRegularExpression mediaBox(
        QStringLiteral(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])"));
    const QRegularExpressionMatch m = mediaBox.match(QString::fromLatin1(pdf));
    ASSERT_TRUE(m.hasMatch());
    EXPECT_EQ(m.captured(1).toDouble(), c.size.width());
    EXPECT_EQ(m.captured(2).toDouble(), c.size.height());
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "),
              1);
    EXPECT_FALSE(pdf.contains("/Subtype /Image")) << "lines as lines, not a picture of them";
}

INSTANTIATE_TEST_SUITE_P(Table, VectorRender, ::testing::ValuesIn(VectorCases));

} // namespace
