// A stand-in for the program's main window in multi-process tests: one TmnxDemonClient with the main
// window's settings, driven by commands on stdin, reporting on stdout one line per event.
//
// Environment: LINKCLIENT_USE_SERVER=1 sets UseTarvosServer, LINKCLIENT_REFUSE_QUIT=1 refuses the host's
// quit message, LINKCLIENT_MULTISTART=1 sets MultiStart, LINKCLIENT_ANSWER_TIMEOUT_MS shortens the answer
// limit of a send. The command line belongs to the component.
//
// Commands: resolve S | string S | variable NAME | file NAME | entity-title T | entity-handle H |
//           execute PROGRAM [WAIT] | translate KEY | close (normal shutdown)

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "hostlink/TarvosDemon.h"
#include "platform/os/link/LinkWindow.h"
#include "translate/Babelfish2000.h"

namespace {

bool EnvFlag(const char* Name)
{
    const char* value = std::getenv(Name);
    return value && std::string(value) == "1";
}

void Say(const std::string& Line)
{
    std::cout << Line << std::endl;
}

std::string Describe(TEntity* Entity)
{
    if (!Entity)
        return "none";
    return std::to_string(Entity->Handle) + " " + std::to_string(Entity->MutexHandle) + " " + Entity->ExeName() + " " +
        Entity->Title();
}

void RunCommand(TmnxDemonClient* Demon, const std::string& Line)
{
    std::istringstream in(Line);
    std::string command, argument;
    in >> command;
    std::getline(in >> std::ws, argument);
    try {
        if (command == "resolve")
            Say("resolve: " + Demon->ResolveFileName(argument));
        else if (command == "string")
            Say("string: " + Demon->QueryString(argument));
        else if (command == "variable")
            Say("variable: " + Demon->GetHostVariable(argument));
        else if (command == "file") {
            auto stream = Demon->GetFile(argument);
            if (!stream)
                Say("file: none");
            else {
                std::ostringstream bytes;
                bytes << stream->rdbuf();
                Say("file: " + bytes.str());
            }
        } else if (command == "entity-title")
            Say("entity: " + Describe(Demon->FindEntityByName(argument).get()));
        else if (command == "entity-handle")
            Say("entity: " + Describe(Demon->FindEntityByHandle(std::stoul(argument)).get()));
        else if (command == "execute") {
            std::istringstream words(argument);
            std::string program, wait;
            words >> program >> wait;
            Say("execute: " + std::to_string(Demon->Execute(program, "", wait == "wait", 0)));
        } else if (command == "translate")
            Say("translate: " + Demon->Translator().Translate(argument));
        else if (command == "close")
            delete Demon;
        else
            Say("unknown command: " + command);
    } catch (const std::exception& e) {
        Say("error: " + std::string(e.what()));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("LinkClient");

    if (const char* timeout = std::getenv("LINKCLIENT_ANSWER_TIMEOUT_MS"))
        SetLinkAnswerTimeout(std::chrono::milliseconds(std::atoi(timeout)));

    QWidget form;
    form.setWindowTitle("BF_Caption");

    TmnxDemonClient* demon = nullptr;
    try {
        demon = new TmnxDemonClient(&form);
    } catch (const std::exception& e) {
        Say("error: " + std::string(e.what()));
        return 2;
    }
    demon->SetAutoTranslate(true);
    demon->SetAutoCreateItlFile(false);
    demon->SetMultiStart(EnvFlag("LINKCLIENT_MULTISTART"));
    demon->SetUseTarvosServer(EnvFlag("LINKCLIENT_USE_SERVER"));
    const bool refuseQuit = EnvFlag("LINKCLIENT_REFUSE_QUIT");

    demon->OnParamsChange = [](TmnxCustomDemon* Sender) {
        std::string line = "params:";
        for (const QString& p : Sender->Params())
            line += " " + p.toStdString();
        Say(line);
    };
    demon->OnQuitMsgReceived = [refuseQuit](TmnxCustomDemon*, bool ServerDown, bool& AllowQuit) {
        Say(std::string("quit: serverdown=") + (ServerDown ? "1" : "0"));
        if (refuseQuit)
            AllowQuit = false;
    };
    demon->OnGotAMessage = [](TmnxCustomDemon*, TSkolarMessageStream& Msg) {
        Say("message: " + std::to_string(Msg.Code) + " " + std::to_string(Msg.Size()));
    };
    QObject::connect(demon, &QObject::destroyed, [] { Say("freed"); });

    try {
        demon->Loaded();
    } catch (const std::exception& e) {
        Say("error: " + std::string(e.what()));
        return 3;
    }
    Say("running " + std::to_string(demon->OwnEntity().Handle) + " " + form.windowTitle().toStdString());

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string pending;
    QPointer<TmnxDemonClient> guard(demon);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, static_cast<size_t>(n));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (guard)
                RunCommand(guard, line);
            else
                Say("error: component gone");
        }
    });

    const int code = app.exec();
    Say("exit " + std::to_string(code));
    return code;
}
