// Number literals and the power kinds their values give: the grammar's
// number recogniser and the single-pass compiler read literals alike here.
#include "parser/P10Grammar.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <string_view>

namespace kurvaro::compiler {

namespace {

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

} // namespace

// ---------------------------------------------------------------------------
// Numbers

/// Digits and at most one separator only, 18 digits at most: the integer of all
/// digits is exact and so is a power of ten up to 10^27, so one extended
/// division gives the value the extended conversion gives.
bool readPlainDecimal(std::string_view v, char point, double& value)
{
    const bool negative = v[0] == '-';
    std::uint64_t mantissa = 0;
    int digits = 0;
    int fraction = 0;
    bool afterPoint = false;
    for (std::size_t i = (v[0] == '+' || v[0] == '-') ? 1 : 0; i < v.size(); ++i) {
        const char c = v[i];
        if (isDigit(c)) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            fraction += afterPoint ? 1 : 0;
            if (++digits > 18)
                return false;
        } else if (c == point && !afterPoint) {
            afterPoint = true;
        } else {
            return false;
        }
    }
    long double wide = static_cast<long double>(mantissa);
    if (fraction > 0) {
        long double scale = 1.0L;
        for (int k = 0; k < fraction; ++k)
            scale *= 10.0L;
        wide /= scale;
    }
    value = static_cast<double>(negative ? -wide : wide);
    return true;
}

bool readNumber(std::string_view v, bool pascalNumberFormat, char separator, double& value)
{
    if (v == "PI" || v == "-PI") {
        value = v[0] == '-' ? -3.141592653589793 : 3.141592653589793;
        return true;
    }
    const char point = pascalNumberFormat ? '.' : separator;
    const std::size_t n = v.size();
    if (n == 0)
        return false;
    std::size_t i = (v[0] == '+' || v[0] == '-') ? 1 : 0;
    std::size_t digits = 0;
    bool seenPoint = false;
    for (; i < n; ++i) {
        if (isDigit(v[i]))
            ++digits;
        else if (v[i] == point && !seenPoint)
            seenPoint = true;
        else
            break;
    }
    if (i < n) {
        if (v[i] != 'E')
            return false;
        ++i;
        if (i < n && (v[i] == '+' || v[i] == '-'))
            ++i;
        const std::size_t exponentStart = i;
        while (i < n && isDigit(v[i]))
            ++i;
        if (i == exponentStart || i != n)
            return false;
    }
    if (digits == 0) {
        // The locale-aware conversion wants a digit; the fixed format reads an
        // empty mantissa as 0.
        if (!pascalNumberFormat)
            return false;
        value = v[0] == '-' ? -0.0 : 0.0;
        return true;
    }
    if (readPlainDecimal(v, point, value))
        return true;
    std::string buffer(v);
    if (point != '.')
        std::replace(buffer.begin(), buffer.end(), point, '.');
    const double d = static_cast<double>(strtold_l(buffer.c_str(), nullptr, cLocale()));
    if (std::isinf(d))
        faults::overflow();
    value = d;
    return true;
}

OpKind powerKind(double exponent)
{
    if (!(std::fabs(exponent) < 9223372036854775808.0))
        faults::invalidOp();
    const auto t = static_cast<std::int64_t>(exponent);
    if (static_cast<double>(t) != exponent || t < INT32_MIN || t > INT32_MAX)
        return okPower;
    switch (t) {
    case 2:
        return okSquare;
    case 3:
        return okCube;
    case 4:
        return okFourthPower;
    default:
        return okIntPower;
    }
}

} // namespace kurvaro::compiler
