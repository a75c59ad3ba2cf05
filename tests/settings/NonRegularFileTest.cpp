// Settings files that are not files, or far larger than any the program
// writes: they read as missing (defaults), without blocking and without
// reading more than the bound, and no write replaces them.

#include "settings/PlainStores.h"
#include "settings/ProfileDisk.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "support/FileBytes.h"
#include "support/NonRegularFiles.h"
#include "support/RefusedWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kurvaro;

namespace {

using profile::FileState;

/// A sparse regular file of `size` bytes that begins with a valid section.
bool makeLargeFile(const QString& path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(crlfLines({"[View]", "XMin=-7"})) > 0 &&
           file.resize(size);
}

bool makeLink(const QString& target, const QString& path)
{
    return symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0;
}

struct NonRegularCase
{
    const char* name;
    /// Creates Functions.ini in the folder given as what the case is about.
    std::function<bool(const QString& folder, const QString& path)> make;
    FileState state;
};

void PrintTo(const NonRegularCase& c, std::ostream* os)
{
    *os << c.name;
}

const NonRegularCase NonRegularCases[] = {
    {"a FIFO without a writer", [](const QString&, const QString& p) { return makeFifo(p); },
     FileState::NotRegular},
    {"a link to a FIFO",
     [](const QString& d, const QString& p) {
         return makeFifo(d + QStringLiteral("/fifo")) && makeLink(QStringLiteral("fifo"), p);
     },
     FileState::NotRegular},
    {"a link to /dev/zero",
     [](const QString&, const QString& p) { return makeLink(QStringLiteral("/dev/zero"), p); },
     FileState::NotRegular},
    {"a link to /dev/null",
     [](const QString&, const QString& p) { return makeLink(QStringLiteral("/dev/null"), p); },
     FileState::NotRegular},
    {"a socket", [](const QString&, const QString& p) { return makeSocket(p); },
     FileState::NotRegular},
    {"a directory", [](const QString&, const QString& p) { return QDir().mkdir(p); },
     FileState::NotRegular},
    {"a file one byte over the bound",
     [](const QString&, const QString& p) { return makeLargeFile(p, profile::MaxFileSize + 1); },
     FileState::TooLarge},
    {"a link to a file of 4 GiB",
     [](const QString& d, const QString& p) {
         return makeLargeFile(d + QStringLiteral("/huge"), qint64(4) << 30) &&
                makeLink(d + QStringLiteral("/huge"), p);
     },
     FileState::TooLarge},
    {"a path through a file",
     [](const QString& d, const QString&) { return writeBytes(d + QStringLiteral("/plain"), "x"); },
     FileState::Unreadable},
};

class NonRegularFile : public ::testing::TestWithParam<NonRegularCase>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(GetParam().make(dir.path(), path())) << GetParam().name;
        before = describe();
    }
    QString path() const
    {
        // The last case stands for a name whose directory is a file.
        return GetParam().state == FileState::Unreadable
                   ? dir.filePath(QStringLiteral("plain/Functions.ini"))
                   : dir.filePath(QStringLiteral("Functions.ini"));
    }
    /// Kind, size, inode and link target of the name: what a write must not
    /// change.
    std::string describe() const
    {
        struct stat st
        {
        };
        const QByteArray name = QFile::encodeName(path());
        if (lstat(name.constData(), &st) != 0)
            return "missing";
        return std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " +
               std::to_string(st.st_ino) + " " + QFile::symLinkTarget(path()).toStdString();
    }
    QTemporaryDir dir;
    std::string before;
};

TEST_P(NonRegularFile, IsNotRead)
{
    const std::string state = inChildProcess(
        [&] { return std::to_string(static_cast<int>(profile::readFile(path()).state)); });
    EXPECT_EQ(state, std::to_string(static_cast<int>(GetParam().state)));
}

/// Every value a load puts into the stores, as one text.
std::string loadedValues(const QString& path)
{
    PlainFunctionSlots functions;
    PlainPlotOptions options;
    PlainView view;
    view.windowBounds = {700, 500, 10, 20};
    LoadSettings(functions, options, view, path);
    QStringList values;
    for (const FunctionSlot& slot : functions.rows)
        values << slot.Expression << QString::number(slot.Visible) << QString::number(slot.Color);
    const PlotOptions& o = options.options;
    for (const PlotOptions::Layer& layer : {o.Grid, o.Scale, o.AxisText})
        values << QString::number(layer.Visible) << layer.IX << layer.IY
               << QString::number(layer.Color);
    values << QString::number(o.BackGround.Color) << QString::number(o.Axis.Visible)
           << QString::number(o.Axis.Color);
    for (const QString& text : view.rangeTexts)
        values << text;
    for (const int bound : view.windowBounds)
        values << QString::number(bound);
    return values.join(u'|').toStdString();
}

TEST_P(NonRegularFile, LoadsTheDefaultsWithoutBlocking)
{
    const std::string defaults = loadedValues(dir.filePath(QStringLiteral("absent.ini")));
    EXPECT_EQ(inChildProcess([&] { return loadedValues(path()); }), defaults);
    EXPECT_EQ(describe(), before);
}

TEST_P(NonRegularFile, EveryWriteIsRefusedAndLeavesIt)
{
    const std::string failures = inChildProcess([&] {
        const PlainFunctionSlots functions;
        const PlainPlotOptions options;
        const PlainView view;
        return writeFailure([&] { WriteFunctionSettings(functions, path()); }) + "|" +
               writeFailure([&] { WriteOptionSettings(options, path()); }) + "|" +
               writeFailure([&] { WriteViewSettings(view, path()); });
    });
    const std::string refused = cannotWriteMessage(path());
    EXPECT_EQ(failures, refused + "|" + refused + "|" + refused);
    EXPECT_EQ(describe(), before);
}

INSTANTIATE_TEST_SUITE_P(Table, NonRegularFile, ::testing::ValuesIn(NonRegularCases));

TEST(FileAtTheBound, IsReadAndWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Functions.ini"));
    ASSERT_TRUE(makeLargeFile(path, profile::MaxFileSize - 100));
    const ProfileFile file(path);
    EXPECT_EQ(file.readString(QStringLiteral("View"), QStringLiteral("XMin"), {}),
              QStringLiteral("-7"));
    file.writeString(QStringLiteral("View"), QStringLiteral("XMin"), QStringLiteral("-8"));
    EXPECT_EQ(file.readString(QStringLiteral("View"), QStringLiteral("XMin"), {}),
              QStringLiteral("-8"));
    // A write that would take it over the bound is refused: the next start
    // would not read it.
    EXPECT_EQ(writeFailure([&] {
                  file.writeString(QStringLiteral("View"), QStringLiteral("YMin"),
                                   QString(200, u'y'));
              }),
              cannotWriteMessage(path));
    EXPECT_EQ(QFileInfo(path).size(), profile::MaxFileSize - 100);
}

TEST(FifoWithAWriter, IsNotReadEither)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Functions.ini"));
    ASSERT_TRUE(makeFifo(path));
    const int reader = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    const int writer = open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, "[View]\r\nXMin=-7\r\n", 17), 17);
    EXPECT_EQ(inChildProcess([&] {
                  return ProfileFile(path)
                      .readString(QStringLiteral("View"), QStringLiteral("XMin"),
                                  QStringLiteral("default"))
                      .toStdString();
              }),
              "default");
    close(writer);
    close(reader);
}

} // namespace
