#include "settings/ProfileFile.h"

#include <gtest/gtest.h>

#include <ostream>

#include <optional>

using namespace kurvaro;

namespace {

struct LookupCase
{
    QByteArray content;
    const char* section;
    const char* key;
    std::optional<QString> expected;
    const char* reason;
};

void PrintTo(const LookupCase& c, std::ostream* os)
{
    *os << c.reason;
}

const LookupCase LookupCases[] = {
    {"[Grid]\r\nIX=2\r\n", "Grid", "IX", QStringLiteral("2"), "CR LF file"},
    {"[Grid]\nIX=2\n", "Grid", "IX", QStringLiteral("2"), "LF file"},
    {"[Grid]\nIX=2", "Grid", "IX", QStringLiteral("2"), "no line end at the end"},
    {"[grid]\r\nix=2\r\n", "Grid", "IX", QStringLiteral("2"), "names ignore letter case"},
    {"[Grid]\r\n  IX  =  2  \r\n", "Grid", "IX", QStringLiteral("2"),
     "blanks around name and value"},
    {"[Grid]\r\n\tIX\t=\t2\t\r\n", "Grid", "IX", QStringLiteral("2"), "tabs count as blanks"},
    {"  [ Grid ]  \r\nIX=2\r\n", "Grid", "IX", QStringLiteral("2"), "blanks around the header"},
    {"[Grid] old\r\nIX=2\r\n", "Grid", "IX", QStringLiteral("2"), "text after the bracket"},
    {"[Grid]\r\nIX=\"2\"\r\n", "Grid", "IX", QStringLiteral("2"), "one pair of quotes taken off"},
    {"[Grid]\r\nIX=\" 2 \"\r\n", "Grid", "IX", QStringLiteral(" 2 "), "blanks inside quotes stay"},
    {"[Grid]\r\nIX=\"\"2\"\"\r\n", "Grid", "IX", QStringLiteral("\"2\""), "only one pair goes"},
    {"[Grid]\r\nIX=\"2\r\n", "Grid", "IX", QStringLiteral("\"2"), "a lone quote stays"},
    {"[Grid]\r\nIX=\"\r\n", "Grid", "IX", QStringLiteral("\""), "a single quote character"},
    {"[Grid]\r\nIX=a=b\r\n", "Grid", "IX", QStringLiteral("a=b"), "the first = splits"},
    {"[Grid]\r\nIX=\r\n", "Grid", "IX", QString(), "empty value is no missing key"},
    {"[Grid]\r\nIX=1\r\nIX=2\r\n", "Grid", "IX", QStringLiteral("1"), "first key wins"},
    {"[Grid]\r\nIX=1\r\n[Grid]\r\nIX=2\r\nIY=3\r\n", "Grid", "IY", std::nullopt,
     "only the first section of a name is read"},
    {"[Grid]\r\n;IX=1\r\nIX=2\r\n", "Grid", "IX", QStringLiteral("2"), "comment lines hold no key"},
    {"IX=1\r\n[Grid]\r\nIY=1\r\n", "Grid", "IX", std::nullopt, "keys before any section"},
    {"[Axis]\r\nIX=1\r\n[Grid]\r\n", "Grid", "IX", std::nullopt, "key of another section"},
    {"[Grid]\r\nIXX=1\r\n", "Grid", "IX", std::nullopt, "longer key name"},
    {"[Grid]\r\nIX 1\r\n", "Grid", "IX", std::nullopt, "line without ="},
    {"[Grid\r\nIX=1\r\n", "Grid", "IX", std::nullopt, "unclosed header opens nothing"},
    {"", "Grid", "IX", std::nullopt, "empty file"},
    {"[Function1]\r\nExpression=\xe4\x80\r\n", "Function1", "Expression",
     QString::fromUtf8("\xc3\xa4\xe2\x82\xac"), "Windows-1252 bytes"},
    {"[Grid]\r\nIX=2\r\r\n", "Grid", "IX", QStringLiteral("2"), "stray CR before the line end"},
};

class LookupTest : public ::testing::TestWithParam<LookupCase>
{
};

TEST_P(LookupTest, Reads)
{
    const LookupCase& c = GetParam();
    EXPECT_EQ(
        profile::lookup(c.content, QString::fromLatin1(c.section), QString::fromLatin1(c.key)),
        c.expected)
        << c.reason;
}

INSTANTIATE_TEST_SUITE_P(Table, LookupTest, ::testing::ValuesIn(LookupCases));

TEST(Lookup, CutsLongValuesTo2047Characters)
{
    const QByteArray value(3000, 'x');
    const auto read = profile::lookup("[F]\r\nE=" + value + "\r\n", "F", "E");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 2047);
    const auto quoted = profile::lookup("[F]\r\nE=\"" + value + "\"\r\n", "F", "E");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(*quoted, QString(2047, u'x')) << "quotes come off before the cut";
}

struct WriteCase
{
    QByteArray before;
    const char* section;
    const char* key;
    QString value;
    QByteArray after;
    const char* reason;
};

