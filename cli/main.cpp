#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/console_app.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunConsole(args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
