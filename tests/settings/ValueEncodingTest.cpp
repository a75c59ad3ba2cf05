#include "settings/ValueEncoding.h"
#include "settings/SettingsErrors.h"
#include "settings/Windows1252.h"

#include <gtest/gtest.h>

#include <ostream>

#include <optional>

using namespace kurvaro;

namespace {

struct IntCase
{
    const char* text;
    std::optional<int> expected;
    const char* reason;
};

void PrintTo(const IntCase& c, std::ostream* os)
{
    *os << c.reason;
}

const IntCase IntCases[] = {
    {"0", 0, "plain zero"},
    {"683", 683, "decimal"},
    {"-5", -5, "negative"},
    {"+7", 7, "explicit plus"},
    {"007", 7, "leading zeros"},
    {"2147483647", 2147483647, "largest decimal"},
    {"-2147483648", -2147483647 - 1, "smallest decimal"},
    {"2147483648", std::nullopt, "one past the 32-bit range"},
    {"-2147483649", std::nullopt, "one below the 32-bit range"},
    {"99999999999999999999", std::nullopt, "far out of range, must not wrap"},
    {"$1", 1, "hexadecimal"},
    {"$ff", 255, "lower-case hex digits"},
    {"$000000FF", 255, "eight hex digits"},
    {"$FFFFFFFF", -1, "hex uses all 32 bits"},
    {"$80000000", -2147483647 - 1, "system colour base"},
    {"$100000000", std::nullopt, "more than 32 bits of hex"},
    {"-$10", -16, "sign before hex"},
    {"$", std::nullopt, "dollar without digits"},
    {"", std::nullopt, "empty text"},
    {"-", std::nullopt, "sign alone"},
    {"0x1", std::nullopt, "0x is the integer read's business, not the conversion's"},
    {"yes", std::nullopt, "word"},
    {"abc", std::nullopt, "letters"},
    {" 1", std::nullopt, "leading blank"},
    {"1 ", std::nullopt, "trailing blank"},
    {"1 2", std::nullopt, "blank inside"},
    {"1.5", std::nullopt, "decimal point"},
    {"$G", std::nullopt, "not a hex digit"},
    {"1e3", std::nullopt, "exponent"},
    {"\xd9\xa3", std::nullopt, "Arabic-Indic digit is no decimal digit"},
};

class TryStrToIntTest : public ::testing::TestWithParam<IntCase>
{
};

TEST_P(TryStrToIntTest, Converts)
{
    const IntCase& c = GetParam();
    EXPECT_EQ(TryStrToInt(QString::fromUtf8(c.text)), c.expected) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(Table, TryStrToIntTest, ::testing::ValuesIn(IntCases));

TEST(StrToInt, ThrowsConvertErrorWithTheText)
{
    try {
        StrToInt(QStringLiteral("purple"));
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), "'purple' ist kein gültiger Integerwert");
        EXPECT_STREQ(e.className(), "EConvertError");
    }
}

struct ColorReadCase
{
    const char* text;
    TColor expected;
    const char* reason;
};

void PrintTo(const ColorReadCase& c, std::ostream* os)
{
    *os << c.reason;
}

const ColorReadCase ColorReadCases[] = {
    {"clRed", colors::clRed, "table spelling"},
    {"clred", colors::clRed, "lower case"},
    {"CLRED", colors::clRed, "upper case"},
    {"$000000FF", colors::clRed, "hex"},
    {"255", colors::clRed, "decimal"},
    {"clBtnFace", static_cast<TColor>(0x8000000Fu), "system colour row 31"},
    {"clInfoBk", static_cast<TColor>(0x80000018u), "last system colour"},
    {"cl3ddkshadow", static_cast<TColor>(0x80000015u), "digit in a name"},
    {"clNone", colors::clNone, "last row"},
    {"$00EBEBEB", 0x00EBEBEB, "grid grey"},
    {"-1", -1, "negative decimal"},
};

class StringToColorTest : public ::testing::TestWithParam<ColorReadCase>
{
};

