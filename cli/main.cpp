#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/interrupt_signals.h"
#include "cli/console_app.h"

namespace {

// The operator's locale, but with UTF-8 characters: paths are UTF-8 bytes, and the database client converts file
// names through the locale's character set, which under LANG=C knows no "ã".
void UseLocaleWithUtf8Characters()
{
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

}  // namespace

int main(int argc, char** argv)
{
    UseLocaleWithUtf8Characters();
    HandleInterruptSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The bar shares the terminal with the log: drawn only when both go there, so that "| tee log" stays clean.
    const bool bothOnTerminal = isatty(STDERR_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
    return RunConsole(args, std::cout, std::cerr, bothOnTerminal);
}
