#pragma once

// The compiler with its speed layer switched on or off, for the tests and
// fuzz targets that compare the two. The program compiles through
// BuildOperationList, which is build() with the default options.

#include "parser/Parser10.h"

#include <string_view>

namespace kurvaro::compiler {

struct CompileOptions
{
    /// The single-pass compiler first, for the texts it can decide.
    bool singlePass = true;
    /// Shortcuts for the grammar's search: questions and split positions
    /// that the structure of the text rules out are skipped.
    bool shortcuts = true;
};

enum class DecidedBy
{
    SinglePass, ///< the single-pass compiler built the list
    Grammar,    ///< the grammar's search built the list or raised the error
};

OpNode* build(std::string_view text, const TVariableTable& variables, const TFunctionTable& oneArg,
              const TFunctionTable& twoArg, bool pascalNumberFormat, bool& errorFlag,
              const CompileOptions& options, DecidedBy* decidedBy = nullptr);

} // namespace kurvaro::compiler
