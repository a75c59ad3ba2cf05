// kurvaro-cli render, run as a separate process on files written here.
#include "support/CliRunner.h"
#include "support/FileBytes.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

using namespace kurvaro;

namespace {

/// What `kurvaro-cli render` ARGS left behind: its exit code and standard error.
struct RunResult
{
    int exitCode = -1;
    QByteArray stderrText;
};

RunResult runRender(const QString& program, const QStringList& args, int timeoutSeconds = 120)
{
    std::vector<std::string> arguments{"render"};
    for (const QString& a : args)
        arguments.push_back(QFile::encodeName(a).toStdString());
    const CliResult r = runCli(QFile::encodeName(program).toStdString(), arguments, timeoutSeconds);
    return {r.exitCode, QByteArray::fromStdString(r.err)};
}

QRgb rgb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

constexpr QRgb Background = 0xFFF2F1FE; // $00FEF1F2 on screen
constexpr QRgb GridGrey = 0xFFEBEBEB;

struct PixelCheck
{
    int x;
    int y;
    QRgb color;
};

struct RenderCase
{
    QByteArray ini; ///< the file's bytes (empty: an empty file)
    QStringList extraArgs;
    int exitCode;
    QByteArray stderrText;
    QSize size;                     ///< of the picture written; invalid: none written
    std::vector<PixelCheck> pixels; ///< at the default view -5..5 x -5..5
    const char* reason;
};

void PrintTo(const RenderCase& c, std::ostream* os)
{
    *os << c.reason;
}

// clang-format off
const QByteArray CompileFailure = "Fehler beim Berechnen der 3. Funktion: \"x+\".\n"
                                  "\xc3\x9c" "berpr\xc3\xbc" "fen Sie die richtige Schreibweise !\n";

const RenderCase RenderCases[] = {
    {{}, {}, 0, {}, {473, 462}, {{20, 20, Background}, {47, 20, GridGrey}},
     "an empty file: the first start's picture at the designed size"},
    {crlfLines({"[Grid]", "Visible=0", "[BackGround]", "Color=clWhite"}), {}, 0, {}, {473, 462},
     {{20, 20, rgb(255, 255, 255)}, {47, 20, rgb(255, 255, 255)}},
     "options from the file: no grid on white"},
    {crlfLines({"[Function2]", "Expression=2", "Visible=1", "Color=clBlue", "[Grid]", "Visible=0"}),
     {}, 0, {}, {473, 462}, {{100, 139, rgb(0, 0, 255)}, {100, 150, Background}},
     "a visible horizontal line y = 2 in its colour"},
    {crlfLines({"[Function2]", "Expression=2", "Visible=0", "Color=clBlue", "[Grid]", "Visible=0"}),
     {}, 0, {}, {473, 462}, {{100, 139, Background}},
     "a hidden function draws nothing"},
    {crlfLines({"[Function2]", "Expression=2", "Visible=1", "Color=clBlue"}),
     {"--size", "200x100"}, 0, {}, {200, 100}, {},
     "size of the drawing area"},
    {crlfLines({"[View]", "XMin=5", "XMax=-5"}), {}, 0, {}, {473, 462}, {{20, 20, Background}},
     "reversed bounds are exchanged silently"},
    {crlfLines({"[Function3]", "Expression=x+", "Visible=1"}), {}, 0, CompileFailure, {473, 462},
     {{20, 20, Background}},
     "a warning box as one block, its line break a newline"},
    {crlfLines({"[View]", "XMin=abc"}), {}, 1, "Fehler in XMin an Stelle: 1\n", {}, {},
     "view range refused"},
    {crlfLines({"[View]", "YMax=2", "YMin=2"}), {}, 1,
     "Y-Breich ist 0. \xc3\x9c" "berpr\xc3\xbc" "fen Sie den Bereich Ymin-Ymax.\n", {}, {},
     "empty view range refused"},
    {crlfLines({"[Function5]", "Color=purple", "[View]", "XMin=abc"}), {}, 2,
     "'purple' ist kein g\xc3\xbcltiger Integerwert.\n"
     "kurvaro-cli render: in INI, section [Function5], key Color is neither a colour name nor an "
     "integer\n", {}, {},
     "load stops at the colour; the general error box text with its full stop"},
    {crlfLines({"[View]", "XMax=1e400"}), {}, 2, "Gleitkomma\xc3\xbc" "berlauf.\n", {}, {},
     "a failure that reaches the general error box"},
};
// clang-format on

class RenderCli : public ::testing::TestWithParam<RenderCase>
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_P(RenderCli, DrawsAndExits)
{
    const RenderCase& c = GetParam();
    QStringList args;
    ASSERT_TRUE(writeBytes(file("Functions.ini"), c.ini));
    args << QStringLiteral("--ini") << file("Functions.ini") << c.extraArgs
         << QStringLiteral("--out") << file("out.bmp");
    const RunResult run = runRender(QStringLiteral(KURVARO_CLI), args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.reason;
    // The file's name in a message stands as "INI" in the table.
    EXPECT_EQ(QByteArray(run.stderrText).replace(QFile::encodeName(file("Functions.ini")), "INI"),
              c.stderrText)
        << c.reason;
    if (!c.size.isValid()) {
        EXPECT_FALSE(QFile::exists(file("out.bmp"))) << c.reason;
        return;
    }
    EXPECT_TRUE(readBytes(file("out.bmp")).startsWith("BM")) << c.reason;
    const QImage picture(file("out.bmp"));
    ASSERT_EQ(picture.size(), c.size) << c.reason;
    for (const PixelCheck& p : c.pixels)
        EXPECT_EQ(picture.pixel(p.x, p.y), p.color) << c.reason << " at " << p.x << "," << p.y
                                                    << ": " << std::hex << picture.pixel(p.x, p.y);
}

INSTANTIATE_TEST_SUITE_P(Table, RenderCli, ::testing::ValuesIn(RenderCases));

TEST(RenderCliOutput, PngWhenTheNameEndsInPng)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("empty.ini"));
    ASSERT_TRUE(writeBytes(ini, {}));
    for (const char* name : {"a.png", "b.PNG", "c.bmp", "d.jpg"}) {
        const QString out = dir.filePath(QString::fromLatin1(name));
        const RunResult run =
            runRender(QStringLiteral(KURVARO_CLI),
                      {QStringLiteral("--ini"), ini, QStringLiteral("--out"), out});
        if (QByteArray(name).endsWith(".jpg")) {
            EXPECT_EQ(run.exitCode, 64) << "a name of no known format is refused";
            EXPECT_FALSE(QFile::exists(out));
            continue;
        }
        ASSERT_EQ(run.exitCode, 0) << name;
        const bool png = QByteArray(name).toLower().endsWith(".png");
        EXPECT_TRUE(readBytes(out).startsWith(png ? QByteArray("\x89PNG") : QByteArray("BM")))
            << name;
    }
}

