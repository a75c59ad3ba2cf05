#include "model/ProgramDirectory.h"
#include "settings/PlainStores.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/SettingsErrors.h"
#include "support/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

using namespace kurvaro;

namespace {

/// The file after a first start, OK in the functions dialog, OK in the
/// options dialog and the main window's close.
const QByteArray FirstStartFile = crlfLines({
    "[Function1]",   "Expression=",     "Visible=0",     "Color=clBlack", "[Function2]",
    "Expression=",   "Visible=0",       "Color=clGreen", "[Function3]",   "Expression=",
    "Visible=0",     "Color=clRed",     "[Function4]",   "Expression=",   "Visible=0",
    "Color=clBlue",  "[Function5]",     "Expression=",   "Visible=0",     "Color=clMaroon",
    "[Function6]",   "Expression=",     "Visible=0",     "Color=clAqua",  "[Function7]",
    "Expression=",   "Visible=0",       "Color=clTeal",  "[Function8]",   "Expression=",
    "Visible=0",     "Color=clBlack",   "[Function9]",   "Expression=",   "Visible=0",
    "Color=clBlack", "[Function10]",    "Expression=",   "Visible=0",     "Color=clBlack",
    "[Grid]",        "Visible=1",       "IX=1",          "IY=1",          "Color=$00EBEBEB",
    "[BackGround]",  "Color=$00FEF1F2", "[Axis]",        "Visible=1",     "Color=clGray",
    "[Scale]",       "Visible=1",       "IX=1",          "IY=1",          "Color=clGray",
    "[AxisText]",    "Visible=1",       "IX=1",          "IY=1",          "Color=clGray",
    "[View]",        "XMin=-5",         "XMax=5",        "YMin=-5",       "YMax=5",
    "Width=683",     "Height=498",      "Top=115",       "Left=183",
});

class SettingsPass : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path() const { return dir.filePath(QStringLiteral("Functions.ini")); }
    void writeFile(const QByteArray& bytes) { ASSERT_TRUE(writeBytes(path(), bytes)); }
    void load() { LoadSettings(functions, options, view, path()); }
    void writeAll()
    {
        WriteFunctionSettings(functions, path());
        WriteOptionSettings(options, path());
        WriteViewSettings(view, path());
    }

    QTemporaryDir dir;
    PlainFunctionSlots functions;
    PlainPlotOptions options;
    PlainView view;
};

TEST_F(SettingsPass, FirstStartWritesTheExampleFileByteForByte)
{
    load();
    writeAll();
    EXPECT_EQ(readBytes(path()), FirstStartFile);
}

TEST_F(SettingsPass, FirstStartDefaults)
{
    load();
    const TColor expected[] = {colors::clBlack,  colors::clGreen, colors::clRed,  colors::clBlue,
                               colors::clMaroon, colors::clAqua,  colors::clTeal, colors::clBlack,
                               colors::clBlack,  colors::clBlack};
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(functions.functionSlot(n).Color, expected[n - 1]) << n;
        EXPECT_FALSE(functions.functionSlot(n).Visible) << n;
        EXPECT_TRUE(functions.functionSlot(n).Expression.isEmpty()) << n;
    }
    EXPECT_EQ(options.options.Grid.Color, 0x00EBEBEB);
    EXPECT_TRUE(options.options.Scale.Visible);
    EXPECT_EQ(view.rangeText(RangeField::XMin), QStringLiteral("-5"));
    EXPECT_EQ(view.windowBound(WindowBound::Left), 183);
    EXPECT_FALSE(QFileInfo::exists(path())) << "loading creates no file";
}

TEST_F(SettingsPass, OnlyFunction3GivesAVisibleRedSine)
{
    writeFile(crlfLines({"[Function3]", "Expression=sin(x)", "Visible=1"}));
    load();
    EXPECT_EQ(functions.functionSlot(3).Expression, QStringLiteral("sin(x)"));
    EXPECT_TRUE(functions.functionSlot(3).Visible);
    EXPECT_EQ(functions.functionSlot(3).Color, colors::clRed);
    EXPECT_EQ(functions.functionSlot(2).Color, colors::clGreen);
    EXPECT_EQ(view.rangeText(RangeField::YMax), QStringLiteral("5"));
}

