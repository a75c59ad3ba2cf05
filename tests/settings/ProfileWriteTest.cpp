#include "settings/ProfileFile.h"
#include "settings/SettingsErrors.h"
#include "support/FileBytes.h"
#include "support/RefusedWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <cerrno>
#include <csignal>
#include <functional>
#include <random>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kurvaro;

extern char** environ;

namespace {

const QByteArray OldFile = crlfLines({"[Function1]", "Expression=old", "; keep me"});

class ProfileWrite : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // An unprivileged writer must reach the files of this directory.
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    }
    QString path(const char* name = "Functions.ini") const
    {
        return dir.filePath(QString::fromLatin1(name));
    }
    QTemporaryDir dir;
};

TEST_F(ProfileWrite, ReadOnlyFileIsRefusedAndLeftUntouched)
{
    ASSERT_TRUE(writeBytes(path(), OldFile));
    ASSERT_EQ(chmod(QFile::encodeName(path()).constData(), 0444), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const ProfileFile file(path());
    EXPECT_EQ(refusedWrite([&] {
                  file.writeString(QStringLiteral("Function1"), QStringLiteral("Expression"),
                                   QStringLiteral("new"));
              }),
              cannotWriteMessage(path()));
    EXPECT_EQ(readBytes(path()), OldFile);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file left behind";
}

TEST_F(ProfileWrite, ReadOnlyDirectoryIsRefusedAndLeftUntouched)
{
    ASSERT_TRUE(writeBytes(path(), OldFile));
    ASSERT_EQ(chmod(QFile::encodeName(path()).constData(), 0666), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    const ProfileFile file(path());
    EXPECT_EQ(refusedWrite([&] {
                  file.writeString(QStringLiteral("Function1"), QStringLiteral("Expression"),
                                   QStringLiteral("new"));
              }),
              cannotWriteMessage(path()));
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    EXPECT_EQ(readBytes(path()), OldFile);
}

TEST_F(ProfileWrite, UnreadableFileIsNotReplaced)
{
    // Writing it would drop every other key of the file.
    ASSERT_TRUE(writeBytes(path(), OldFile));
    ASSERT_EQ(chmod(QFile::encodeName(path()).constData(), 0222), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const ProfileFile file(path());
    EXPECT_EQ(refusedWrite([&] {
                  file.writeString(QStringLiteral("Function1"), QStringLiteral("Expression"),
                                   QStringLiteral("new"));
              }),
              cannotWriteMessage(path()));
    ASSERT_EQ(chmod(QFile::encodeName(path()).constData(), 0644), 0);
    EXPECT_EQ(readBytes(path()), OldFile);
}

TEST_F(ProfileWrite, WriteStoppedPartWayLeavesTheOldFileWhole)
{
    ASSERT_TRUE(writeBytes(path(), OldFile));
    const ProfileFile file(path());
    const QString big(20000, u'x');
    EXPECT_EQ(refusedWrite(
                  [&] {
                      file.writeString(QStringLiteral("Function1"), QStringLiteral("Expression"),
                                       big);
                  },
                  [] { limitFileSize(4096); }),
              cannotWriteMessage(path()));
    EXPECT_EQ(readBytes(path()), OldFile);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file left behind";
}

TEST_F(ProfileWrite, PassStoppedPartWayKeepsTheKeysWrittenBeforeAndAWholeFile)
{
    ASSERT_TRUE(writeBytes(path(), OldFile));
    const ProfileFile file(path());
    EXPECT_EQ(refusedWrite(
                  [&] {
                      file.writeString(QStringLiteral("Grid"), QStringLiteral("IX"),
                                       QStringLiteral("2"));
                      file.writeString(QStringLiteral("Grid"), QStringLiteral("IY"),
                                       QString(20000, u'y'));
                  },
                  [] { limitFileSize(4096); }),
              cannotWriteMessage(path()));
    EXPECT_EQ(readBytes(path()), OldFile + crlfLines({"[Grid]", "IX=2"}));
}

struct ImpossiblePathCase
{
    const char* relative;
    const char* reason;
};

void PrintTo(const ImpossiblePathCase& c, std::ostream* os)
{
    *os << c.reason;
}

const ImpossiblePathCase ImpossiblePaths[] = {
    {"missing/Functions.ini", "the directory does not exist"},
    {"plain/Functions.ini", "the directory is a file"},
    {"folder", "the name is a directory"},
};

class ImpossiblePath : public ProfileWrite, public ::testing::WithParamInterface<ImpossiblePathCase>
{
};

TEST_P(ImpossiblePath, RefusesWithTheFullName)
{
    ASSERT_TRUE(writeBytes(path("plain"), "x"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QString target = path(GetParam().relative);
    try {
        ProfileFile(target).writeString(QStringLiteral("View"), QStringLiteral("XMin"),
                                        QStringLiteral("-5"));
        FAIL() << GetParam().reason;
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.message(), cannotWriteMessage(target)) << GetParam().reason;
        EXPECT_STREQ(e.className(), "EIniFileException");
    }
    EXPECT_EQ(readBytes(path("plain")), "x");
}

INSTANTIATE_TEST_SUITE_P(Table, ImpossiblePath, ::testing::ValuesIn(ImpossiblePaths));

TEST_F(ProfileWrite, RelativeNameIsReportedInFull)
{
    const QString relative = QStringLiteral("no-such-dir-here/Functions.ini");
    try {
        ProfileFile(relative).writeString(QStringLiteral("View"), QStringLiteral("XMin"), {});
        FAIL();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.message(), cannotWriteMessage(QDir::current().absoluteFilePath(relative)));
    }
}

TEST_F(ProfileWrite, SymbolicLinkIsFollowedAndStaysALink)
{
    QDir(dir.path()).mkdir(QStringLiteral("real"));
    const QString target = path("real/Functions.ini");
    ASSERT_TRUE(writeBytes(target, OldFile));
    ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(target, path()));
    ProfileFile(path()).writeString(QStringLiteral("Function1"), QStringLiteral("Expression"),
                                    QStringLiteral("new"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(readBytes(target), crlfLines({"[Function1]", "Expression=new", "; keep me"}));
    struct stat st
    {
    };
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "the old file's permissions are kept";
}

TEST_F(ProfileWrite, DanglingLinkCreatesItsTarget)
{
    const QString target = path("created.ini");
    ASSERT_TRUE(QFile::link(target, path()));
    ProfileFile(path()).writeString(QStringLiteral("View"), QStringLiteral("XMin"),
                                    QStringLiteral("1"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(readBytes(target), crlfLines({"[View]", "XMin=1"}));
}

TEST_F(ProfileWrite, RelativeLinkChainIsFollowedToItsEnd)
{
    // Functions.ini -> sub/link -> ../real.ini, the last counted from sub.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(writeBytes(path("real.ini"), OldFile));
    ASSERT_EQ(symlink("../real.ini", QFile::encodeName(path("sub/link")).constData()), 0);
    ASSERT_EQ(symlink("sub/link", QFile::encodeName(path()).constData()), 0);
    ProfileFile(path()).writeString(QStringLiteral("Function1"), QStringLiteral("Expression"),
                                    QStringLiteral("new"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_TRUE(QFileInfo(path("sub/link")).isSymLink());
    EXPECT_EQ(readBytes(path("real.ini")),
              crlfLines({"[Function1]", "Expression=new", "; keep me"}));
}

TEST_F(ProfileWrite, OwnerIsKeptWhenRootWrites)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another owner";
    ASSERT_TRUE(writeBytes(path(), OldFile));
    ASSERT_EQ(chown(QFile::encodeName(path()).constData(), 65534, 65534), 0);
    ProfileFile(path()).writeString(QStringLiteral("Function1"), QStringLiteral("Expression"),
                                    QStringLiteral("new"));
    struct stat st
    {
    };
    ASSERT_EQ(stat(QFile::encodeName(path()).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(readBytes(path()), crlfLines({"[Function1]", "Expression=new", "; keep me"}));
}

TEST_F(ProfileWrite, ReadOfAMissingOrUnreadableFileGivesTheDefault)
{
    EXPECT_EQ(ProfileFile(path()).readString(QStringLiteral("View"), QStringLiteral("XMin"),
                                             QStringLiteral("d")),
              QStringLiteral("d"));
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    EXPECT_EQ(ProfileFile(path("folder"))
                  .readString(QStringLiteral("View"), QStringLiteral("XMin"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST_F(ProfileWrite, DefaultIsReturnedUnchanged)
{
    const QString longDefault(3000, u'y');
    EXPECT_EQ(
        ProfileFile(path()).readString(QStringLiteral("Grid"), QStringLiteral("IX"), longDefault),
        longDefault);
    EXPECT_EQ(ProfileFile(path()).readString(QStringLiteral("Grid"), QStringLiteral("IX"),
                                             QStringLiteral(" 1 ")),
              QStringLiteral(" 1 "));
}

/// Kills a process that rewrites one key of a large file at random moments:
/// each time, the file is whole, either the old one or one of the two new ones.
TEST_F(ProfileWrite, FileSurvivesAWriterKilledMidWrite)
{
    // About 1.5 MB of other keys make each replacement take a while.
    QByteArray original = crlfLines({"[Function1]", "Expression=old"});
    original.append("[Padding]\r\n");
    for (int i = 0; i < 30000; ++i)
        original.append("Key" + QByteArray::number(i) + "=" + QByteArray(40, 'p') + "\r\n");
    ASSERT_TRUE(writeBytes(path(), original));
    const QByteArray stateA = profile::withValue(original, QStringLiteral("Function1"),
                                                 QStringLiteral("Expression"), QStringLiteral("a"));
    const QByteArray stateB =
        profile::withValue(stateA, QStringLiteral("Function1"), QStringLiteral("Expression"),
                           QStringLiteral("bbbbbbbbbbbb"));

    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delayMicros(0, 40000);
    const QByteArray file = QFile::encodeName(path());
    int changed = 0;
    for (int round = 0; round < 30; ++round) {
        int out[2];
        ASSERT_EQ(pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char program[] = KURVARO_SETTINGS_WRITER;
        char a[] = "a";
        char b[] = "bbbbbbbbbbbb";
        char* argv[] = {program, const_cast<char*>(file.constData()), a, b, nullptr};
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, program, &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (round % 2 == 0) {
            // Half the rounds wait for the first finished write, so that the
            // kill lands among later ones.
            char c;
            (void)!read(out[0], &c, 1);
        }
        usleep(static_cast<useconds_t>(delayMicros(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(out[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round;

        const QByteArray now = readBytes(path());
        const bool whole = now == original || now == stateA || now == stateB;
        ASSERT_TRUE(whole) << "round " << round << ": " << now.size() << " bytes";
        if (now != original)
            ++changed;
    }
    EXPECT_GT(changed, 0) << "the writer never finished a write: the test proved nothing";
}

} // namespace