TEST(RenderCliOutput, UnwritablePictureIsAFailure)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("missing/out.bmp"));
    const RunResult run = runRender(QStringLiteral(KURVARO_CLI), {QStringLiteral("--out"), out});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.stderrText, "Datei " + QFile::encodeName(out) + " kann nicht erstellt werden.\n");
}

TEST(RenderCliOutput, DefaultFileIsFunctionsIniBesideTheProgram)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("kurvaro-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KURVARO_CLI), program));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner));
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("Functions.ini")),
                           crlfLines({"[BackGround]", "Color=clRed"})));
    const QString out = dir.filePath(QStringLiteral("out.bmp"));
    const RunResult run = runRender(program, {QStringLiteral("--out"), out});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText.constData();
    EXPECT_EQ(QImage(out).pixel(20, 20), rgb(255, 0, 0));
}

TEST(RenderCliOutput, NoIniAndNoFileBesideTheProgramIsTheFirstStart)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("kurvaro-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KURVARO_CLI), program));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner));
    const QString out = dir.filePath(QStringLiteral("out.bmp"));
    const RunResult run = runRender(program, {QStringLiteral("--out"), out});
    ASSERT_EQ(run.exitCode, 0) << run.stderrText.constData();
    const QImage picture(out);
    EXPECT_EQ(picture.size(), QSize(473, 462));
    EXPECT_EQ(picture.pixel(20, 20), Background);
    EXPECT_EQ(picture.pixel(47, 20), GridGrey);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Functions.ini")))) << "nothing written";
}

