// The expression engine against muparser: compile time (compile plus release
// of the previous list, as every pixel column of a redraw does) and
// evaluation time per call with X sweeping 1920 values, the bare cost of the
// extended-precision library calls each formula makes, the compile time per
// character of typical long formulas, the worst compile times found for texts
// up to 2047 characters and the time for texts of a million characters.
// Tables at the end put the figures side by side. Without benchmark flags of
// its own the run repeats every benchmark five times and reports medians.

#include "parser/Parser10.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace kurvaro;

namespace {

constexpr int Columns = 1920;

// Optimiser barriers of our own: benchmark::DoNotOptimize's two-alternative
// constraint ("+m,r") has been seen to corrupt a range-for copy with GCC 12.
inline void opaque(double& v)
{
    asm volatile("" : "+x"(v));
}
inline void consume(long double v)
{
    asm volatile("" : : "m"(v) : "memory");
}
inline void consume(const void* p)
{
    asm volatile("" : : "r"(p) : "memory");
}
/// Keeps the compiler from merging sinl and cosl of one argument into sincosl,
/// which the engine's separate nodes cannot do.
inline long double fence(long double v)
{
    asm volatile("" : "+t"(v));
    return v;
}

struct Formula
{
    const char* label;
    std::string ours;
    std::string muparser;
    /// The libm calls the formula makes, one evaluation at x.
    long double (*bare)(long double x);
};

long double noCalls(long double x)
{
    return x;
}

const std::vector<Formula>& formulas()
{
    static const std::vector<Formula> list = {
        {"x*2+sin(x)", "X*2+SIN(X)", "x*2+sin(x)", [](long double x) { return sinl(x); }},
        {"sqrt(abs(x))*cos(3x)", "SQRT(ABS(X))*COS(3*X)", "sqrt(abs(x))*cos(3*x)",
         [](long double x) { return sqrtl(fabsl(x)) + cosl(fence(3 * x)); }},
        {"x^3-2x^2+x-1", "X^3-2*X^2+X-1", "x^3-2*x^2+x-1", noCalls},
        {"max(sin,cos)", "MAX(SIN(X),COS(X))", "max(sin(x),cos(x))",
         [](long double x) { return sinl(x) + cosl(fence(x)); }},
        {"1/x", "1/X", "1/x", noCalls},
        {"long (200 chars)",
         "(SIN(X)*COS(X)+SQRT(ABS(X))/(1+X^2)-EXP(-X^2)*ARCTAN(X))+(MAX(X,2*X)-MIN(SIN(X),"
         "COS(X))+LN(ABS(X)+1)*TAN(X/4))+(X^3/6-X^5/120+COSH(X/10)-SINH(X/10)*0.5+X*X-3)",
         "(sin(x)*cos(x)+sqrt(abs(x))/(1+x^2)-exp(-x^2)*atan(x))+(max(x,2*x)-min(sin(x),"
         "cos(x))+ln(abs(x)+1)*tan(x/4))+(x^3/6-x^5/120+cosh(x/10)-sinh(x/10)*0.5+x*x-3)",
         [](long double x) {
             // sin cos sqrt exp(-x^2) atan sin cos ln tan; cosh and sinh as two exps each.
             return sinl(x) + cosl(fence(x)) + sqrtl(fabsl(x)) +
                    exp2l(-x * x * 1.4426950408889634L) + atanl(x) + sinl(fence(x)) +
                    cosl(fence(x)) + logl(fabsl(x) + 1) + tanl(x / 4) +
                    exp2l(x / 10 * 1.4426950408889634L) + exp2l(-x / 10 * 1.4426950408889634L) +
                    exp2l(x / 10 * 1.4426950408889634L) + exp2l(-x / 10 * 1.4426950408889634L);
         }},
    };
    return list;
}

/// The ten formulas of the redraw benchmark, compiled only.
const std::vector<std::pair<std::string, std::string>>& redrawFormulas()
{
    static const std::vector<std::pair<std::string, std::string>> list = {
        {"SIN(X)*2", "sin(x)*2"},
        {"X^2-3", "x^2-3"},
        {"1/X", "1/x"},
        {"COS(X)+SIN(2*X)", "cos(x)+sin(2*x)"},
        {"EXP(-X^2)*4", "exp(-x^2)*4"},
        {"SQRT(ABS(X))", "sqrt(abs(x))"},
        {"LN(ABS(X)+1)*2", "ln(abs(x)+1)*2"},
        {"TAN(X)*0.2", "tan(x)*0.2"},
        {"X^3/10-X", "x^3/10-x"},
        {"MAX(SIN(X),COS(X))", "max(sin(x),cos(x))"},
    };
    return list;
}

/// Pieces of typical long formulas. Each puts one node on each of at most
/// five levels, so that a balanced join of some dozens of them stays within
/// the nesting and width limits and compiles.
const std::vector<std::string>& typicalPieces()
{
    static const std::vector<std::string> pieces = {
        "0.318309886*SIN(1.570796327*X+0.785398163)-0.101321184",
        "0.523598776*COS(2.094395102*X)^2+0.261799388",
        "EXP(-0.250000000*X^2)/3.141592654+0.318309886",
        "MAX(ABS(X-1.570796327),0.785398163)*0.636619772",
        "SQRT(ABS(X+0.577215665))*1.414213562-0.707106781",
        "LN(ABS(X)+1.648721271)*0.434294482+0.301029996",
        "ARCTAN(X/2.718281828)*0.636619772-0.367879441",
        "MIN(SINH(X/4.000000000),0.750000000)*0.886226925",
    };
    return pieces;
}

/// The first `count` pieces (cycling) joined by alternating operators in a
/// balanced bracket tree.
std::string joinPieces(std::size_t count)
{
    static const char ops[] = {'+', '-', '*', '/'};
    std::vector<std::string> level;
    for (std::size_t i = 0; i < count; ++i)
        level.push_back(typicalPieces()[i % typicalPieces().size()]);
    std::size_t op = 0;
    while (level.size() > 1) {
        std::vector<std::string> next;
        for (std::size_t i = 0; i + 1 < level.size(); i += 2)
            next.push_back("(" + level[i] + ")" + ops[op++ % 4] + "(" + level[i + 1] + ")");
        if (level.size() % 2 == 1)
            next.push_back(level.back());
        level.swap(next);
    }
    return level.front();
}

/// The longest typical formula of at most `maxLength` characters.
std::string typicalFormula(std::size_t maxLength)
{
    std::string best = typicalPieces().front();
    for (std::size_t count = 2; count <= 64; ++count) {
        std::string text = joinPieces(count);
        if (text.size() > maxLength)
            break;
        TParser check;
        try {
            check.CompileExpression(text);
        } catch (const EMathParserError&) {
            break; // wider than a level may be
        }
        best = std::move(text);
    }
    return best;
}

const std::vector<std::size_t>& typicalLengths()
{
    static const std::vector<std::size_t> lengths = {100, 250, 500, 1000, 2047};
    return lengths;
}

std::vector<double> sweep()
{
    // Pixel columns of a view from -10 to 10; no column hits 0 exactly.
    std::vector<double> xs(Columns);
    for (int i = 0; i < Columns; ++i)
        xs[static_cast<std::size_t>(i)] = -10.0 + (i + 0.5) * 20.0 / Columns;
    return xs;
}

int nodeCount(const std::string& text)
{
    TParser p;
    p.CompileExpression(text);
    int n = 0;
    for (const OpNode* node = p.FirstNode(); node != nullptr; node = node->Next)
        ++n;
    return n;
}

void oursCompile(benchmark::State& state, const Formula* f)
{
    TParser p;
    std::string text = f->ours;
    consume(text.data());
    for (auto _ : state) {
        p.CompileExpression(text);
        consume(p.FirstNode());
    }
}

void oursEval(benchmark::State& state, const Formula* f)
{
    TParser p;
    p.CompileExpression(f->ours);
    const std::vector<double> xs = sweep();
    for (auto _ : state) {
        for (double x : xs) {
            opaque(x);
            p.X = x;
            consume(p.Value());
        }
    }
    state.SetItemsProcessed(state.iterations() * Columns);
}

void muCompile(benchmark::State& state, const Formula* f)
{
    double x = 0.5;
    mu::Parser p;
    p.DefineVar("x", &x);
    std::string text = f->muparser;
    consume(text.data());
    for (auto _ : state) {
        p.SetExpr(text);
        consume(p.Eval());
    }
}

void muEval(benchmark::State& state, const Formula* f)
{
    double x = 0.5;
    mu::Parser p;
    p.DefineVar("x", &x);
    p.SetExpr(f->muparser);
    p.Eval();
    const std::vector<double> xs = sweep();
    for (auto _ : state) {
        for (double value : xs) {
            opaque(value);
            x = value;
            consume(p.Eval());
        }
    }
    state.SetItemsProcessed(state.iterations() * Columns);
}

void bareCalls(benchmark::State& state, const Formula* f)
{
    const std::vector<double> xs = sweep();
    for (auto _ : state) {
        for (double value : xs) {
            opaque(value);
            consume(f->bare(value));
        }
    }
    state.SetItemsProcessed(state.iterations() * Columns);
}

std::string repeat(const std::string& s, int n)
{
    std::string r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}

/// Shapes that make a search over every split explode, each 2045 to 2047 characters.
const std::vector<std::pair<std::string, std::string>>& worstShapes()
{
    static const std::vector<std::pair<std::string, std::string>> shapes = {
        {"deep brackets", repeat("(", 1023) + "X" + repeat(")", 1023)},
        {"minus chain X-X-...", "X" + repeat("-X", 1023)},
        {"slash chain X/X/...", "X" + repeat("/X", 1023)},
        {"DIV chain", "X" + repeat("DIVX", 511)},
        {"X-X*X-X*X...+", "X" + repeat("-X*X", 511) + "+"},
        {"X-X+X-X+...*", "X" + repeat("-X+X", 511) + "*"},
        {"nested MAX(MAX(...,X),X)", repeat("MAX(", 292) + "X" + repeat(",X)", 292)},
        {"SIN(X)+SIN(X)+...", "SIN(X)" + repeat("+SIN(X)", 291)},
        {"1-1-1-...", "1" + repeat("-1", 1023)},
        {"E-E-E-...", "E" + repeat("-E", 1023)},
        {"1E-1E-1E-...", "1E" + repeat("-1E", 681)},
        {"X^9999999999+X+X...", "X^9999999999" + repeat("+X-X", 508)},
        // Texts refused only at their end.
        {"X-X-...-X+", "X" + repeat("-X", 1022) + "+"},
        {"X+X+...+X-", "X" + repeat("+X", 1022) + "-"},
        {"X/X/.../X*", "X" + repeat("/X", 1022) + "*"},
        {"nested MAX(...,X),)", repeat("MAX(", 292) + "X" + repeat(",X)", 291) + ",)"},
        {"X*Y-SIN(X)/2+...*", repeat("X*Y-SIN(X)/2+", 157) + "*"},
        {"-X*Y-Z+...", repeat("-X*Y-Z+", 292)},
        {"X*E-5*...", "X" + repeat("*E-5", 511)},
        // Literals that may fault where they stand, and one that does.
        {"X-X-...-1E30-...-X", "X" + repeat("-X", 511) + "-1E30" + repeat("-X", 509)},
        {"X-X-...-X^1E30", "X" + repeat("-X", 1016) + "-X^1E30"},
        {"X^1E30-X-X-...", "X^1E30" + repeat("-X", 1020)},
        {"X-X-...-X^1E30-...-X", "X" + repeat("-X", 508) + "-X^1E30" + repeat("-X", 508)},
        {"X-X-...-X^-1E30", "X" + repeat("-X", 1015) + "-X^-1E30"},
        {"(X-X-...-X^1E30)", "(X" + repeat("-X", 1015) + "-X^1E30)"},
        {"X/X/.../X^1E30", "X" + repeat("/X", 1016) + "/X^1E30"},
        {"X+X+...+X^1E30", "X" + repeat("+X", 1016) + "+X^1E30"},
        {"X*X*...*X^1E30", "X" + repeat("*X", 1016) + "*X^1E30"},
        {"X-X-...-1E400", "X" + repeat("-X", 1018) + "-1E400"},
        {"X-X-...-1E400-...-X", "X" + repeat("-X", 509) + "-1E400" + repeat("-X", 509)},
        {"2^3^1E30-X-X-...", "2^3^1E30" + repeat("-X", 1019)},
        {"X*-X^1E30-X-X-...", "X*-X^1E30" + repeat("-X", 1018)},
        {"(X^1E30)X-X-X-...", "(X^1E30)X" + repeat("-X", 1018)},
        {"SIN(1E400)X-X-X-...", "SIN(1E400)X" + repeat("-X", 1018)},
        {"(1E400)(X)-X-X-...", "(1E400)(X)" + repeat("-X", 1018)},
        {"(1E400)X/X/X/...", "(1E400)X" + repeat("/X", 1019)},
        {"X-X-...-(X^1E30)X-...-X", "X" + repeat("-X", 508) + "-(X^1E30)X" + repeat("-X", 509)},
        {"X-X-...-SIN(1E400)2", "X" + repeat("-X", 1017) + "-SIN(1E400)2"},
        {"X(1E400)-X-X-...", "X(1E400)" + repeat("-X", 1019)},
        {"(X)(1E400)-X-X-...", "(X)(1E400)" + repeat("-X", 1018)},
        {"X-X-...-2(1E400)-...-X", "X" + repeat("-X", 508) + "-2(1E400)" + repeat("-X", 509)},
        // Literals that may fault by their size but do not.
        {"X-X-...-X^9E18", "X" + repeat("-X", 1016) + "-X^9E18"},
        {"X^9E18-X-X-...", "X^9E18" + repeat("-X", 1020)},
        {"1E301/X-X-...", "1E301/X" + repeat("-X", 1019)},
        {"1E301-1E301-...", "1E301" + repeat("-1E301", 340)},
        {"X^9E18-X^9E18-...", "X^9E18" + repeat("-X^9E18", 291)},
        {"X*1E301-X*1E301-...", "X*1E301" + repeat("-X*1E301", 254)},
    };
    return shapes;
}

/// Texts of a million characters: each must come back within a second with
/// the result or error the grammar gives it.
const std::vector<std::pair<std::string, std::string>>& millionShapes()
{
    static const std::vector<std::pair<std::string, std::string>> shapes = {
        {"sum X+X+...+X", "X" + repeat("+X", 499999)},
        {"sum X+X+...+X+", "X" + repeat("+X", 499999) + "+"},
        {"brackets ((...X...))", repeat("(", 499999) + "X" + repeat(")", 499999)},
        {"nested SIN(SIN(...))", repeat("SIN(", 200000) + "X" + repeat(")", 200000)},
        {"1E-1E-1E-...", "1E" + repeat("-1E", 333333)},
        {"minus chain X-X-...-", "X" + repeat("-X", 499999) + "-"},
        {"sum of long pieces", repeat("(" + typicalPieces()[0] + ")+", 17543) + "X"},
    };
    return shapes;
}

void worstCompile(benchmark::State& state, const std::string* text)
{
    TParser p;
    for (auto _ : state) {
        try {
            p.CompileExpression(*text);
        } catch (const Exception&) {
        }
        consume(p.FirstNode());
    }
}

void typicalCompile(benchmark::State& state, const std::string* text)
{
    TParser p;
    for (auto _ : state) {
        p.CompileExpression(*text);
        consume(p.FirstNode());
    }
}

void muTextCompile(benchmark::State& state, const std::string* text)
{
    double x = 0.5;
    mu::Parser p;
    p.DefineVar("x", &x);
    for (auto _ : state) {
        p.SetExpr(*text);
        consume(p.Eval());
    }
}

/// The same formula in muparser's spelling.
std::string toMuparser(const std::string& ours)
{
    std::string text;
    for (char c : ours)
        text += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    for (std::size_t at = text.find("arctan"); at != std::string::npos; at = text.find("arctan"))
        text.replace(at, 6, "atan");
    return text;
}

/// Typical long formulas, ours and muparser's spelling.
const std::vector<std::pair<std::string, std::string>>& typicalTexts()
{
    static const std::vector<std::pair<std::string, std::string>> texts = [] {
        std::vector<std::pair<std::string, std::string>> list;
        for (std::size_t length : typicalLengths()) {
            std::string ours = typicalFormula(length);
            list.emplace_back(ours, toMuparser(ours));
        }
        return list;
    }();
    return texts;
}

/// Keeps the per-call times to print the comparison table at the end.
class TableReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> perCall; // name -> ns per call

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            // With repetitions the median stands for the benchmark.
            if (!r.aggregate_name.empty() && r.aggregate_name != "median")
                continue;
            double ns =
                r.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            const auto items = r.counters.find("items_per_second");
            if (items != r.counters.end() && items->second.value > 0)
                ns = 1e9 / items->second.value;
            perCall[r.run_name.function_name] = ns; // without the iterations a run may fix
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    for (const Formula& f : formulas()) {
        TParser check;
        check.CompileExpression(f.ours); // throws if a formula of the set were refused
        benchmark::RegisterBenchmark(("Compile/ours/" + std::string(f.label)).c_str(), oursCompile,
                                     &f);
        benchmark::RegisterBenchmark(("Compile/muparser/" + std::string(f.label)).c_str(),
                                     muCompile, &f);
        benchmark::RegisterBenchmark(("Eval/ours/" + std::string(f.label)).c_str(), oursEval, &f);
        benchmark::RegisterBenchmark(("Eval/muparser/" + std::string(f.label)).c_str(), muEval, &f);
        benchmark::RegisterBenchmark(("Eval/bare libm/" + std::string(f.label)).c_str(), bareCalls,
                                     &f);
    }
    for (const auto& [ours, mu] : redrawFormulas()) {
        TParser check;
        check.CompileExpression(ours);
        benchmark::RegisterBenchmark(("Compile/ours/redraw " + ours).c_str(), typicalCompile,
                                     &ours);
        benchmark::RegisterBenchmark(("Compile/muparser/redraw " + ours).c_str(), muTextCompile,
                                     &mu);
    }
    for (const auto& [ours, mu] : typicalTexts()) {
        TParser check;
        check.CompileExpression(ours);
        const std::string label = std::to_string(ours.size()) + " chars";
        benchmark::RegisterBenchmark(("Compile/ours/typical " + label).c_str(), typicalCompile,
                                     &ours);
        benchmark::RegisterBenchmark(("Compile/muparser/typical " + label).c_str(), muTextCompile,
                                     &mu);
    }
    for (const auto& [name, text] : worstShapes())
        benchmark::RegisterBenchmark(("Compile/worst/" + name).c_str(), worstCompile, &text)
            ->Unit(benchmark::kMillisecond);
    for (const auto& [name, text] : millionShapes())
        benchmark::RegisterBenchmark(("Compile/million/" + name).c_str(), worstCompile, &text)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);

    // Medians of five repetitions unless the caller chose otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    bool chosen = false;
    for (int i = 1; i < argc; ++i)
        chosen = chosen || std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
    if (!chosen) {
        args.push_back(repetitions.data());
        args.push_back(aggregates.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto get = [&](const std::string& name) {
        const auto it = reporter.perCall.find(name);
        return it == reporter.perCall.end() ? -1.0 : it->second;
    };
    std::printf("\n%-22s %10s %10s %7s | %8s %8s %7s %8s %6s %9s\n", "formula", "compile",
                "mu comp", "ratio", "eval", "mu eval", "ratio", "bare lib", "nodes", "ns/node");
    for (const Formula& f : formulas()) {
        const std::string l = f.label;
        const double c = get("Compile/ours/" + l);
        const double mc = get("Compile/muparser/" + l);
        const double e = get("Eval/ours/" + l);
        const double me = get("Eval/muparser/" + l);
        double bare = get("Eval/bare libm/" + l);
        if (f.bare == noCalls)
            bare = 0; // nothing but the loop
        const int nodes = nodeCount(f.ours);
        std::printf("%-22s %8.0fns %8.0fns %7.2f | %6.1fns %6.1fns %7.2f %6.1fns %6d %7.2fns\n",
                    l.c_str(), c, mc, c / mc, e, me, e / me, bare, nodes, (e - bare) / nodes);
    }
    std::printf("\n%-30s %10s %10s %7s\n", "short formula (redraw set)", "compile", "mu comp",
                "ratio");
    for (const auto& [ours, mu] : redrawFormulas()) {
        const double c = get("Compile/ours/redraw " + ours);
        const double mc = get("Compile/muparser/redraw " + ours);
        std::printf("%-30s %8.0fns %8.0fns %7.2f\n", ours.c_str(), c, mc, c / mc);
    }
    std::printf("\n%-30s %10s %10s %7s %10s\n", "typical long formula", "compile", "mu comp",
                "ratio", "per char");
    for (const auto& [ours, mu] : typicalTexts()) {
        const std::string label = std::to_string(ours.size()) + " chars";
        const double c = get("Compile/ours/typical " + label);
        const double mc = get("Compile/muparser/typical " + label);
        std::printf("%-30s %8.1fus %8.1fus %7.2f %8.1fns\n", label.c_str(), c / 1000, mc / 1000,
                    c / mc, c / static_cast<double>(ours.size()));
    }
    std::printf("\nworst compile times found (up to 2047 characters):\n");
    for (const auto& [name, text] : worstShapes())
        std::printf("  %-28s %5zu chars %8.3f ms\n", name.c_str(), text.size(),
                    get("Compile/worst/" + name) / 1e6);
    std::printf("\ntexts of about a million characters:\n");
    for (const auto& [name, text] : millionShapes())
        std::printf("  %-28s %7zu chars %8.1f ms\n", name.c_str(), text.size(),
                    get("Compile/million/" + name) / 1e6);
    benchmark::Shutdown();
    return 0;
}