void PrintTo(const WriteCase& c, std::ostream* os)
{
    *os << c.reason;
}

const WriteCase WriteCases[] = {
    {"", "Grid", "IX", QStringLiteral("1"), "[Grid]\r\nIX=1\r\n", "creates the first section"},
    {"[Grid]\r\nIX=1\r\nIY=1\r\n", "Grid", "IX", QStringLiteral("2"), "[Grid]\r\nIX=2\r\nIY=1\r\n",
     "replaces in place"},
    {"[Grid]\r\nIX=1\r\n", "Grid", "IY", QStringLiteral("3"), "[Grid]\r\nIX=1\r\nIY=3\r\n",
     "appends to its section"},
    {"[Grid]\r\nIX=1\r\n\r\n[Axis]\r\nColor=clRed\r\n", "Grid", "IY", QStringLiteral("3"),
     "[Grid]\r\nIX=1\r\nIY=3\r\n\r\n[Axis]\r\nColor=clRed\r\n",
     "the blank line between sections stays after the new key"},
    {"[Grid]\r\n\r\n", "Grid", "IX", QStringLiteral("1"), "[Grid]\r\nIX=1\r\n\r\n",
     "empty section: right after its header"},
    {"[Grid]\r\nIX=1\r\n", "Axis", "Color", QStringLiteral("clGray"),
     "[Grid]\r\nIX=1\r\n[Axis]\r\nColor=clGray\r\n", "new section at the end"},
    {"[Grid]\r\nIX=1", "Axis", "Color", QStringLiteral("clGray"),
     "[Grid]\r\nIX=1\r\n[Axis]\r\nColor=clGray\r\n", "unterminated last line gets its line end"},
    {"[Grid]\r\nIX=1", "Grid", "IY", QStringLiteral("1"), "[Grid]\r\nIX=1\r\nIY=1\r\n",
     "append after an unterminated key line"},
    {"[Grid]\nIX=1\nIY=1\n", "Grid", "IX", QStringLiteral("2"), "[Grid]\nIX=2\r\nIY=1\n",
     "LF lines keep their bytes; the written line ends with CR LF"},
    {"[grid]\r\n  ix = 1 \r\n", "Grid", "IX", QStringLiteral("2"), "[grid]\r\nix=2\r\n",
     "the file's spelling of the key is kept"},
    {"; comment\r\n[Grid]\r\n; note\r\nIX=1\r\nOwn=x\r\n[Mine]\r\nA=1\r\n", "Grid", "IX",
     QStringLiteral("5"), "; comment\r\n[Grid]\r\n; note\r\nIX=5\r\nOwn=x\r\n[Mine]\r\nA=1\r\n",
     "comments and unknown keys untouched"},
    {"[Grid]\r\nIX=1\r\n; trailing comment\r\n", "Grid", "IY", QStringLiteral("1"),
     "[Grid]\r\nIX=1\r\n; trailing comment\r\nIY=1\r\n", "a comment belongs to its section"},
    {"[Grid]\r\nIX=1\r\n[Grid]\r\nIY=1\r\n", "Grid", "IY", QStringLiteral("2"),
     "[Grid]\r\nIX=1\r\nIY=2\r\n[Grid]\r\nIY=1\r\n", "the first section of a name is written"},
    {"", "F", "E", QString::fromUtf8("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f\xe2\x82\xac"),
     "[F]\r\nE=\xe4\xf6\xfc\xdf\x80\r\n", "single Windows-1252 bytes"},
    {"", "F", "E", QStringLiteral("a\r\nB=1"), "[F]\r\nE=a  B=1\r\n",
     "a line break cannot smuggle a key into the file"},
    {"", "F", "E", QStringLiteral("  7"), "[F]\r\nE=\"  7\"\r\n", "leading blanks kept by quotes"},
    {"", "F", "E", QStringLiteral("\"x\""), "[F]\r\nE=\"\"x\"\"\r\n", "quoted text kept by quotes"},
    {"", "F", "E", QStringLiteral("\"x"), "[F]\r\nE=\"x\r\n", "a lone quote needs none"},
};

class WithValueTest : public ::testing::TestWithParam<WriteCase>
{
};

TEST_P(WithValueTest, Writes)
{
    const WriteCase& c = GetParam();
    const QByteArray after = profile::withValue(c.before, QString::fromLatin1(c.section),
                                                QString::fromLatin1(c.key), c.value);
    EXPECT_EQ(after, c.after) << c.reason;
}

TEST_P(WithValueTest, ReadsBackWhatItWrote)
{
    const WriteCase& c = GetParam();
    const QByteArray after = profile::withValue(c.before, QString::fromLatin1(c.section),
                                                QString::fromLatin1(c.key), c.value);
    QString expected = c.value;
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    EXPECT_EQ(profile::lookup(after, QString::fromLatin1(c.section), QString::fromLatin1(c.key)),
              expected)
        << c.reason;
}

INSTANTIATE_TEST_SUITE_P(Table, WithValueTest, ::testing::ValuesIn(WriteCases));

} // namespace
