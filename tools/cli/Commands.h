#pragma once

#include "CommandLine.h"

#include <string>
#include <vector>

namespace kurvaro {

/// `kurvaro-cli eval [--set NAME=VALUE]... [--table XMIN XMAX STEP] EXPR [XVALUE...]`
int runEval(const std::vector<std::string>& args);
/// `kurvaro-cli render [--ini FILE] [--size WxH] [--format FMT] --out FILE`
int runRender(int argc, char** argv, const std::vector<std::string>& args);

} // namespace kurvaro
