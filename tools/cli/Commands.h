#pragma once

#include <string>
#include <vector>

/// Exit codes shared by the commands.
inline constexpr int ExitUsage = 64;

/// `kurvaro-cli eval [--set NAME=VALUE]... EXPR [XVALUE...]`
int runEval(const std::vector<std::string>& args);
/// `kurvaro-cli render [--ini FILE] [--size WxH] --out FILE`
int runRender(int argc, char** argv, const std::vector<std::string>& args);
