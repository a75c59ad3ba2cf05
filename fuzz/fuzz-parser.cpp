// Compiles arbitrary bytes as an expression with the compiler's speed layer
// and with the grammar's own search alone, and evaluates what compiles at a
// few X values. Compile errors and arithmetic faults are expected; a crash, a
// leak, a sanitizer report, a value that is NaN or infinite, or any
// difference between the two compiles - texts accepted, list shape, kinds,
// constants, shared cells, error class and message - is a bug.

#include "FuzzCompile.h"
#include "parser/Parser10.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kurvaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TParser parser;
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzzcompile::compareSpeedLayer(parser, text);

    try {
        parser.CompileExpression(text);
    } catch (const Exception&) {
        return 0;
    }
    static const double xs[] = {0.0, 1.0, -2.5, 1e300, -1e-300, 3.0e9};
    for (double x : xs) {
        parser.X = x;
        parser.Y = x / 3;
        try {
            const long double v = parser.Value();
            if (!std::isfinite(v))
                std::abort();
        } catch (const Exception&) {
        }
    }
    return 0;
}
