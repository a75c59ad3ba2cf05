// Writes that the disk refuses: a full file system, one with too little room
// for the new version, the process's file-size limit, a rename that fails.
// In every case the old file stays byte for byte or the pass ends with a
// whole file holding the keys before the refused one, and the refusal
// arrives as "nach %s kann nicht geschrieben werden".

#include "settings/PlainStores.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "support/FileBytes.h"
#include "support/RefusedWrite.h"
#include "support/SmallFileSystem.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include <sys/mount.h>

using namespace kurvaro;

namespace {

/// The reported file: two functions and a view.
const QByteArray TwoFunctionsAndAView = crlfLines({
    "[Function1]",
    "Expression=sin(x)",
    "Visible=1",
    "Color=clBlack",
    "[Function2]",
    "Expression=x^2",
    "Visible=1",
    "Color=clGreen",
    "[View]",
    "XMin=-10",
    "XMax=10",
    "YMin=-3",
    "YMax=3",
    "Width=683",
    "Height=498",
    "Top=115",
    "Left=183",
});

/// The names in `folder` that a write left behind beside Functions.ini.
QStringList leftovers(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("Functions.ini.*")},
                                  QDir::Files | QDir::Hidden | QDir::System);
}

struct PassCase
{
    const char* name;
    std::function<void(const QString& path)> write;
};

void PrintTo(const PassCase& c, std::ostream* os)
{
    *os << c.name;
}

/// Stores that differ from the file, so that every pass has something to
/// change.
PlainFunctionSlots editedFunctions()
{
    PlainFunctionSlots functions;
    for (int n = 1; n <= FunctionSlotCount; ++n)
        functions.rows[static_cast<std::size_t>(n - 1)].Expression = QStringLiteral("x*%1").arg(n);
    return functions;
}

const PassCase Passes[] = {
    {"functions dialog OK", [](const QString& p) { WriteFunctionSettings(editedFunctions(), p); }},
    {"options dialog OK",
     [](const QString& p) {
         PlainPlotOptions options;
         options.options.Grid.IX = QStringLiteral("0.5");
         WriteOptionSettings(options, p);
     }},
    {"window close",
     [](const QString& p) {
         PlainView view;
         view.rangeTexts[0] = QStringLiteral("-7");
         WriteViewSettings(view, p);
     }},
    {"one key",
     [](const QString& p) {
         ProfileFile(p).writeString(QStringLiteral("View"), QStringLiteral("XMin"),
                                    QStringLiteral("-1"));
     }},
};

class FullDisk : public ::testing::TestWithParam<PassCase>
{
};

TEST_P(FullDisk, RefusesAndKeepsTheOldFileByteForByte)
{
    SmallFileSystem disk;
    if (!disk.unavailable().isEmpty())
        GTEST_SKIP() << disk.unavailable().toStdString();
    const QString path = disk.filePath(QStringLiteral("Functions.ini"));
    ASSERT_TRUE(writeBytes(path, TwoFunctionsAndAView));
    ASSERT_TRUE(disk.fill());

    EXPECT_EQ(writeFailure([&] { GetParam().write(path); }), cannotWriteMessage(path));
    EXPECT_EQ(readBytes(path), TwoFunctionsAndAView);
    EXPECT_EQ(leftovers(disk.path()), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Table, FullDisk, ::testing::ValuesIn(Passes));

/// Room for a small file but not for one more page: the pass's one
/// replacement breaks off in the middle of the new file, and key by key the
/// file takes the keys before the one that no longer fits.
TEST(DiskWithLittleRoom, PassKeepsTheKeysBeforeTheOneThatDoesNotFit)
{
    SmallFileSystem disk;
    if (!disk.unavailable().isEmpty())
        GTEST_SKIP() << disk.unavailable().toStdString();
    const QString path = disk.filePath(QStringLiteral("Functions.ini"));
    ASSERT_TRUE(writeBytes(path, TwoFunctionsAndAView));
    ASSERT_TRUE(disk.fill(4096));

    PlainFunctionSlots functions = editedFunctions();
    functions.rows[4].Expression = QString(6000, u'x'); // two pages with the rest
    EXPECT_EQ(writeFailure([&] { WriteFunctionSettings(functions, path); }),
              cannotWriteMessage(path));

    QByteArray expected = TwoFunctionsAndAView;
    for (int n = 1; n <= 4; ++n)
        expected = profile::withValue(expected, QStringLiteral("Function%1").arg(n),
                                      QStringLiteral("Expression"), QStringLiteral("x*%1").arg(n));
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(leftovers(disk.path()), QStringList());
}

class FileSizeLimit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(writeBytes(path(), TwoFunctionsAndAView));
    }
    QString path() const { return dir.filePath(QStringLiteral("Functions.ini")); }
    QTemporaryDir dir;
};

