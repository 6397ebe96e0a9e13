#include "platform/Process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace {

int OpenProcessDescriptor(pid_t Pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, Pid, 0));
}

}  // namespace

pid_t StartProcess(const std::string& Program, const std::vector<std::string>& Arguments)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(Program.c_str()));
    for (const std::string& argument : Arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, Program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        errno = error;
        return 0;
    }
    return pid;
}

std::optional<int> WaitForProcess(pid_t Pid)
{
    if (Pid <= 0) {
        errno = ESRCH;
        return std::nullopt;
    }
    const int fd = OpenProcessDescriptor(Pid);
    if (fd < 0)
        return std::nullopt;
    pollfd descriptor{fd, POLLIN, 0};
    while (::poll(&descriptor, 1, -1) < 0 && errno == EINTR) { }
    siginfo_t info{};
    int result = 0;
    do {
        result = ::waitid(static_cast<idtype_t>(P_PIDFD), static_cast<id_t>(fd), &info, WEXITED);
    } while (result != 0 && errno == EINTR);
    ::close(fd);
    if (result != 0)
        return UnknownExitCode;  // not our child, or reaped elsewhere: its exit code is not ours to read
    if (info.si_code == CLD_EXITED)
        return info.si_status;
    return 128 + info.si_status;
}
