#include "dialogs/Desktop.h"

#include "DialogsTestSupport.h"
#include "model/ErrorText.h"
#include "model/Faults.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using namespace kurvaro;

namespace {

struct TitleCase
{
    const char* executable;
    const char* title;
    const char* reason;
};

class ApplicationTitleTest : public ::testing::TestWithParam<TitleCase>
{
};

TEST_P(ApplicationTitleTest, FollowsTheFileNameRule)
{
    const TitleCase& c = GetParam();
    EXPECT_EQ(applicationTitleFor(QString::fromUtf8(c.executable)), QString::fromUtf8(c.title))
        << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ApplicationTitleTest,
    ::testing::Values(
        TitleCase{"/usr/local/bin/kurvaro", "kurvaro", "a lower-case name stays as it is"},
        TitleCase{"/opt/KURVARO.bin", "Kurvaro", "letters after the first are lowered"},
        TitleCase{"/opt/kurvaro.tar.gz", "kurvaro", "the name ends at the first dot, not the last"},
        TitleCase{"C:\\Programme\\KURVARO.EXE", "Kurvaro", "a backslash separates directories"},
        TitleCase{"/a.b/Kurvaro", "Kurvaro", "a dot in a directory name does not count"},
        TitleCase{"/x/.hidden", "", "a leading dot leaves nothing"},
        TitleCase{"/x/Plot-App2", "Plot-app2", "only letters change; digits and signs stay"},
        TitleCase{"/x/ÄRGER", "Ärger", "non-ASCII letters are lowered too"},
        TitleCase{"K", "K", "a single letter without directory"}));

TEST(ApplicationTitle, ComesFromTheRunningExecutable)
{
    EXPECT_EQ(applicationTitle(), QStringLiteral("test-dialogs"));
}

struct FullStopCase
{
    const char* message;
    const char* shown;
    const char* reason;
};

class ErrorBoxTextTest : public ::testing::TestWithParam<FullStopCase>
{
};

TEST_P(ErrorBoxTextTest, AppendsAFullStopAfterCharactersAboveTheDot)
{
    const FullStopCase& c = GetParam();
    EXPECT_EQ(errorBoxText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown)) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorBoxTextTest,
    ::testing::Values(FullStopCase{"", "", "an empty message stays empty"},
                      FullStopCase{"Gleitkommadivision durch Null",
                                   "Gleitkommadivision durch Null.", "a letter is above the dot"},
                      FullStopCase{"Fertig.", "Fertig.", "the dot itself is not above the dot"},
                      FullStopCase{"Wert -", "Wert -", "'-' lies below the dot"},
                      FullStopCase{"Achtung!", "Achtung!", "'!' lies below the dot"},
                      FullStopCase{"Klammer )", "Klammer )", "')' lies below the dot"},
                      FullStopCase{"Ende ", "Ende ", "a trailing blank lies below the dot"},
                      FullStopCase{"Pfad /", "Pfad /.", "'/' lies just above the dot"},
                      FullStopCase{"Zeile 5", "Zeile 5.", "digits lie above the dot"},
                      FullStopCase{"Error parsing expression:\rX+", "Error parsing expression:\rX+",
                                   "'+' lies below the dot"},
                      FullStopCase{"'purple' ist kein gültiger Integerwert",
                                   "'purple' ist kein gültiger Integerwert.",
                                   "a whole conversion message"},
                      FullStopCase{"Größe ü", "Größe ü.", "a non-ASCII letter is above the dot"}));

struct GuardCase
{
    const char* name;
    void (*raise)();
    const char* shown;
};

class GuardedTest : public ::testing::TestWithParam<GuardCase>
{
};

TEST_P(GuardedTest, ShowsEveryFailureOnceAndSwallowsIt)
{
    RecordingDesktop desktop;
    const GuardCase& c = GetParam();
    EXPECT_NO_THROW(guarded(nullptr, c.raise));
    ASSERT_EQ(desktop.errors.size(), 1);
    EXPECT_EQ(desktop.errors.front(), QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Table, GuardedTest,
    ::testing::Values(
        GuardCase{"KurvaroFault", [] { faults::zeroDivide(); }, "Gleitkommadivision durch Null"},
        GuardCase{"StandardException", [] { throw std::runtime_error("kaputt"); }, "kaputt"},
        GuardCase{"OutOfMemory", [] { throw std::bad_alloc(); }, "Zu wenig Arbeitsspeicher"},
        GuardCase{"AnythingElse", [] { throw 42; }, "Unbekannter Fehler"}),
    [](const ::testing::TestParamInfo<GuardCase>& info) { return info.param.name; });

TEST(Guarded, ShowsNothingWhenTheHandlerSucceeds)
{
    RecordingDesktop desktop;
    bool ran = false;
    guarded(nullptr, [&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(desktop.errors.isEmpty());
}

class ThrowingErrorBox : public RecordingDesktop
{
public:
    void showError(QWidget*, const QString&) override { throw std::runtime_error("box"); }
};

TEST(Guarded, AFailingErrorBoxDoesNotEscapeEither)
{
    ThrowingErrorBox desktop;
    EXPECT_NO_THROW(guarded(nullptr, [] { faults::overflow(); }));
}

TEST(Desktop, InstallReplacesAndNullRestoresTheSystemDesktop)
{
    {
        RecordingDesktop desktop;
        EXPECT_EQ(&Desktop::instance(), &desktop);
    }
    EXPECT_EQ(dynamic_cast<RecordingDesktop*>(&Desktop::instance()), nullptr);
}

} // namespace

namespace {

TEST(SaveDialogTypeList, EveryEntryYieldsItsOwnPatterns)
{
    const struct
    {
        const char* entry;
        QStringList patterns;
        const char* reason;
    } cases[] = {
        {"Alle (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)",
         {"*.jpg", "*.jpeg", "*.bmp", "*.ico", "*.emf", "*.wmf"},
         "the first entry lists six patterns separated by \";\""},
        {"Bitmaps (*.bmp)", {"*.bmp"}, "one pattern"},
        {"Bilder (*.png *.bmp)", {"*.png", "*.bmp"}, "blanks separate as well"},
        {"*.txt", {"*.txt"}, "an entry without description is its own pattern"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filterPatterns(QString::fromUtf8(c.entry)), c.patterns) << c.reason;
}

} // namespace
