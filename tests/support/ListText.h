#pragma once

// Test helper: reads a compiled list back as a fully bracketed formula, so that
// a test can state the tree a text compiles to ("(X+(Y*2))"), and checks the
// invariants every compiled list must keep.

#include "parser/Parser10.h"

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

namespace kurvaro {

namespace listtext {

inline std::string routineName(OpRoutine r)
{
    static const std::map<OpRoutine, std::string> names = {
        {fnTan, "TAN"},   {fnSin, "SIN"},       {fnCos, "COS"},   {fnSinh, "SINH"},
        {fnCosh, "COSH"}, {fnArcTan, "ARCTAN"}, {fnExp, "EXP"},   {fnLn, "LN"},
        {fnSqrt, "SQRT"}, {fnAbs, "ABS"},       {fnHeav, "HEAV"}, {fnSign, "SIGN"},
        {fnZero, "ZERO"}, {fnPh, "PH"},         {fnRnd, "RND"},   {fnMax, "MAX"},
        {fnMin, "MIN"}};
    const auto it = names.find(r);
    return it == names.end() ? "?" : it->second;
}

inline std::string number(double v)
{
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

/// The list from `first` as a bracketed formula; "" without a list.
/// Variables by name, constants by value, each node's result by its operation.
inline std::string text(const OpNode* first, const TVariableTable& vars)
{
    std::map<const double*, std::string> cells;
    for (std::size_t i = 0; i < vars.size(); ++i)
        cells[vars.at(i).second] = vars.at(i).first;
    auto cell = [&](const double* c) {
        const auto it = cells.find(c);
        return it != cells.end() ? it->second : number(*c);
    };
    std::string last;
    for (const OpNode* n = first; n != nullptr; n = n->Next) {
        const std::string a = n->Arg1 ? cell(n->Arg1) : "";
        const std::string b = n->Arg2 ? cell(n->Arg2) : "";
        std::string r;
        switch (n->Kind) {
        case okVariable:
        case okConstant:
            r = a;
            break;
        case okNegate:
            r = "(-" + a + ")";
            break;
        case okAdd:
            r = "(" + a + "+" + b + ")";
            break;
        case okSubtract:
            r = "(" + a + "-" + b + ")";
            break;
        case okMultiply:
            r = "(" + a + "*" + b + ")";
            break;
        case okDivide:
            r = "(" + a + "/" + b + ")";
            break;
        case okMod:
            r = "(" + a + " MOD " + b + ")";
            break;
        case okDiv:
            r = "(" + a + " DIV " + b + ")";
            break;
        case okIntPower:
            r = "(" + a + "^#" + b + ")";
            break;
        case okPower:
            r = "(" + a + "**" + b + ")";
            break;
        case okSquare:
            r = "(" + a + "^2)";
            break;
        case okCube:
            r = "(" + a + "^3)";
            break;
        case okFourthPower:
            r = "(" + a + "^4)";
            break;
        case okFunction1:
            r = routineName(n->Routine) + "(" + a + ")";
            break;
        case okFunction2:
            r = routineName(n->Routine) + "(" + a + "," + b + ")";
            break;
        }
        if (n->Kind > okConstant)
            cells[n->Dest] = r;
        last = r;
    }
    return last;
}

/// The list of `p` as a bracketed formula (see above).
inline std::string text(const TCustomParser& p)
{
    return text(p.FirstNode(), p.Variables());
}

/// The list of `first` node by node: kind, routine and where each operand
/// comes from (a variable by name, a constant by its exact bits, a result by
/// the index of its node), so that two lists compare equal exactly when they
/// have the same shape, kinds, constants and shared cells.
inline std::string shape(const OpNode* first, const TVariableTable& vars)
{
    std::map<const double*, std::string> names;
    for (std::size_t i = 0; i < vars.size(); ++i)
        names[vars.at(i).second] = vars.at(i).first;
    std::string out;
    int index = 0;
    for (const OpNode* n = first; n != nullptr; n = n->Next, ++index) {
        out += std::to_string(n->Kind) + ":" + routineName(n->Routine) + "(";
        for (const double* c : {n->Arg1, n->Arg2}) {
            const auto it = names.find(c);
            if (c == nullptr) {
                out += "-";
            } else if (it != names.end()) {
                out += it->second;
            } else {
                char buffer[40];
                std::snprintf(buffer, sizeof buffer, "%a", *c);
                out += buffer;
                names[c] = "shared constant " + std::string(buffer);
            }
            out += ",";
        }
        out += ")";
        if (n->Dest == nullptr || (n->Kind > okConstant && names.count(n->Dest)))
            out += "!dest";
        if (n->Kind > okConstant)
            names[n->Dest] = "#" + std::to_string(index);
        out += " ";
    }
    return out;
}

/// The invariants of a compiled list; "" when they hold, else what broke.
inline std::string brokenInvariant(const TCustomParser& p)
{
    const OpNode* first = p.FirstNode();
    if (first == nullptr)
        return "";
    const TVariableTable& vars = p.Variables();
    auto isVariable = [&](const double* c) {
        for (std::size_t i = 0; i < vars.size(); ++i)
            if (vars.at(i).second == c)
                return true;
        return false;
    };
    if (first->Next == nullptr && first->Kind <= okConstant) {
        if (first->Dest != first->Arg1 || first->Arg2 != nullptr)
            return "one-node list: Dest must be Arg1";
        if (first->Routine != opNoOp)
            return "one-node list: routine must be the no-op";
        return "";
    }
    std::map<const double*, int> producer; // result cell -> index of its node
    std::map<const double*, int> uses;     // result cell -> number of readers
    int count = 0;
    for (const OpNode* n = first; n != nullptr; n = n->Next, ++count) {
        if (isVariable(n->Dest) || producer.count(n->Dest))
            return "Dest is not a fresh result cell";
        producer[n->Dest] = count;
    }
    int index = 0;
    for (const OpNode* n = first; n != nullptr; n = n->Next, ++index) {
        if (n->Kind <= okConstant)
            return "kind 0/1 in a list of more than one node";
        const bool twoOperands = (n->Kind >= okAdd && n->Kind <= okPower) || n->Kind == okFunction2;
        if (n->Arg1 == nullptr || twoOperands != (n->Arg2 != nullptr))
            return "operand count does not match kind at node " + std::to_string(index);
        for (const double* a : {n->Arg1, n->Arg2}) {
            const auto it = a ? producer.find(a) : producer.end();
            if (it == producer.end())
                continue; // a variable or a constant cell
            if (it->second >= index)
                return "an operand is not computed before use at node " + std::to_string(index);
            ++uses[a];
        }
        if (n->Kind < okFunction1 && n->Routine != routineForKind(n->Kind))
            return "routine not bound by kind at node " + std::to_string(index);
        if (n->Kind >= okFunction1 && n->Routine == nullptr)
            return "function node without routine";
    }
    for (const auto& [cell, node] : producer) {
        const int readers = uses.count(cell) ? uses[cell] : 0;
        if (node == count - 1 ? readers != 0 : readers != 1)
            return "result of node " + std::to_string(node) + " read " + std::to_string(readers) +
                   " times";
    }
    return "";
}

} // namespace listtext

} // namespace kurvaro