struct HostileRender
{
    QByteArray ini;
    const char* reason;
};

void PrintTo(const HostileRender& c, std::ostream* os)
{
    *os << c.reason;
}

// clang-format off
const HostileRender HostileRenders[] = {
    {crlfLines({"[View]", "XMin=-5e18", "XMax=5e18"}), "10^19 multiples of the interval 1"},
    {crlfLines({"[Grid]", "IX=1e-18", "[Scale]", "IX=1e-18", "[AxisText]", "IX=1e-18"}),
     "a tiny x interval"},
    {crlfLines({"[Grid]", "IY=8e-19", "[Scale]", "IY=8e-19", "[AxisText]", "IY=8e-19"}),
     "a tiny y interval"},
    {crlfLines({"[View]", "XMin=-1e300", "XMax=1e300", "YMin=-1e300", "YMax=1e300",
                "[Grid]", "IX=1.5e281", "IY=1.5e281", "[Scale]", "IX=1.5e281", "IY=1.5e281",
                "[AxisText]", "IX=1.5e281", "IY=1.5e281"}),
     "a view of +-1e300 in steps of 1.5e281"},
};
// clang-format on

class RenderCliHostile : public ::testing::TestWithParam<HostileRender>
{
};

TEST_P(RenderCliHostile, EndsWithAPicture)
{
    // These settings once froze the command for good; a minute is ample even
    // under the sanitizers.
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Functions.ini"));
    ASSERT_TRUE(writeBytes(ini, GetParam().ini));
    const QString out = dir.filePath(QStringLiteral("out.bmp"));
    const RunResult run = runRender(QStringLiteral(KURVARO_CLI),
                                    {QStringLiteral("--ini"), ini, QStringLiteral("--size"),
                                     QStringLiteral("1920x1080"), QStringLiteral("--out"), out},
                                    60);
    EXPECT_EQ(run.exitCode, 0) << run.stderrText.constData();
    EXPECT_EQ(QImage(out).size(), QSize(1920, 1080));
}

INSTANTIATE_TEST_SUITE_P(Table, RenderCliHostile, ::testing::ValuesIn(HostileRenders));

struct UsageCase
{
    QStringList args;
    const char* reason;
};

void PrintTo(const UsageCase& c, std::ostream* os)
{
    *os << c.reason;
}

const UsageCase UsageCases[] = {
    {{}, "no --out"},
    {{"--ini", "x.ini"}, "still no --out"},
    {{"--out"}, "option without its value"},
    {{"--out", "a.bmp", "--size", "0x10"}, "zero width"},
    {{"--out", "a.bmp", "--size", "10x"}, "no height"},
    {{"--out", "a.bmp", "--size", "10X10"}, "upper-case X"},
    {{"--out", "a.bmp", "--size", "-5x10"}, "negative"},
    {{"--out", "a.bmp", "--size", "100000x10"}, "too large"},
    {{"--out", "a.bmp", "--colour", "red"}, "unknown option"},
    {{"--out", "a.bmp", "extra"}, "stray argument"},
};

class RenderCliUsage : public ::testing::TestWithParam<UsageCase>
{
};

TEST_P(RenderCliUsage, Is64)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path()); // where a stray a.bmp would land
    const RunResult run = runRender(QStringLiteral(KURVARO_CLI), GetParam().args);
    EXPECT_EQ(run.exitCode, 64) << GetParam().reason;
    EXPECT_TRUE(run.stderrText.startsWith("usage: kurvaro-cli render")) << GetParam().reason;
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.bmp")))) << GetParam().reason;
    QDir::setCurrent(previous);
}

INSTANTIATE_TEST_SUITE_P(Table, RenderCliUsage, ::testing::ValuesIn(UsageCases));

} // namespace
