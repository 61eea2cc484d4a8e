#pragma once

#include <string>
#include <vector>

// How a program run by RunAndWait ended.
struct ProcessOutcome {
    bool started = false;  // false when the program could not be started at all
    int exitStatus = -1;  // the program's exit status; 128 + the signal number when a signal ended it
    std::string output;  // everything it wrote to its standard output and standard error, interleaved

    bool Succeeded() const { return started && exitStatus == 0; }
};

// Starts the program arguments[0] (a path; the search path is not used) with the arguments as given, no
// shell in between, so blanks in paths need no quoting. Its standard input is /dev/null; none of this
// process's other open files reach it. It inherits this process's environment, with the "NAME=value" entries of
// environment in place of the variables of those names. Blocks until it has ended.
ProcessOutcome RunAndWait(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {});
