#pragma once

#include <ostream>
#include <string>
#include <vector>

// Everything convquibraw-cli does for one command line (the arguments after the program's name); returns the
// exit status: 0 done, 3 done but records failed, 1 an error was reported (general error report, failed
// connection, fatal fault), 2 a usage error, 128 + the signal when interrupted.
int RunConsole(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool drawProgress);