struct HandEditCase
{
    const char* section;
    const char* line;
    const char* reason;
    // What the loaded stores must show; each returns true when it holds.
    bool (*holds)(const PlainFunctionSlots&, const PlainPlotOptions&, const PlainView&);
};

void PrintTo(const HandEditCase& c, std::ostream* os)
{
    *os << c.reason;
}

const HandEditCase HandEditCases[] = {
    {"Function1", "Color=clred", "name in lower case",
     [](const PlainFunctionSlots& f, const PlainPlotOptions&, const PlainView&) {
         return f.functionSlot(1).Color == colors::clRed;
     }},
    {"Function1", "Color=$000000FF", "hex colour",
     [](const PlainFunctionSlots& f, const PlainPlotOptions&, const PlainView&) {
         return f.functionSlot(1).Color == colors::clRed;
     }},
    {"Function1", "Color=255", "decimal colour",
     [](const PlainFunctionSlots& f, const PlainPlotOptions&, const PlainView&) {
         return f.functionSlot(1).Color == colors::clRed;
     }},
    {"Function1", "Visible=0x1", "0x flag",
     [](const PlainFunctionSlots& f, const PlainPlotOptions&, const PlainView&) {
         return f.functionSlot(1).Visible;
     }},
    {"Function1", "Visible=$1", "$ flag",
     [](const PlainFunctionSlots& f, const PlainPlotOptions&, const PlainView&) {
         return f.functionSlot(1).Visible;
     }},
    {"Function1", "Visible=-7", "any non-zero is true",
     [](const PlainFunctionSlots& f, const PlainPlotOptions&, const PlainView&) {
         return f.functionSlot(1).Visible;
     }},
    {"Function1", "Visible=yes", "slot flag that is no integer: fixed default false",
     [](const PlainFunctionSlots& f, const PlainPlotOptions&, const PlainView&) {
         return !f.functionSlot(1).Visible;
     }},
    {"Grid", "Visible=yes", "option flag that is no integer: the control's state",
     [](const PlainFunctionSlots&, const PlainPlotOptions& o, const PlainView&) {
         return o.options.Grid.Visible;
     }},
    {"Axis", "Visible=0", "flag off",
     [](const PlainFunctionSlots&, const PlainPlotOptions& o, const PlainView&) {
         return !o.options.Axis.Visible;
     }},
    {"View", "Width=abc", "width that is no integer keeps the window's",
     [](const PlainFunctionSlots&, const PlainPlotOptions&, const PlainView& v) {
         return v.windowBound(WindowBound::Width) == 683;
     }},
    {"View", "Width=0x300", "0x width",
     [](const PlainFunctionSlots&, const PlainPlotOptions&, const PlainView& v) {
         return v.windowBound(WindowBound::Width) == 768;
     }},
    {"View", "Height=0x", "0x alone is no integer",
     [](const PlainFunctionSlots&, const PlainPlotOptions&, const PlainView& v) {
         return v.windowBound(WindowBound::Height) == 498;
     }},
    {"View", "Top=-20", "negative bound",
     [](const PlainFunctionSlots&, const PlainPlotOptions&, const PlainView& v) {
         return v.windowBound(WindowBound::Top) == -20;
     }},
    {"View", "  XMin   =   -2.5  ", "blanks around = and the value",
     [](const PlainFunctionSlots&, const PlainPlotOptions&, const PlainView& v) {
         return v.rangeText(RangeField::XMin) == QStringLiteral("-2.5");
     }},
    {"View", "XMax=\"7 \"", "quoted value keeps its blank",
     [](const PlainFunctionSlots&, const PlainPlotOptions&, const PlainView& v) {
         return v.rangeText(RangeField::XMax) == QStringLiteral("7 ");
     }},
    {"View", "YMin=abc", "range texts are not checked on load",
     [](const PlainFunctionSlots&, const PlainPlotOptions&, const PlainView& v) {
         return v.rangeText(RangeField::YMin) == QStringLiteral("abc");
     }},
    {"Grid", "IX=\"0,5\"", "interval text unchecked, quotes off",
     [](const PlainFunctionSlots&, const PlainPlotOptions& o, const PlainView&) {
         return o.options.Grid.IX == QStringLiteral("0,5");
     }},
    {"BackGround", "COLOR=clWhite", "key name in upper case",
     [](const PlainFunctionSlots&, const PlainPlotOptions& o, const PlainView&) {
         return o.options.BackGround.Color == colors::clWhite;
     }},
};