TEST_F(FileSizeLimit, BelowTheOldFileEveryPassIsRefused)
{
    for (const PassCase& pass : Passes) {
        EXPECT_EQ(refusedWrite([&] { pass.write(path()); }, [] { limitFileSize(100); }),
                  cannotWriteMessage(path()))
            << pass.name;
        EXPECT_EQ(readBytes(path()), TwoFunctionsAndAView) << pass.name;
        EXPECT_EQ(leftovers(dir.path()), QStringList()) << pass.name;
    }
}

TEST_F(FileSizeLimit, PassStopsAtTheFirstKeyThatWouldPassIt)
{
    // The edited expressions replace shorter ones in place; from Function3
    // on, each adds a section, until the file would pass the limit.
    const QByteArray limit = "300";
    QByteArray expected = TwoFunctionsAndAView;
    int written = 0;
    for (int n = 1; n <= FunctionSlotCount; ++n) {
        const QByteArray next =
            profile::withValue(expected, QStringLiteral("Function%1").arg(n),
                               QStringLiteral("Expression"), QStringLiteral("x*%1").arg(n));
        if (next.size() > limit.toInt())
            break;
        expected = next;
        ++written;
    }
    ASSERT_GT(written, 2) << "the limit must let some keys through";
    ASSERT_LT(written, FunctionSlotCount) << "and stop one of the pass";

    EXPECT_EQ(refusedWrite([&] { WriteFunctionSettings(editedFunctions(), path()); },
                           [&] { limitFileSize(static_cast<rlim_t>(limit.toInt())); }),
              cannotWriteMessage(path()));
    EXPECT_EQ(readBytes(path()), expected);
}

/// Functions.ini as a mount point: the new version is written and flushed,
/// but the rename over it is refused (EBUSY).
TEST(RenameRefused, OldFileStaysAndTheNewOneIsRemoved)
{
    SmallFileSystem disk(256);
    if (!disk.unavailable().isEmpty())
        GTEST_SKIP() << disk.unavailable().toStdString();
    const QString path = disk.filePath(QStringLiteral("Functions.ini"));
    const QString source = disk.filePath(QStringLiteral("elsewhere.ini"));
    ASSERT_TRUE(writeBytes(path, "x"));
    ASSERT_TRUE(writeBytes(source, TwoFunctionsAndAView));
    ASSERT_EQ(mount(QFile::encodeName(source).constData(), QFile::encodeName(path).constData(),
                    nullptr, MS_BIND, nullptr),
              0);

    for (const PassCase& pass : Passes) {
        EXPECT_EQ(writeFailure([&] { pass.write(path); }), cannotWriteMessage(path)) << pass.name;
        EXPECT_EQ(readBytes(path), TwoFunctionsAndAView) << pass.name;
        EXPECT_EQ(leftovers(disk.path()), QStringList()) << pass.name;
    }
    umount2(QFile::encodeName(path).constData(), MNT_DETACH);
}

} // namespace
