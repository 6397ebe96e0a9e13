#include "LinkTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/os/link/LinkTransport.h"

extern char** environ;

PrivateRuntimeDir::PrivateRuntimeDir()
{
    if (const char* saved = std::getenv("XDG_RUNTIME_DIR"))
        saved_ = saved;
    char pattern[] = "/tmp/lnkXXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    ::setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
}

PrivateRuntimeDir::~PrivateRuntimeDir()
{
    if (saved_)
        ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

HelperProcess::HelperProcess(const std::string& Mode, const std::string& Argument)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    UniqueFd writeEnd(pipeFds[1]);
    output_.Reset(pipeFds[0]);
    std::string program = LINK_TEST_HELPER_PROGRAM, mode = Mode, argument = Argument;
    char* argv[] = {program.data(), mode.data(), argument.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
    const int error = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error(std::string("posix_spawn failed: ") + std::strerror(error));
}

HelperProcess::~HelperProcess()
{
    Kill();
}

void HelperProcess::Kill()
{
    if (reaped_)
        return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) { }
    reaped_ = true;
}

std::optional<std::string> HelperProcess::ReadLine(std::chrono::milliseconds Timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
        const size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd descriptor{output_.Get(), POLLIN, 0};
        if (::poll(&descriptor, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(output_.Get(), buffer, sizeof buffer);
        if (n <= 0)
            return std::nullopt;
        buffer_.append(buffer, static_cast<size_t>(n));
    }
}

std::optional<int> HelperProcess::Wait(std::chrono::milliseconds Timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            reaped_ = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

uint32_t ReadyHandle(const std::optional<std::string>& Line)
{
    if (!Line || Line->rfind("ready ", 0) != 0)
        return 0;
    return ParseLinkHandleName(Line->substr(6)).value_or(0);
}