class HandEditedFile : public SettingsPass, public ::testing::WithParamInterface<HandEditCase>
{
};

TEST_P(HandEditedFile, Loads)
{
    const HandEditCase& c = GetParam();
    writeFile(QByteArray("[") + c.section + "]\r\n" + c.line + "\r\n");
    load();
    EXPECT_TRUE(c.holds(functions, options, view)) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(Table, HandEditedFile, ::testing::ValuesIn(HandEditCases));

TEST_F(SettingsPass, NamedColoursAreWrittenBackByName)
{
    writeFile(crlfLines({"[Function1]", "Color=clred", "[Function2]", "Color=$000000FF",
                         "[Function3]", "Color=255"}));
    load();
    WriteFunctionSettings(functions, path());
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(ProfileFile(path()).readString(QStringLiteral("Function%1").arg(n),
                                                 QStringLiteral("Color"), {}),
                  QStringLiteral("clRed"))
            << n;
}

TEST_F(SettingsPass, UnconvertibleColourStopsTheLoad)
{
    writeFile(crlfLines({"[Function1]", "Color=clWhite", "Visible=1", "[Function4]", "Color=clLime",
                         "[Function5]", "Color=purple", "[Function6]", "Color=clRed",
                         "Expression=x", "[Function9]", "Visible=1", "[Grid]", "Visible=0",
                         "[View]", "XMin=-1", "Width=900"}));
    try {
        load();
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), "'purple' ist kein gültiger Integerwert");
    }
    // Flags and expressions come before the colours, so all ten are in.
    EXPECT_TRUE(functions.functionSlot(1).Visible);
    EXPECT_TRUE(functions.functionSlot(9).Visible);
    EXPECT_EQ(functions.functionSlot(6).Expression, QStringLiteral("x"));
    // Colours 1 to 4 loaded; 5 to 10 keep the swatches' designed colours.
    EXPECT_EQ(functions.functionSlot(1).Color, colors::clWhite);
    EXPECT_EQ(functions.functionSlot(2).Color, colors::clGreen);
    EXPECT_EQ(functions.functionSlot(4).Color, colors::clLime);
    for (int n = 5; n <= 10; ++n)
        EXPECT_EQ(functions.functionSlot(n).Color,
                  DesignedSlotColors[static_cast<std::size_t>(n - 1)])
            << n;
    EXPECT_TRUE(options.options.Grid.Visible);
    EXPECT_EQ(view.rangeText(RangeField::XMin), QStringLiteral("-5"));
    EXPECT_EQ(view.windowBound(WindowBound::Width), 683);
}

TEST_F(SettingsPass, UnconvertibleOptionColourKeepsTheLaterOptions)
{
    writeFile(crlfLines({"[Axis]", "Visible=0", "Color=grau", "[Scale]", "Visible=0"}));
    EXPECT_THROW(load(), EConvertError);
    EXPECT_FALSE(options.options.Axis.Visible);
    EXPECT_EQ(options.options.Axis.Color, colors::clGray);
    EXPECT_TRUE(options.options.Scale.Visible);
}

