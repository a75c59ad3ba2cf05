// kurvaro-cli render's options: picture formats, standard output, the --ini
// file and the colour error, as a process.
#include "support/CliRunner.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using namespace kurvaro;

namespace {

std::string path(const QTemporaryDir& dir, const char* name)
{
    return QFile::encodeName(dir.filePath(QString::fromLatin1(name))).toStdString();
}

bool writeFile(const std::string& name, const QByteArray& bytes)
{
    QFile f(QFile::decodeName(name.c_str()));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const std::string& name)
{
    QFile f(QFile::decodeName(name.c_str()));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool startsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

const QByteArray BmpMagic("BM");
const QByteArray PngMagic("\x89PNG");
const QByteArray SvgMagic("<?xml");
const QByteArray PdfMagic("%PDF-");

struct FormatCase
{
    const char* name;               ///< the --out file in a temporary folder
    std::vector<std::string> extra; ///< more arguments
    QByteArray magic;               ///< empty: refused with 64, no file
    const char* reason;             ///< and for 64 a text the error holds
};

std::ostream& operator<<(std::ostream& os, const FormatCase& c)
{
    return os << c.name << ": " << c.reason;
}

class Formats : public testing::TestWithParam<FormatCase>
{
};

TEST_P(Formats, fromNameOrOption)
{
    const FormatCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(path(dir, "empty.ini"), {}));
    std::vector<std::string> args{"render", "--ini", path(dir, "empty.ini"), "--out",
                                  path(dir, c.name)};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const CliResult r = runCli(KURVARO_CLI, args);
    if (c.magic.isEmpty()) {
        EXPECT_EQ(r.exitCode, 64);
        EXPECT_TRUE(startsWith(r.err, "usage: kurvaro-cli render")) << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_FALSE(QFile::exists(QFile::decodeName(path(dir, c.name).c_str())));
        return;
    }
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(readFile(path(dir, c.name)).startsWith(c.magic)) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Formats,
    testing::Values(FormatCase{"a.png", {}, PngMagic, ".png"},
                    FormatCase{"b.PNG", {}, PngMagic, "letter case does not matter"},
                    FormatCase{"c.bmp", {}, BmpMagic, ".bmp"},
                    FormatCase{"d.Bmp", {}, BmpMagic, "letter case does not matter"},
                    FormatCase{"e.data", {"--format", "png"}, PngMagic, "--format for any name"},
                    FormatCase{"f.png", {"--format=bmp"}, BmpMagic, "--format wins over the name"},
                    FormatCase{"g.jpg", {}, {}, "cannot tell the picture format"},
                    FormatCase{"picture", {}, {}, "cannot tell the picture format"},
                    FormatCase{"h.png.txt", {}, {}, "cannot tell the picture format"},
                    FormatCase{"i.svg", {}, SvgMagic, ".svg: a vector picture"},
                    FormatCase{"j.PDF", {}, PdfMagic, ".pdf: a vector picture, any letter case"},
                    FormatCase{"k.bmp", {"--format", "svg"}, SvgMagic, "--format svg"},
                    FormatCase{"m.svg", {"--format=pdf"}, PdfMagic, "--format pdf wins too"},
                    FormatCase{"n.svgz", {}, {}, "cannot tell the picture format"},
                    FormatCase{"l.bmp", {"--format", "gif"}, {}, "unknown --format 'gif'"}));

TEST(RenderStandardOutput, BmpByDefault)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(path(dir, "empty.ini"), {}));
    const CliResult r = runCli(
        KURVARO_CLI, {"render", "--ini", path(dir, "empty.ini"), "--size", "40x30", "--out", "-"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QByteArray bytes(r.out.data(), static_cast<qsizetype>(r.out.size()));
    EXPECT_TRUE(bytes.startsWith(BmpMagic));
    EXPECT_EQ(QImage::fromData(bytes, "BMP").size(), QSize(40, 30));
    EXPECT_FALSE(QFile::exists(QStringLiteral("-"))) << "no file named -";
}

TEST(RenderStandardOutput, BmpHasTheBytesOfTheFile)
{
    // Both are written by the program's own BMP writer, as "Als Bitmap
    // speichern" writes them.
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(path(dir, "Functions.ini"), "[Function1]\r\nVisible=1\r\n"
                                                      "Expression=sin(x)\r\n"));
    const std::vector<std::string> common{"render", "--ini", path(dir, "Functions.ini"), "--size",
                                          "41x30"};
    std::vector<std::string> toFile = common;
    toFile.insert(toFile.end(), {"--out", path(dir, "out.bmp")});
    std::vector<std::string> toOutput = common;
    toOutput.insert(toOutput.end(), {"--out", "-"});
    const CliResult file = runCli(KURVARO_CLI, toFile);
    const CliResult output = runCli(KURVARO_CLI, toOutput);
    ASSERT_EQ(file.exitCode, 0) << file.err;
    ASSERT_EQ(output.exitCode, 0) << output.err;
    const QByteArray bytes(output.out.data(), static_cast<qsizetype>(output.out.size()));
    EXPECT_EQ(bytes.size(), 54 + 124 * 30) << "rows of 41 pixels padded to 124 bytes";
    EXPECT_EQ(bytes, readFile(path(dir, "out.bmp")));
}

