#include "LinkTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>

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

#include "platform/LinkTransport.h"
#include "platform/LinkWindow.h"
#include "platform/NamedMutex.h"

extern char** environ;

namespace {

constexpr const char* ModeVariable = "SEWELLA_LINK_TEST_HELPER";
constexpr const char* ArgumentVariable = "SEWELLA_LINK_TEST_ARGUMENT";

void Announce(const std::string& Line)
{
    std::printf("%s\n", Line.c_str());
    std::fflush(stdout);
}

int RunWindowHelper(const std::string& Mode, const std::string& Title)
{
    int argc = 1;
    char name[] = "link-helper";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    std::unique_ptr<LinkWindow> window;
    window = LinkWindow::Create("HelperClass", Title, [&](uint32_t WParam, int32_t Tag, const std::string& Data) {
        if (Mode == "hang") {
            std::this_thread::sleep_for(std::chrono::minutes(5));
        } else if (Mode == "echo") {
            if (Tag == 99) {
                window.reset();
                QCoreApplication::quit();
                return;
            }
            SendCopyData(WParam, window->Handle(), Tag + 1000, Data);
        }
    }).Window;
    if (!window)
        return 2;
    Announce("ready " + LinkHandleName(window->Handle()));
    if (Mode == "idle") {
        for (;;)
            ::pause();
    }
    return app.exec();
}

int RunHelper(const std::string& Mode, const std::string& Argument)
{
    if (Mode == "echo" || Mode == "hang" || Mode == "idle")
        return RunWindowHelper(Mode, Argument);
    if (Mode == "probe") {
        Announce("ready");
        for (;;)
            NamedMutex::Exists(Argument);
    }
    if (Mode == "lock") {
        const auto mutex = NamedMutex::TryAcquire(Argument).Mutex;
        Announce(mutex ? "ready" : "busy");
        for (;;)
            ::pause();
    }
    if (Mode == "send") {
        std::istringstream in(Argument);
        std::string target;
        int32_t tag = 0;
        in >> target >> tag;
        const std::optional<uint32_t> handle = ParseLinkHandleName(target);
        return handle && SendCopyData(*handle, 0, tag, "from the helper") ? 0 : 1;
    }
    return 3;
}

// This executable started as a helper runs the helper instead of the tests.
const bool HelperDispatch = [] {
    if (const char* mode = std::getenv(ModeVariable)) {
        const char* argument = std::getenv(ArgumentVariable);
        std::_Exit(RunHelper(mode, argument ? argument : ""));
    }
    return true;
}();

}  // namespace

void EnsureCoreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

PrivateRuntimeDir::PrivateRuntimeDir()
{
    if (const char* saved = std::getenv("XDG_RUNTIME_DIR"))
        FSaved = saved;
    char pattern[] = "/tmp/lnkXXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    FPath = pattern;
    ::setenv("XDG_RUNTIME_DIR", FPath.c_str(), 1);
}

PrivateRuntimeDir::~PrivateRuntimeDir()
{
    if (FSaved)
        ::setenv("XDG_RUNTIME_DIR", FSaved->c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}

HelperProcess::HelperProcess(const std::string& Mode, const std::string& Argument)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e)
        environment.emplace_back(*e);
    environment.push_back(std::string(ModeVariable) + "=" + Mode);
    environment.push_back(std::string(ArgumentVariable) + "=" + Argument);
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char program[] = "/proc/self/exe";
    char* argv[] = {program, nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    const int error = ::posix_spawn(&FPid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    FOutput = pipeFds[0];
    if (error != 0) {
        ::close(FOutput);
        throw std::runtime_error(std::string("posix_spawn failed: ") + std::strerror(error));
    }
}

HelperProcess::~HelperProcess()
{
    Kill();
    ::close(FOutput);
}

void HelperProcess::Kill()
{
    if (FReaped)
        return;
    ::kill(FPid, SIGKILL);
    int status = 0;
    while (::waitpid(FPid, &status, 0) < 0 && errno == EINTR) { }
    FReaped = true;
}

std::optional<std::string> HelperProcess::ReadLine(std::chrono::milliseconds Timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
        const size_t end = FBuffer.find('\n');
        if (end != std::string::npos) {
            std::string line = FBuffer.substr(0, end);
            FBuffer.erase(0, end + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd descriptor{FOutput, POLLIN, 0};
        if (::poll(&descriptor, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(FOutput, buffer, sizeof buffer);
        if (n <= 0)
            return std::nullopt;
        FBuffer.append(buffer, static_cast<size_t>(n));
    }
}

std::optional<int> HelperProcess::Wait(std::chrono::milliseconds Timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(FPid, &status, WNOHANG);
        if (done == FPid) {
            FReaped = true;
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