TEST_F(SettingsPass, LongExpressionComesBackCutTo2047)
{
    functions.rows[0].Expression = QString(3000, u'x');
    WriteFunctionSettings(functions, path());
    EXPECT_TRUE(readBytes(path()).contains(QByteArray(3000, 'x'))) << "the file keeps it whole";
    PlainFunctionSlots loaded;
    PlainPlotOptions o;
    PlainView v;
    LoadSettings(loaded, o, v, path());
    EXPECT_EQ(loaded.functionSlot(1).Expression, QString(2047, u'x'));
}

TEST_F(SettingsPass, CommentsAndUnknownKeysSurviveAllWriters)
{
    writeFile(crlfLines({"; written by hand", "[Function1]", "Expression=sin(x)", "Note=mine", "",
                         "[Extra]", "A=1", "# other comment", "[View]", "XMin=-1"}));
    load();
    writeAll();
    const QByteArray after = readBytes(path());
    EXPECT_TRUE(after.startsWith(crlfLines(
        {"; written by hand", "[Function1]", "Expression=sin(x)", "Note=mine", "Visible=0",
         "Color=clBlack", "", "[Extra]", "A=1", "# other comment", "[View]", "XMin=-1", "XMax=5"})))
        << after.constData();
}

TEST_F(SettingsPass, KeyOrderIsThatOfFirstCreation)
{
    // View keys exist in a foreign order; the writer changes them in place
    // and appends the missing ones in its own order.
    writeFile(crlfLines({"[View]", "Left=1", "YMax=9"}));
    WriteViewSettings(view, path());
    EXPECT_EQ(readBytes(path()), crlfLines({"[View]", "Left=183", "YMax=5", "XMin=-5", "XMax=5",
                                            "YMin=-5", "Width=683", "Height=498", "Top=115"}));
}

TEST_F(SettingsPass, SecondWritePassChangesValuesInPlace)
{
    load();
    writeAll();
    functions.rows[2].Expression = QStringLiteral("cos(x)");
    functions.rows[2].Visible = true;
    options.options.Grid.IX = QStringLiteral("2");
    view.setWindowBound(WindowBound::Width, 800);
    writeAll();
    QByteArray expected = FirstStartFile;
    expected.replace("[Function3]\r\nExpression=\r\nVisible=0",
                     "[Function3]\r\nExpression=cos(x)\r\nVisible=1");
    expected.replace("[Grid]\r\nVisible=1\r\nIX=1", "[Grid]\r\nVisible=1\r\nIX=2");
    expected.replace("Width=683", "Width=800");
    EXPECT_EQ(readBytes(path()), expected);
}

TEST_F(SettingsPass, UmlautsAndEuroRoundTripAsSingleBytes)
{
    const QString text = QString::fromUtf8("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f\xe2\x82\xac");
    functions.rows[0].Expression = text;
    view.setRangeText(RangeField::XMin, text);
    WriteFunctionSettings(functions, path());
    WriteViewSettings(view, path());
    const QByteArray bytes = readBytes(path());
    EXPECT_TRUE(bytes.contains("Expression=\xe4\xf6\xfc\xdf\x80\r\n"));
    EXPECT_TRUE(bytes.contains("XMin=\xe4\xf6\xfc\xdf\x80\r\n"));
    PlainFunctionSlots f;
    PlainPlotOptions o;
    PlainView v;
    LoadSettings(f, o, v, path());
    EXPECT_EQ(f.functionSlot(1).Expression, text);
    EXPECT_EQ(v.rangeText(RangeField::XMin), text);
}

/// Stores that log every field that changes, to check the loading order and
/// that each value reaches its store the moment it is read.
struct ChangeLog
{
    QStringList entries;
};

class LoggingFunctions : public PlainFunctionSlots
{
public:
    explicit LoggingFunctions(ChangeLog& log) : log(log) {}
    void setFunctionSlot(int n, const FunctionSlot& slot) override
    {
        const FunctionSlot old = functionSlot(n);
        const QString s = QStringLiteral("Function%1.").arg(n);
        if (old.Visible != slot.Visible)
            log.entries << s + QStringLiteral("Visible");
        if (old.Expression != slot.Expression)
            log.entries << s + QStringLiteral("Expression");
        if (old.Color != slot.Color)
            log.entries << s + QStringLiteral("Color");
        PlainFunctionSlots::setFunctionSlot(n, slot);
    }
    ChangeLog& log;
};

