// The number texts of the range and interval fields, the labels and the
// rounding to whole pixels.

#include "plot/NumberText.h"
#include "PlotTestSupport.h"
#include "model/Faults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kurvaro;

namespace {

struct ConversionCase
{
    const char* text;
    double value;
    int errorPos;
    const char* reason;
};

const ConversionCase conversionCases[] = {
    {"", 0, 1, "an empty text ends before the number"},
    {"-", 0, 2, "a lone sign ends too early"},
    {"+", 0, 2, "a lone plus sign ends too early"},
    {"   ", 0, 4, "only blanks: the text ends after them"},
    {"1e", 0, 3, "an exponent needs a digit"},
    {"1e+", 0, 4, "an exponent sign needs a digit"},
    {"1,5", 0, 2, "a decimal comma is no separator"},
    {"5 ", 0, 2, "a trailing blank is refused"},
    {"abc", 0, 1, "letters at the start"},
    {"\t5", 0, 1, "a tab is not skipped"},
    {"1.2.3", 0, 4, "one point only"},
    {"2.5x", 0, 4, "the first character that does not fit"},
    {"  x", 0, 3, "the position counts the skipped blanks"},
    {"1e5x", 0, 4, "nothing after the exponent"},
    {"1.5e2", 150, 0, "mantissa and exponent"},
    {"+.5", 0.5, 0, "sign and a bare fraction"},
    {"e5", 0, 0, "an empty mantissa is 0"},
    {".", 0, 0, "a lone point is 0"},
    {"  7", 7, 0, "leading blanks are skipped"},
    {"-3", -3, 0, "negative"},
    {"0.1", 0.1, 0, "rounded once to the nearest double"},
    {"1E-3", 0.001, 0, "capital E and a negative exponent"},
    {"123456789012345678901234567890", 1.2345678901234568e29, 0, "more digits than a double holds"},
    {"1.7976931348623157e308", std::numeric_limits<double>::max(), 0, "the largest double"},
    {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min(), 0,
     "the smallest denormal"},
    {"1e-400", 0, 0, "underflow gives 0 silently"},
    {"1e-6000", 0, 0, "an exponent far below the range gives 0"},
    {"0e99999", 0, 0, "zero with a huge exponent stays 0"},
    {"2.5x1e400", 0, 4, "a syntax error is reported before any overflow"},
};

TEST(TextToRealTest, ConvertsAndReportsPositions)
{
    for (const ConversionCase& c : conversionCases) {
        int pos = -1;
        const double value = TextToReal(QString::fromLatin1(c.text), pos);
        EXPECT_EQ(pos, c.errorPos) << c.reason << ": '" << c.text << "'";
        if (c.errorPos == 0) {
            EXPECT_EQ(value, c.value) << c.reason << ": '" << c.text << "'";
        }
    }
}

TEST(TextToRealTest, ValuesBeyondTheDoubleRangeOverflow)
{
    for (const char* text : {"1e400", "-1e400", "1.8e308", "1e5120", "1e999999999999999"}) {
        int pos = -1;
        try {
            TextToReal(QString::fromLatin1(text), pos);
            ADD_FAILURE() << text << " converted";
        } catch (const EOverflow& e) {
            EXPECT_STREQ(e.what(), "Gleitkommaüberlauf") << text;
        }
    }
}

TEST(TextToRealTest, LeadingZerosOfALongFractionShiftTheValueExactly)
{
    // 0.(500 zeros)1e420 is exactly 1e-81, far outside the exponent range on
    // either side taken alone.
    const QString text = QStringLiteral("0.") + QString(500, u'0') + QStringLiteral("1e420");
    int pos = -1;
    EXPECT_EQ(TextToReal(text, pos), 1e-81);
    EXPECT_EQ(pos, 0);
}

TEST(TextToRealTest, NegativeZeroEqualsZero)
{
    int pos = -1;
    EXPECT_EQ(TextToReal(QStringLiteral("-0"), pos), 0.0);
    EXPECT_EQ(pos, 0);
}

struct FixedCase
{
    double value;
    const char* english;
    const char* german;
    const char* reason;
};

const FixedCase fixedCases[] = {
    {4.5, "4.5", "4,5", "one decimal"},
    {-4.123456, "-4.1235", "-4,1235", "rounded to four decimals"},
    {3, "3", "3", "no fraction, no separator"},
    {0.25, "0.25", "0,25", "a leading zero"},
    {0.00001, "0", "0", "below half a unit of the last place"},
    {-0.00001, "0", "0", "no minus sign on a zero"},
    {1234567.891, "1234567.891", "1234567,891", "no thousands separator"},
    {0.03125, "0.0312", "0,0312", "an exact half goes down to the even 312"},
    {0.09375, "0.0938", "0,0938", "an exact half goes up to the even 938"},
    {-0.03125, "-0.0312", "-0,0312", "halves to even on the negative side"},
    {922337203685477.5, "922337203685477.5", "922337203685477,5", "near the top of the range"},
    {-922337203685477.5, "-922337203685477.5", "-922337203685477,5", "near the bottom"},
};

TEST(FormatFixed4Test, WritesShortestFixedPointText)
{
    for (const FixedCase& c : fixedCases) {
        EXPECT_EQ(FormatFixed4(c.value, u'.'), QString::fromLatin1(c.english)) << c.reason;
        EXPECT_EQ(FormatFixed4(c.value, u','), QString::fromLatin1(c.german)) << c.reason;
    }
}

TEST(FormatFixed4Test, OutOfTheFixedPointRangeRaisesInvalidOp)
{
    for (double v : {922337203685477.6, -922337203685477.7, 1e300, -1e19}) {
        EXPECT_THROW(FormatFixed4(v, u'.'), EInvalidOp) << v;
        EXPECT_THROW(FormatRangeValue(v), EInvalidOp) << v;
    }
}

TEST(FormatRangeValueTest, AlwaysUsesAPoint)
{
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        LocaleScope scope(locale);
        for (const FixedCase& c : fixedCases) {
            EXPECT_EQ(FormatRangeValue(c.value), QString::fromLatin1(c.english))
                << c.reason << " in " << locale.name().toStdString();
        }
    }
}

TEST(FormatLabelValueTest, UsesTheLocaleSeparator)
{
    {
        LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(FormatLabelValue(0.5), QStringLiteral("0,5"));
        EXPECT_EQ(FormatLabelValue(-2), QStringLiteral("-2"));
        EXPECT_EQ(FormatLabelValue(1.23456), QStringLiteral("1,2346"));
    }
    LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatLabelValue(0.5), QStringLiteral("0.5"));
}

struct RoundCase
{
    double value;
    long long expected;
    const char* reason;
};

TEST(RoundToInt64Test, NearestWithTiesToEven)
{
    const RoundCase cases[] = {
        {236.5, 236, "a tie goes to the even neighbour below"},
        {237.5, 238, "a tie goes to the even neighbour above"},
        {-0.5, 0, "a negative tie to zero"},
        {-1.5, -2, "a negative tie to the even -2"},
        {2.4999999999999996, 2, "just below a half"},
        {-9223372036854775808.0, std::numeric_limits<long long>::min(), "the lowest value"},
    };
    for (const RoundCase& c : cases) {
        EXPECT_EQ(RoundToInt64(c.value), c.expected) << c.reason;
    }
}

TEST(RoundToInt64Test, OutsideTheRangeRaisesInvalidOp)
{
    for (double v : {9223372036854775808.0, -9223372036854777856.0, 1e300}) {
        EXPECT_THROW(RoundToInt64(v), EInvalidOp) << v;
    }
}

} // namespace
