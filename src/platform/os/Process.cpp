#include "platform/os/Process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/os/LastError.h"
#include "platform/os/UniqueFd.h"

extern char** environ;

namespace {

UniqueFd OpenProcessDescriptor(pid_t Pid)
{
    return UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, Pid, 0)));
}

}  // namespace

pid_t StartProcess(const std::string& Program, const std::vector<std::string>& Arguments, std::string* Error)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(Program.c_str()));
    for (const std::string& argument : Arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, Program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        if (Error)
            *Error = GetErrorString(error);
        return 0;
    }
    return pid;
}

std::optional<int> WaitForProcess(pid_t Pid, std::string* Error)
{
    if (Pid <= 0) {
        if (Error)
            *Error = GetErrorString(ESRCH);
        return std::nullopt;
    }
    const UniqueFd fd = OpenProcessDescriptor(Pid);
    if (!fd) {
        if (Error)
            *Error = GetErrorString(errno);
        return std::nullopt;
    }
    pollfd descriptor{fd.Get(), POLLIN, 0};
    while (::poll(&descriptor, 1, -1) < 0 && errno == EINTR) { }
    siginfo_t info{};
    int result = 0;
    do {
        result = ::waitid(static_cast<idtype_t>(P_PIDFD), static_cast<id_t>(fd.Get()), &info, WEXITED);
    } while (result != 0 && errno == EINTR);
    if (result != 0)
        return UnknownExitCode;  // not our child, or reaped elsewhere: its exit code is not ours to read
    if (info.si_code == CLD_EXITED)
        return info.si_status;
    return 128 + info.si_status;
}