class LoggingOptions : public PlainPlotOptions
{
public:
    explicit LoggingOptions(ChangeLog& log) : log(log) {}
    void setPlotOptions(const PlotOptions& o) override
    {
        int changes = 0;
        const auto layer = [&](const char* name, const PlotOptions::Layer& a,
                               const PlotOptions::Layer& b) {
            const QString s = QString::fromLatin1(name) + u'.';
            if (a.Visible != b.Visible)
                log.entries << s + QStringLiteral("Visible"), ++changes;
            if (a.IX != b.IX)
                log.entries << s + QStringLiteral("IX"), ++changes;
            if (a.IY != b.IY)
                log.entries << s + QStringLiteral("IY"), ++changes;
            if (a.Color != b.Color)
                log.entries << s + QStringLiteral("Color"), ++changes;
        };
        layer("Grid", options.Grid, o.Grid);
        if (options.BackGround.Color != o.BackGround.Color)
            log.entries << QStringLiteral("BackGround.Color"), ++changes;
        if (options.Axis.Visible != o.Axis.Visible)
            log.entries << QStringLiteral("Axis.Visible"), ++changes;
        if (options.Axis.Color != o.Axis.Color)
            log.entries << QStringLiteral("Axis.Color"), ++changes;
        layer("Scale", options.Scale, o.Scale);
        layer("AxisText", options.AxisText, o.AxisText);
        maxChangesPerCall = std::max(maxChangesPerCall, changes);
        PlainPlotOptions::setPlotOptions(o);
    }
    ChangeLog& log;
    int maxChangesPerCall = 0;
};

class LoggingView : public PlainView
{
public:
    explicit LoggingView(ChangeLog& log) : log(log) {}
    void setRangeText(RangeField f, const QString& text) override
    {
        static const char* names[] = {"XMin", "XMax", "YMin", "YMax"};
        if (text != rangeText(f))
            log.entries << QStringLiteral("View.") +
                               QString::fromLatin1(names[static_cast<int>(f)]);
        PlainView::setRangeText(f, text);
    }
    void setWindowBound(WindowBound b, int value) override
    {
        static const char* names[] = {"Width", "Height", "Top", "Left"};
        if (value != windowBound(b))
            log.entries << QStringLiteral("View.") +
                               QString::fromLatin1(names[static_cast<int>(b)]);
        PlainView::setWindowBound(b, value);
    }
    ChangeLog& log;
};

