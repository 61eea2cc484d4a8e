#include "maintenance/run_and_wait.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Both ends of a pipe, closed when it goes out of scope.
struct Pipe {
    int read = -1;
    int write = -1;
    bool Create() { int ends[2]; if (pipe2(ends, O_CLOEXEC) != 0) return false; read = ends[0]; write = ends[1]; return true; }
    void CloseRead() { if (read >= 0) close(read); read = -1; }
    void CloseWrite() { if (write >= 0) close(write); write = -1; }
    ~Pipe() { CloseRead(); CloseWrite(); }
};

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) text.append(buffer, static_cast<size_t>(got));
        else if (got == 0 || errno != EINTR) break;
    }
    return text;
}

// In the child, between fork and exec: only async-signal-safe calls from here on.
[[noreturn]] void ExecChild(char* const argv[], char* const envp[], int input, int output, int failure)
{
    if (dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0 || dup2(output, STDERR_FILENO) < 0) {
        const int error = errno;
        (void)!write(failure, &error, sizeof error);
        _exit(127);
    }
    // The database engine of this process keeps files open; the program must not inherit them.
    if (syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC) != 0)
        for (int fd = 3; fd < 4096; ++fd) fcntl(fd, F_SETFD, FD_CLOEXEC);
    execve(argv[0], argv, envp);
    const int error = errno;
    (void)!write(failure, &error, sizeof error);
    _exit(127);
}

// This process's environment with the given entries in place of the variables they name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& replacements)
{
    std::vector<std::string> entries = replacements;
    auto replaced = [&replacements](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('=') + 1);
        for (const std::string& replacement : replacements)
            if (replacement.compare(0, name.size(), name) == 0) return true;
        return false;
    };
    for (char** entry = environ; entry && *entry; ++entry)
        if (!replaced(*entry)) entries.emplace_back(*entry);
    return entries;
}

}  // namespace

ProcessOutcome RunAndWait(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    ProcessOutcome outcome;
    if (arguments.empty()) {
        outcome.output = "nenhum programa indicado";
        return outcome;
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const std::vector<std::string> childEnvironment = ChildEnvironment(environment);
    std::vector<char*> envp;
    for (const std::string& entry : childEnvironment) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    Pipe output, failure;
    if (input < 0 || !output.Create() || !failure.Create()) {
        outcome.output = std::strerror(errno);
        if (input >= 0) close(input);
        return outcome;
    }
    const pid_t child = fork();
    if (child == 0) ExecChild(argv.data(), envp.data(), input, output.write, failure.write);
    const int forkError = errno;
    close(input);
    output.CloseWrite();
    failure.CloseWrite();
    if (child < 0) {
        outcome.output = std::strerror(forkError);
        return outcome;
    }

    outcome.output = ReadAll(output.read);
    const std::string execError = ReadAll(failure.read);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (execError.size() >= sizeof(int)) {
        int error = 0;
        std::memcpy(&error, execError.data(), sizeof error);
        outcome.output = arguments[0] + ": " + std::strerror(error);
        return outcome;
    }
    outcome.started = true;
    if (WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) outcome.exitStatus = 128 + WTERMSIG(status);
    return outcome;
}
