// Compiles texts put together from pieces of the expression language - names,
// literals, operators, brackets, calls - so that most inputs are near-misses
// of formulas or formulas, with the compiler's speed layer and with the
// grammar's own search alone. Any difference between the two, a crash or a
// sanitizer report is a bug.

#include "FuzzCompile.h"
#include "parser/Parser10.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace kurvaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char* const pieces[] = {
        "X",   "Y",      "E",   "PI",   "A",   "T",    "2",      "3",     "0.5",         ".",
        "1E",  "E-5",    "1E+", "-",    "+",   "*",    "/",      "^",     "DIV",         "MOD",
        "(",   ")",      ",",   "SIN(", "COS", "MAX(", "MIN(",   "SQRT",  "ABS(",        "-X",
        "^2",  "^-1",    "-2",  "X*",   "+X",  "-(",   "1E30",   "1E400", "99999999999", "E+99",
        "x",   "Sin(",   "mod", "D",    "IV",  "0",    "2.5E-3", "X-",    "-X^2",        "2*-",
        "(X)", "MAX(X,", "+-",  "--",   "**",  "XDIV", "MODX",   ")(",    "1E-1",        "PH(",
    };
    constexpr std::size_t count = sizeof pieces / sizeof pieces[0];
    static TParser parser;
    // Up to about a thousand characters: enough for every shape of the
    // grammar, and short enough that a text holding a literal which faults
    // where it stands - searched without shortcuts around that literal, in
    // time that grows faster than the text - stays within a fuzz run's time
    // limit. The long-text tests take the longer texts.
    std::string text;
    for (std::size_t i = 0; i < size && text.size() < 1024; ++i)
        text += pieces[data[i] % count];
    fuzzcompile::compareSpeedLayer(parser, text);
    return 0;
}
