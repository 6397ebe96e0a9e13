// The helper processes of the link transport's tests (see HelperProcess in LinkTestSupport.h):
//   link_test_helper MODE ARGUMENT

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/link/LinkTransport.h"
#include "platform/os/link/LinkWindow.h"
#include "platform/os/NamedMutex.h"

namespace {

void Announce(const std::string& Line)
{
    std::printf("%s\n", Line.c_str());
    std::fflush(stdout);
}

// Lowers the open-file limit to 64 and fills it but for Spare descriptors, for good.
void HoardDescriptors(int Spare)
{
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = 64;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    std::vector<int> held;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        held.push_back(fd);
    for (int i = 0; i < Spare && !held.empty(); ++i) {
        ::close(held.back());
        held.pop_back();
    }
}

// Asks Target from a window of its own and says how large the answer that came during the send was.
int Ask(const std::string& Target)
{
    const std::optional<uint32_t> handle = ParseLinkHandleName(Target);
    std::optional<size_t> answer;
    const auto window = LinkWindow::Create("AskerClass", "", [&](uint32_t, int32_t, const std::string& Data) {
        answer = Data.size();
    }).Window;
    if (!handle || !window)
        return 2;
    Announce("asking");
    const bool delivered = bool(SendCopyData(*handle, window->Handle(), 7, "question"));
    Announce(answer ? "answer " + std::to_string(*answer) : "no answer");
    return delivered ? 0 : 1;
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
            // the test waiting for the echo sees a failed one as missing
            static_cast<void>(SendCopyData(WParam, window->Handle(), Tag + 1000, Data));
        }
    }).Window;
    if (!window)
        return 2;
    if (Mode == "starved" || Mode == "starved-polling")
        HoardDescriptors(4);
    Announce("ready " + LinkHandleName(window->Handle()));
    if (Mode == "idle") {
        for (;;)
            ::pause();
    }
    if (Mode == "starved-polling") {
        for (;;)
            ProcessLinkMessages(std::chrono::hours(1));
    }
    return app.exec();
}

int RunHelper(const std::string& Mode, const std::string& Argument)
{
    if (Mode == "echo" || Mode == "hang" || Mode == "idle" || Mode == "starved" || Mode == "starved-polling")
        return RunWindowHelper(Mode, Argument);
    if (Mode == "ask")
        return Ask(Argument);
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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MODE ARGUMENT\n", argv[0]);
        return 3;
    }
    return RunHelper(argv[1], argv[2]);
}