TEST_F(SettingsPass, LoadsEveryKeyInItsOrderOneAtATime)
{
    // Every key differs from its default, and the file lists them in an order
    // of its own: the log shows the loader's order, not the file's.
    writeFile(crlfLines({
        "[View]",        "Left=1",        "Top=2",         "Height=3",      "Width=4",
        "YMax=9",        "YMin=-9",       "XMax=8",        "XMin=-8",       "[AxisText]",
        "Color=clRed",   "IY=2",          "IX=2",          "Visible=0",     "[Scale]",
        "Color=clRed",   "IY=2",          "IX=2",          "Visible=0",     "[Axis]",
        "Color=clRed",   "Visible=0",     "[BackGround]",  "Color=clRed",   "[Grid]",
        "Color=clRed",   "IY=2",          "IX=2",          "Visible=0",     "[Function10]",
        "Color=clWhite", "Expression=x",  "Visible=1",     "[Function9]",   "Color=clWhite",
        "Expression=x",  "Visible=1",     "[Function8]",   "Color=clWhite", "Expression=x",
        "Visible=1",     "[Function7]",   "Color=clWhite", "Expression=x",  "Visible=1",
        "[Function6]",   "Color=clWhite", "Expression=x",  "Visible=1",     "[Function5]",
        "Color=clWhite", "Expression=x",  "Visible=1",     "[Function4]",   "Color=clWhite",
        "Expression=x",  "Visible=1",     "[Function3]",   "Color=clWhite", "Expression=x",
        "Visible=1",     "[Function2]",   "Color=clWhite", "Expression=x",  "Visible=1",
        "[Function1]",   "Color=clWhite", "Expression=x",  "Visible=1",
    }));
    ChangeLog log;
    LoggingFunctions f(log);
    LoggingOptions o(log);
    LoggingView v(log);
    LoadSettings(f, o, v, path());

    QStringList expected;
    for (const char* key : {"Visible", "Expression", "Color"})
        for (int n = 1; n <= 10; ++n)
            expected << QStringLiteral("Function%1.%2").arg(n).arg(QString::fromLatin1(key));
    expected << QStringLiteral("Grid.Visible") << QStringLiteral("Grid.IX")
             << QStringLiteral("Grid.IY") << QStringLiteral("Grid.Color")
             << QStringLiteral("BackGround.Color") << QStringLiteral("Axis.Visible")
             << QStringLiteral("Axis.Color") << QStringLiteral("Scale.Visible")
             << QStringLiteral("Scale.IX") << QStringLiteral("Scale.IY")
             << QStringLiteral("Scale.Color") << QStringLiteral("AxisText.Visible")
             << QStringLiteral("AxisText.IX") << QStringLiteral("AxisText.IY")
             << QStringLiteral("AxisText.Color");
    for (const char* key : {"XMin", "XMax", "YMin", "YMax", "Width", "Height", "Top", "Left"})
        expected << QStringLiteral("View.") + QString::fromLatin1(key);
    EXPECT_EQ(log.entries, expected);
    EXPECT_EQ(o.maxChangesPerCall, 1) << "each check box change reaches the store on its own";
}

TEST_F(SettingsPass, OptionDefaultsAreTheControlsCurrentValues)
{
    options.options.Grid.IX = QStringLiteral("0.25");
    options.options.Axis.Visible = false;
    options.options.Scale.Color = colors::clNone;
    view.setWindowBound(WindowBound::Top, 7);
    functions.rows[1].Color = colors::clWhite;
    load();
    EXPECT_EQ(options.options.Grid.IX, QStringLiteral("0.25"));
    EXPECT_FALSE(options.options.Axis.Visible);
    EXPECT_EQ(options.options.Scale.Color, colors::clNone);
    EXPECT_EQ(view.windowBound(WindowBound::Top), 7);
    EXPECT_EQ(functions.functionSlot(2).Color, colors::clGreen) << "slot colours: fixed defaults";
}

TEST(SettingsFilePath, IsTheExecutablesDirectoryPlusFunctionsIni)
{
    SetExecutableDirectoryOverride({});
    const QString real =
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
    EXPECT_EQ(ExecutableDirectory(), real);
    EXPECT_EQ(SettingsFilePath(), real + QStringLiteral("/Functions.ini"));
    SetExecutableDirectoryOverride(QStringLiteral("/somewhere/else"));
    EXPECT_EQ(SettingsFilePath(), QStringLiteral("/somewhere/else/Functions.ini"))
        << "computed afresh at each call";
    SetExecutableDirectoryOverride({});
    EXPECT_EQ(SettingsFilePath(), real + QStringLiteral("/Functions.ini"));
}

TEST(SettingsFilePath, DefaultArgumentsUseIt)
{
    QTemporaryDir dir;
    SetExecutableDirectoryOverride(dir.path());
    PlainView view;
    view.setRangeText(RangeField::XMax, QStringLiteral("3"));
    WriteViewSettings(view);
    SetExecutableDirectoryOverride({});
    EXPECT_TRUE(readBytes(dir.filePath(QStringLiteral("Functions.ini"))).contains("XMax=3\r\n"));
}

} // namespace
