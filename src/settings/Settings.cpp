#include "settings/Settings.h"

#include "model/ProgramDirectory.h"
#include "model/Stores.h"
#include "settings/ProfileFile.h"
#include "settings/ValueEncoding.h"

#include <array>

namespace kurvaro {

namespace {

QString functionSection(int n)
{
    return QStringLiteral("Function%1").arg(n);
}

/// The loader's fixed slot colours, as texts the colour encoding reads.
const std::array<QString, FunctionSlotCount> FunctionColorDefaults = {
    QStringLiteral("clblack"), QStringLiteral("clGreen"),  QStringLiteral("clRed"),
    QStringLiteral("clBlue"),  QStringLiteral("clMaroon"), QStringLiteral("clAqua"),
    QStringLiteral("clTeal"),  QStringLiteral("clblack"),  QStringLiteral("clblack"),
    QStringLiteral("clblack")};

constexpr std::array<RangeField, 4> RangeFields = {RangeField::XMin, RangeField::XMax,
                                                   RangeField::YMin, RangeField::YMax};
constexpr std::array<WindowBound, 4> WindowBounds = {WindowBound::Width, WindowBound::Height,
                                                     WindowBound::Top, WindowBound::Left};

QString rangeKey(RangeField field)
{
    switch (field) {
    case RangeField::XMin:
        return QStringLiteral("XMin");
    case RangeField::XMax:
        return QStringLiteral("XMax");
    case RangeField::YMin:
        return QStringLiteral("YMin");
    case RangeField::YMax:
        return QStringLiteral("YMax");
    }
    return {};
}

QString boundKey(WindowBound bound)
{
    switch (bound) {
    case WindowBound::Width:
        return QStringLiteral("Width");
    case WindowBound::Height:
        return QStringLiteral("Height");
    case WindowBound::Top:
        return QStringLiteral("Top");
    case WindowBound::Left:
        return QStringLiteral("Left");
    }
    return {};
}

/// A layer with a check box, two intervals and a colour: Grid, Scale, AxisText.
void loadLayer(const ProfileFile& file, PlotOptionsStore& store, const QString& section,
               PlotOptions::Layer PlotOptions::*layer)
{
    const auto update = [&](auto change) {
        PlotOptions options = store.plotOptions();
        change(options.*layer);
        store.setPlotOptions(options);
    };
    update([&](PlotOptions::Layer& l) {
        l.Visible = file.readBool(section, QStringLiteral("Visible"), l.Visible);
    });
    update([&](PlotOptions::Layer& l) {
        l.IX = file.readString(section, QStringLiteral("IX"), l.IX);
    });
    update([&](PlotOptions::Layer& l) {
        l.IY = file.readString(section, QStringLiteral("IY"), l.IY);
    });
    update([&](PlotOptions::Layer& l) {
        l.Color = file.readColor(section, QStringLiteral("Color"), l.Color);
    });
}

void writeLayer(ProfileWritePass& file, const PlotOptionsStore& store, const QString& section,
                PlotOptions::Layer PlotOptions::*layer)
{
    file.writeBool(section, QStringLiteral("Visible"), (store.plotOptions().*layer).Visible);
    file.writeString(section, QStringLiteral("IX"), (store.plotOptions().*layer).IX);
    file.writeString(section, QStringLiteral("IY"), (store.plotOptions().*layer).IY);
    file.writeColor(section, QStringLiteral("Color"), (store.plotOptions().*layer).Color);
}

} // namespace

QString SettingsFilePath()
{
    return ExecutableDirectory() + QStringLiteral("/Functions.ini");
}

void LoadSettings(FunctionSlotStore& functions, PlotOptionsStore& options, ViewStore& view,
                  const QString& path)
{
    const ProfileFile file(path);
    const QString visible = QStringLiteral("Visible");
    const QString color = QStringLiteral("Color");

    for (int n = 1; n <= FunctionSlotCount; ++n) {
        FunctionSlot slot = functions.functionSlot(n);
        slot.Visible = file.readBool(functionSection(n), visible, false);
        functions.setFunctionSlot(n, slot);
    }
    for (int n = 1; n <= FunctionSlotCount; ++n) {
        FunctionSlot slot = functions.functionSlot(n);
        slot.Expression = file.readString(functionSection(n), QStringLiteral("Expression"), {});
        functions.setFunctionSlot(n, slot);
    }
    for (int n = 1; n <= FunctionSlotCount; ++n) {
        const QString text = file.readString(
            functionSection(n), color, FunctionColorDefaults[static_cast<std::size_t>(n - 1)]);
        const TColor value = StringToColor(text);
        FunctionSlot slot = functions.functionSlot(n);
        slot.Color = value;
        functions.setFunctionSlot(n, slot);
    }

    loadLayer(file, options, QStringLiteral("Grid"), &PlotOptions::Grid);
    {
        PlotOptions o = options.plotOptions();
        o.BackGround.Color =
            file.readColor(QStringLiteral("BackGround"), color, o.BackGround.Color);
        options.setPlotOptions(o);
    }
    {
        PlotOptions o = options.plotOptions();
        o.Axis.Visible = file.readBool(QStringLiteral("Axis"), visible, o.Axis.Visible);
        options.setPlotOptions(o);
    }
    {
        PlotOptions o = options.plotOptions();
        o.Axis.Color = file.readColor(QStringLiteral("Axis"), color, o.Axis.Color);
        options.setPlotOptions(o);
    }
    loadLayer(file, options, QStringLiteral("Scale"), &PlotOptions::Scale);
    loadLayer(file, options, QStringLiteral("AxisText"), &PlotOptions::AxisText);

    const QString viewSection = QStringLiteral("View");
    for (const RangeField field : RangeFields)
        view.setRangeText(field,
                          file.readString(viewSection, rangeKey(field), DesignedRangeText(field)));
    for (const WindowBound bound : WindowBounds)
        view.setWindowBound(
            bound, file.readInteger(viewSection, boundKey(bound), view.windowBound(bound)));
}

void WriteFunctionSettings(const FunctionSlotStore& functions, const QString& path)
{
    const ProfileFile settingsFile(path);
    ProfileWritePass file(settingsFile);
    for (int n = 1; n <= FunctionSlotCount; ++n)
        file.writeString(functionSection(n), QStringLiteral("Expression"),
                         functions.functionSlot(n).Expression);
    for (int n = 1; n <= FunctionSlotCount; ++n)
        file.writeBool(functionSection(n), QStringLiteral("Visible"),
                       functions.functionSlot(n).Visible);
    for (int n = 1; n <= FunctionSlotCount; ++n)
        file.writeColor(functionSection(n), QStringLiteral("Color"),
                        functions.functionSlot(n).Color);
    file.finish();
}

void WriteOptionSettings(const PlotOptionsStore& options, const QString& path)
{
    const ProfileFile settingsFile(path);
    ProfileWritePass file(settingsFile);
    writeLayer(file, options, QStringLiteral("Grid"), &PlotOptions::Grid);
    file.writeColor(QStringLiteral("BackGround"), QStringLiteral("Color"),
                    options.plotOptions().BackGround.Color);
    file.writeBool(QStringLiteral("Axis"), QStringLiteral("Visible"),
                   options.plotOptions().Axis.Visible);
    file.writeColor(QStringLiteral("Axis"), QStringLiteral("Color"),
                    options.plotOptions().Axis.Color);
    writeLayer(file, options, QStringLiteral("Scale"), &PlotOptions::Scale);
    writeLayer(file, options, QStringLiteral("AxisText"), &PlotOptions::AxisText);
    file.finish();
}

void WriteViewSettings(const ViewStore& view, const QString& path)
{
    const ProfileFile settingsFile(path);
    ProfileWritePass file(settingsFile);
    const QString viewSection = QStringLiteral("View");
    for (const RangeField field : RangeFields)
        file.writeString(viewSection, rangeKey(field), view.rangeText(field));
    for (const WindowBound bound : WindowBounds)
        file.writeInteger(viewSection, boundKey(bound), view.windowBound(bound));
    file.finish();
}

} // namespace kurvaro
