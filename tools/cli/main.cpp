#include "Commands.h"

#include <cstdio>
#include <string>
#include <vector>

static int usage()
{
    std::fputs("usage: kurvaro-cli eval [--set NAME=VALUE]... EXPR [XVALUE...]\n"
               "       kurvaro-cli render [--ini FILE] [--size WxH] --out FILE\n",
               stderr);
    return ExitUsage;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "eval")
        return runEval(args);
    if (command == "render")
        return runRender(argc, argv, args);
    return usage();
}
