#include "Commands.h"
int runRender(int, char**, const std::vector<std::string>&) { return ExitUsage; }
