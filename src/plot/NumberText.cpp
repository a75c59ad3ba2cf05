#include "plot/NumberText.h"

#include "model/Faults.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace kurvaro {

long long nearestInt64(long double value)
{
    // In extended precision the largest value below 2^63 that rounds into the
    // range is 2^63 - 1 (2^63 - 0.5 ties to the even 2^63), and nothing lies
    // between -2^63 - 1 and -2^63. NaN fails both tests.
    if (!(value >= -9223372036854775808.0L && value <= 9223372036854775807.0L)) {
        faults::invalidOp();
    }
    // The default rounding mode is to nearest with ties to even.
    return std::llrint(value);
}

double storeDouble(long double value)
{
    const double stored = static_cast<double>(value);
    if (std::isinf(stored) || std::isnan(stored)) {
        faults::overflow();
    }
    return stored;
}

long long RoundToInt64(double value)
{
    return nearestInt64(value);
}

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

/// The double nearest to digits x 10^exponentOfLast, rounded once.
/// `digits` has no leading zeros; an empty string is 0.
double decimalToDouble(const std::string& digits, long long exponentOfLast, bool negative)
{
    const double zero = negative ? -0.0 : 0.0;
    if (digits.empty()) {
        return zero;
    }
    // The decimal exponent of the leading digit decides far-out values at once,
    // so that any exponent, however long, has a defined result.
    const long long lead = exponentOfLast + static_cast<long long>(digits.size()) - 1;
    if (lead > 400) {
        faults::overflow();
    }
    if (lead < -400) {
        return zero;
    }
    const std::string text = digits + 'e' + std::to_string(exponentOfLast);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                           std::chars_format::scientific);
    if (ec == std::errc::result_out_of_range) {
        if (lead > 0) {
            faults::overflow();
        }
        return zero;
    }
    if (ec != std::errc() || end != text.data() + text.size()) {
        faults::invalidOp(); // cannot happen for a text built as above
    }
    return negative ? -value : value;
}

} // namespace

double TextToReal(const QString& text, int& errorPos)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto fail = [&](qsizetype index) {
        errorPos = static_cast<int>(index + 1);
        return 0.0;
    };

    while (i < n && text[i] == u' ') {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= n) {
        return fail(n);
    }

    std::string digits; // significant digits, leading zeros dropped
    long long fractionDigits = 0;
    auto takeDigit = [&](QChar c) {
        if (digits.empty() && c == u'0') {
            return;
        }
        digits.push_back(static_cast<char>(c.unicode()));
    };
    while (i < n && isDigit(text[i])) {
        takeDigit(text[i]);
        ++i;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            // A zero before the first significant digit still shifts the point.
            if (!digits.empty() || text[i] != u'0') {
                takeDigit(text[i]);
            }
            ++fractionDigits;
            ++i;
        }
    }

    long long exponent = 0;
    if (i < n && (text[i] == u'E' || text[i] == u'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            negativeExponent = text[i] == u'-';
            ++i;
        }
        if (i >= n || !isDigit(text[i])) {
            return fail(i);
        }
        constexpr long long cap = 1'000'000'000'000LL; // far beyond any double
        while (i < n && isDigit(text[i])) {
            if (exponent < cap) {
                exponent = exponent * 10 + (text[i].unicode() - u'0');
            }
            ++i;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (i < n) {
        return fail(i);
    }

    errorPos = 0;
    return decimalToDouble(digits, exponent - fractionDigits, negative);
}

QString FormatFixed4(double value, QChar decimalSeparator)
{
    const long long fixed = nearestInt64(static_cast<long double>(value) * 10000.0L);
    const unsigned long long magnitude = fixed < 0 ? 0ULL - static_cast<unsigned long long>(fixed)
                                                   : static_cast<unsigned long long>(fixed);
    QString text = fixed < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / 10000);
    unsigned long long fraction = magnitude % 10000;
    if (fraction != 0) {
        int width = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --width;
        }
        text += decimalSeparator;
        text += QStringLiteral("%1").arg(fraction, width, 10, QChar(u'0'));
    }
    return text;
}

QChar localeDecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

QString FormatRangeValue(double value)
{
    QString text = FormatFixed4(value, localeDecimalSeparator());
    text.replace(u',', u'.');
    return text;
}

QString FormatLabelValue(double value)
{
    return FormatFixed4(value, localeDecimalSeparator());
}

} // namespace kurvaro