TEST_P(StringToColorTest, Reads)
{
    const ColorReadCase& c = GetParam();
    EXPECT_EQ(StringToColor(QString::fromUtf8(c.text)), c.expected) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(Table, StringToColorTest, ::testing::ValuesIn(ColorReadCases));

struct ColorFailCase
{
    const char* text;
    const char* message;
    const char* reason;
};

void PrintTo(const ColorFailCase& c, std::ostream* os)
{
    *os << c.reason;
}

const ColorFailCase ColorFailCases[] = {
    {"purple", "'purple' ist kein gültiger Integerwert", "English word without cl"},
    {"", "'' ist kein gültiger Integerwert", "empty value"},
    {"0xFF", "'0xFF' ist kein gültiger Integerwert", "0x is not read for colours"},
    {"clRed ", "'clRed ' ist kein gültiger Integerwert", "the name must match whole"},
    {"cl\xc3\xa4", "'cl\xc3\xa4' ist kein gültiger Integerwert", "umlaut shown in the message"},
};

class StringToColorFailTest : public ::testing::TestWithParam<ColorFailCase>
{
};

TEST_P(StringToColorFailTest, Throws)
{
    const ColorFailCase& c = GetParam();
    try {
        StringToColor(QString::fromUtf8(c.text));
        FAIL() << c.reason;
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), c.message) << c.reason;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, StringToColorFailTest, ::testing::ValuesIn(ColorFailCases));

struct ColorWriteCase
{
    TColor value;
    const char* text;
    const char* reason;
};

void PrintTo(const ColorWriteCase& c, std::ostream* os)
{
    *os << c.reason;
}

const ColorWriteCase ColorWriteCases[] = {
    {colors::clBlack, "clBlack", "first row"},
    {colors::clRed, "clRed", "named value"},
    {colors::clGray, "clGray", "grey layers"},
    {0x00EBEBEB, "$00EBEBEB", "grid grey has no name"},
    {0x00FEF1F2, "$00FEF1F2", "background"},
    {0x00ABCDEF, "$00ABCDEF", "upper-case hex digits"},
    {static_cast<TColor>(0x80000000u), "clScrollBar", "system colour 0"},
    {static_cast<TColor>(0x80000019u), "$80000019", "past the last system colour"},
    {colors::clNone, "clNone", "no colour"},
    {-1, "$FFFFFFFF", "all bits"},
    {0x12, "$00000012", "eight digits with leading zeros"},
};

class ColorToStringTest : public ::testing::TestWithParam<ColorWriteCase>
{
};

TEST_P(ColorToStringTest, Writes)
{
    const ColorWriteCase& c = GetParam();
    EXPECT_EQ(ColorToString(c.value), QString::fromLatin1(c.text)) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(Table, ColorToStringTest, ::testing::ValuesIn(ColorWriteCases));

TEST(ColorNames, SystemColoursStepByOneInTableOrder)
{
    ASSERT_EQ(ColorNames.size(), 42u);
    for (std::size_t row = 16; row <= 40; ++row)
        EXPECT_EQ(ColorNames[row].Value, static_cast<TColor>(0x80000000u + (row - 16)))
            << ColorNames[row].Name;
    EXPECT_STREQ(ColorNames[16].Name, "clScrollBar");
    EXPECT_STREQ(ColorNames[40].Name, "clInfoBk");
}

TEST(ColorNames, EveryNameReadsBackToItsRow)
{
    for (const ColorName& row : ColorNames) {
        EXPECT_EQ(ColorToString(row.Value), QString::fromLatin1(row.Name));
        EXPECT_EQ(StringToColor(QString::fromLatin1(row.Name).toUpper()), row.Value) << row.Name;
    }
}

struct CodePageCase
{
    const char* utf8;
    QByteArray bytes;
    const char* reason;
};

void PrintTo(const CodePageCase& c, std::ostream* os)
{
    *os << c.reason;
}

const CodePageCase CodePageCases[] = {
    {"sin(x)", "sin(x)", "ASCII stays"},
    {"\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f", "\xe4\xf6\xfc\xdf", "umlauts and sharp s"},
    {"\xc3\x84\xc3\x96\xc3\x9c", "\xc4\xd6\xdc", "capital umlauts"},
    {"\xe2\x82\xac", "\x80", "euro sign"},
    {"\xe2\x80\x9e\xe2\x80\x9c", "\x84\x93", "German quotes"},
    {"\xc5\xb8", "\x9f", "last of the high range"},
    {"\xce\xa9", "?", "Greek omega is not in the code page"},
    {"\xf0\x9f\x98\x80", "?", "one question mark for a surrogate pair"},
};

class CodePageTest : public ::testing::TestWithParam<CodePageCase>
{
};

TEST_P(CodePageTest, Encodes)
{
    const CodePageCase& c = GetParam();
    EXPECT_EQ(toWindows1252(QString::fromUtf8(c.utf8)), c.bytes) << c.reason;
    if (!c.bytes.contains('?')) {
        EXPECT_EQ(fromWindows1252(c.bytes), QString::fromUtf8(c.utf8)) << c.reason;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CodePageTest, ::testing::ValuesIn(CodePageCases));

TEST(CodePage, EveryByteSurvivesDecodeAndEncode)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = fromWindows1252(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(toWindows1252(text), all);
}

} // namespace
