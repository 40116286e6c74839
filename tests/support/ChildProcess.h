#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

// Starts one of the project's programs with the arguments, its standard output and error going to the
// file outputPath (made anew). With a file size limit, its files may not grow beyond that many bytes and
// the signal of a file grown too large is ignored: a write past the limit then fails with EFBIG, as one
// into a full disk fails with ENOSPC.
inline pid_t startProgram(const std::string& program, std::vector<std::string> arguments,
                          const std::string& outputPath, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    arguments.insert(arguments.begin(), program);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        if (fileSizeLimit != RLIM_INFINITY) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit fileSize{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &fileSize);
        }
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

// Waits for the program to end. Its exit status, or -1 when it ended by a signal, could not be waited for
// or had to be killed after the time-out.
inline int finishProgram(pid_t pid, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            break;
        if (ended < 0)
            return -1;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
