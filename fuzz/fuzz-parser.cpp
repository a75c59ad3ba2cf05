// Compiles arbitrary bytes as an expression and evaluates what compiles at a
// few X values. Compile errors and arithmetic faults are expected; a crash, a
// leak, a sanitizer report, a value that is NaN or infinite, or a difference
// between the compiler's search modes is a bug.

#include "parser/P10Build.h"
#include "parser/Parser10.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

using namespace kurvaro;

namespace {

/// The compiled list (kinds, routines and where each operand comes from) or
/// the error, as one string.
std::string compileOutcome(TParser& parser, const std::string& text, RecogniserSearch mode)
{
    setRecogniserSearch(mode);
    std::string out;
    try {
        parser.CompileExpression(text);
        std::map<const double*, std::string> names;
        for (std::size_t i = 0; i < parser.Variables().size(); ++i)
            names[parser.Variables().at(i).second] = parser.Variables().at(i).first;
        int index = 0;
        for (const OpNode* n = parser.FirstNode(); n != nullptr; n = n->Next, ++index) {
            out += std::to_string(n->Kind) + ":" +
                   std::to_string(reinterpret_cast<std::uintptr_t>(n->Routine)) + "(";
            for (const double* c : {n->Arg1, n->Arg2}) {
                if (c == nullptr)
                    continue;
                const auto it = names.find(c);
                if (it != names.end()) {
                    out += it->second;
                } else {
                    char buffer[40];
                    std::snprintf(buffer, sizeof buffer, "%a", *c);
                    out += buffer;
                }
                out += ",";
            }
            out += ")";
            names[n->Dest] = "#" + std::to_string(index);
        }
    } catch (const Exception& e) {
        if (parser.FirstNode() != nullptr || !parser.CompileFailed())
            std::abort();
        out = std::string(e.className()) + ": " + e.message();
    }
    setRecogniserSearch(RecogniserSearch::Fast);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TParser parser;
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Every search mode must give the same outcome; the literal one is
    // exponential, so it only sees short texts.
    const std::string fast = compileOutcome(parser, text, RecogniserSearch::Fast);
    if (compileOutcome(parser, text, RecogniserSearch::Filtered) != fast)
        std::abort();
    if (size <= 400 && compileOutcome(parser, text, RecogniserSearch::MemoOnly) != fast)
        std::abort();
    if (size <= 24 && compileOutcome(parser, text, RecogniserSearch::Literal) != fast)
        std::abort();

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
