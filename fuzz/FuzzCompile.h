#pragma once

// For the parser's fuzz targets: compiles a text with the compiler's speed
// layer and without it and stops the run at the first difference.

#include "parser/P10Compile.h"
#include "parser/Parser10.h"
#include "support/ListText.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzcompile {

using namespace kurvaro;

/// The list built for `text` - kinds, routines, and where each operand comes
/// from: a variable by name, a constant by its exact bits, a result by the
/// index of its node - or the error's class and message.
inline std::string outcome(const TParser& parser, const std::string& text,
                           const compiler::CompileOptions& options)
{
    bool flag = false;
    std::string out;
    try {
        OpNode* first =
            compiler::build(text, parser.Variables(), parser.OneArgFunctions(),
                            parser.TwoArgFunctions(), parser.PascalNumberformat, flag, options);
        out = listtext::shape(first, parser.Variables());
        FreeOperationList(first, parser.Variables());
    } catch (const Exception& e) {
        out = std::string(e.className()) + ": " + e.message();
    }
    return out + (flag ? " (flag)" : "");
}

[[noreturn]] inline void differ(const std::string& text, const char* what, const std::string& a,
                                const std::string& b)
{
    std::fprintf(stderr, "text: %s\n%s:\n  %s\nreference:\n  %s\n", text.c_str(), what, a.c_str(),
                 b.c_str());
    std::abort();
}

/// The grammar alone is the reference up to this length; beyond, its search
/// may take longer than a fuzz run allows, and the grammar with shortcuts
/// (itself checked against it below this length) stands in for it.
constexpr std::size_t GrammarAloneLimit = 256;

inline void compareSpeedLayer(const TParser& parser, const std::string& text)
{
    const compiler::CompileOptions full{true, true};
    const compiler::CompileOptions shortcutsOnly{false, true};
    const compiler::CompileOptions singlePassOnly{true, false};
    const compiler::CompileOptions grammarOnly{false, false};
    const std::string reference = text.size() <= GrammarAloneLimit
                                      ? outcome(parser, text, grammarOnly)
                                      : outcome(parser, text, shortcutsOnly);
    const std::string a = outcome(parser, text, full);
    if (a != reference)
        differ(text, "single pass and shortcuts", a, reference);
    if (text.size() <= GrammarAloneLimit) {
        const std::string b = outcome(parser, text, shortcutsOnly);
        if (b != reference)
            differ(text, "shortcuts", b, reference);
        const std::string c = outcome(parser, text, singlePassOnly);
        if (c != reference)
            differ(text, "single pass", c, reference);
    }
}

} // namespace fuzzcompile