TEST(RenderStandardOutput, PngWithFormat)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(path(dir, "empty.ini"), {}));
    const CliResult r = runCli(
        KURVARO_CLI, {"render", "--ini=" + path(dir, "empty.ini"), "--format", "PNG", "--out=-"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QByteArray bytes(r.out.data(), static_cast<qsizetype>(r.out.size()));
    EXPECT_TRUE(bytes.startsWith(PngMagic));
    EXPECT_EQ(QImage::fromData(bytes, "PNG").size(), QSize(473, 462));
}

struct OutputCase
{
    const char* format;
    QByteArray magic;
    QByteArray end; ///< what the picture ends with: all of it came through
};

class RenderVectorOutput : public testing::TestWithParam<OutputCase>
{
};

TEST_P(RenderVectorOutput, ToStandardOutputWithFormat)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(path(dir, "empty.ini"), {}));
    const CliResult r = runCli(KURVARO_CLI, {"render", "--ini", path(dir, "empty.ini"), "--format",
                                             GetParam().format, "--out", "-"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QByteArray bytes = QByteArray(r.out.data(), static_cast<qsizetype>(r.out.size()));
    EXPECT_TRUE(bytes.startsWith(GetParam().magic)) << GetParam().format;
    EXPECT_TRUE(bytes.trimmed().endsWith(GetParam().end)) << GetParam().format;
    EXPECT_FALSE(QFile::exists(QStringLiteral("-"))) << "no file named -";
}

INSTANTIATE_TEST_SUITE_P(Table, RenderVectorOutput,
                         testing::Values(OutputCase{"svg", SvgMagic, "</svg>"},
                                         OutputCase{"PDF", PdfMagic, "%%EOF"}));

/// An --ini that cannot be read: exit 66, the file and the reason on
/// standard error, no picture.
void expectNoInput(const std::string& ini, const char* reason)
{
    QTemporaryDir dir;
    const CliResult r = runCli(KURVARO_CLI, {"render", "--ini", ini, "--out", path(dir, "o.bmp")});
    EXPECT_EQ(r.exitCode, 66) << reason << "\n" << r.err;
    EXPECT_EQ(r.err, "kurvaro-cli render: settings file " + ini + " " + reason + "\n");
    EXPECT_FALSE(QFile::exists(QFile::decodeName(path(dir, "o.bmp").c_str())));
}

TEST(RenderIni, MissingFileIsNoInput)
{
    QTemporaryDir dir;
    expectNoInput(path(dir, "none.ini"), "does not exist");
    expectNoInput("", "does not exist");
}

TEST(RenderIni, FolderIsNoInput)
{
    QTemporaryDir dir;
    expectNoInput(QFile::encodeName(dir.path()).toStdString(), "is a folder, not a file");
}

TEST(RenderIni, FifoIsRefusedWithoutBlocking)
{
    QTemporaryDir dir;
    const std::string fifo = path(dir, "fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    expectNoInput(fifo, "is not a regular file"); // a read would wait for a writer
    expectNoInput("/dev/null", "is not a regular file");
}

TEST(RenderIni, FileOverTheSizeBoundIsNoInput)
{
    // Larger than any settings file the program writes: the program would
    // not read it either.
    QTemporaryDir dir;
    const std::string ini = path(dir, "huge.ini");
    QFile file(QFile::decodeName(ini.c_str()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(16 * 1024 * 1024 + 1));
    file.close();
    expectNoInput(ini, "is larger than 16 MiB");
}

TEST(RenderIni, UnreadableFileIsNoInput)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    QTemporaryDir dir;
    const std::string ini = path(dir, "locked.ini");
    ASSERT_TRUE(writeFile(ini, "[Grid]\r\nVisible=0\r\n"));
    ASSERT_EQ(chmod(ini.c_str(), 0), 0);
    expectNoInput(ini, "cannot be read: Permission denied");
}

struct ColorCase
{
    QByteArray ini;
    const char* firstLine;
    const char* where;
};

std::ostream& operator<<(std::ostream& os, const ColorCase& c)
{
    return os << c.where;
}

class ColorError : public testing::TestWithParam<ColorCase>
{
};

TEST_P(ColorError, namesFileSectionAndKey)
{
    const ColorCase& c = GetParam();
    QTemporaryDir dir;
    const std::string ini = path(dir, "Functions.ini");
    ASSERT_TRUE(writeFile(ini, c.ini));
    const CliResult r = runCli(KURVARO_CLI, {"render", "--ini", ini, "--out", path(dir, "o.bmp")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, std::string(c.firstLine) + "\nkurvaro-cli render: in " + ini + ", " + c.where +
                         " is neither a colour name nor an integer\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColorError,
    testing::Values(
        ColorCase{"[Function5]\r\nColor=purple\r\n",
                  "'purple' ist kein g\xc3\xbcltiger Integerwert.",
                  "section [Function5], key Color"},
        ColorCase{"[axis]\r\ncolor=$12G\r\n", "'$12G' ist kein g\xc3\xbcltiger Integerwert.",
                  "section [Axis], key Color"},
        ColorCase{"[AxisText]\r\nColor=x\r\n[Function10]\r\nColor=y\r\n",
                  "'y' ist kein g\xc3\xbcltiger Integerwert.", "section [Function10], key Color"},
        ColorCase{"[Scale]\r\nColor=\r\n[Grid]\r\nColor=clGren\r\n",
                  "'clGren' ist kein g\xc3\xbcltiger Integerwert.", "section [Grid], key Color"}));

} // namespace
