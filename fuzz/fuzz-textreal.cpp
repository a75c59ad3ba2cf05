// The number texts of the range and interval fields: arbitrary bytes through
// TextToReal, and what converts through the fixed-point text of the fields
// and labels. Overflow and out-of-range faults are expected; a crash, a
// sanitizer report, a NaN or an error position outside the text is a bug.

#include "model/Faults.h"
#include "plot/NumberText.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace kurvaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    int errorPos = -1;
    double value = 0;
    try {
        value = TextToReal(text, errorPos);
    } catch (const EOverflow&) {
        return 0;
    }
    if (errorPos < 0 || errorPos > text.size() + 1 || !std::isfinite(value))
        std::abort();
    if (errorPos != 0)
        return 0;
    try {
        const QString field = FormatRangeValue(value);
        // A field text always reads back, to the value rounded to four decimals.
        int backPos = -1;
        const double back = TextToReal(field, backPos);
        if (backPos != 0 || std::fabs(back - value) > 0.0000501 + std::fabs(value) * 1e-15)
            std::abort();
        FormatFixed4(value, u',');
    } catch (const EInvalidOp&) {
    }
    return 0;
}
