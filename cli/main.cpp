#include <unistd.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/console_app.h"
#include "app/interrupt_signals.h"

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    HandleInterruptSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunConsole(args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
