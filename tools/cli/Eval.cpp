#include "Commands.h"
int runEval(const std::vector<std::string>&) { return ExitUsage; }
