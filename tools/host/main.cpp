// sewella-host: a stand-in e-learning host. It opens the host's link window for a suffix, keeps a table of
// the programs that registered with it and answers their requests, so that the host link can be tried by
// hand and tested against a real peer.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "hostlink/Entity.h"
#include "hostlink/SkolarMessageStream.h"
#include "hostlink/SkolarWire.h"
#include "platform/os/link/LinkWindow.h"

namespace {

const char* const HelpText = R"(
Opens the link window "ThisIsTheSkolarServerComponentWindow<suffix>" (class
"ThisIsTheSkolarServerComponentWindowClass<suffix>") in the per-user link directory and serves the
requests of programs that start with "/serverhandle=<suffix>".

Answers:
  register / unregister   keeps the table of registered programs
  query entity            by window handle or by application title (live entries only)
  get file                the named file from the served directory (--serve); only files inside it
  resolve file name       the served directory followed by the file-name part of the request
  query string            the --string answer for it, else the string itself
  get variable            the --variable value; TarvosWorkArea and TarvosHomeDir default to the served
                          directory with a trailing slash; else empty
  execute                 starts the program detached and answers its process id (0 when it fails)

Commands on stdin, one per line:
  list                          prints the registered programs
  quit <handle|title> [down]    sends the quit message; "down" sets its ServerDown flag
  raw <handle> <code> <hex>     sends the bytes (stamp included) as one copy-data block, unchecked
  delay <ms>                    from now on holds every request that long before replying (a hung host)
  exit                          closes the host (so do SIGINT and SIGTERM; end of input only
                                stops the commands)

Every message received and every command's result is reported on stdout, one line each.
)";

struct HostOptions {
    std::string Suffix;
    QString ServedDir;
    std::map<std::string, std::string> Strings;
    std::map<std::string, std::string> Variables;
    bool Silent = false;
    int DelayMs = 0;
};

void Say(const std::string& Line)
{
    std::cout << Line << std::endl;
}

std::string EntityLine(TEntity& Entity)
{
    return std::to_string(Entity.Handle) + " " + std::to_string(Entity.MutexHandle) + " " + Entity.ExeName() + " " +
        Entity.Title();
}

class Host {
public:
    explicit Host(HostOptions Options) : options_(std::move(Options)) { }

    bool Open()
    {
        const std::string className = std::string(SkolarServerWindowClassPrefix) + options_.Suffix;
        const std::string title = std::string(SkolarServerWindowNamePrefix) + options_.Suffix;
        if (!RegisterLinkWindowClass(className)) {
            Say("error: cannot register the window class " + className);
            return false;
        }
        LinkWindowCreation creation = LinkWindow::Create(className, title,
            [this](uint32_t WParam, int32_t Tag, const std::string& Data) { Receive(WParam, Tag, Data); });
        if (!creation.Window) {
            Say("error: cannot open the link window " + title + ": " + creation.Error);
            return false;
        }
        window_ = std::move(creation.Window);
        Say("ready " + std::to_string(window_->Handle()));
        return true;
    }

    void Command(const std::string& Line)
    {
        std::istringstream in(Line);
        std::string command;
        in >> command;
        if (command.empty())
            return;
        if (command == "list") {
            Prune();
            for (auto& entity : entities_)
                Say("entity " + EntityLine(*entity));
            Say("list end");
        } else if (command == "quit") {
            std::string who, down;
            in >> who >> down;
            TEntity* target = Find(who);
            if (!target) {
                Say("error: no such program " + who);
                return;
            }
            TSkolarMessageStream message;
            message.Code = msgQuit;
            message.WriteFlag(down == "down");
            const LinkSendResult sent = SendCopyData(target->Handle, window_->Handle(), msgQuit,
                EncodeSkolarBlock(DateTimeToTimeStamp(Now()), message.Content()));
            Say(std::string("quit sent ") + (sent ? "ok" : "failed"));
        } else if (command == "raw") {
            unsigned long handle = 0;
            long code = 0;
            std::string hex;
            in >> handle >> code >> hex;
            const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(hex));
            const LinkSendResult sent = SendCopyData(
                static_cast<uint32_t>(handle), window_->Handle(), static_cast<int32_t>(code), bytes.toStdString());
            Say(std::string("raw sent ") + (sent ? "ok" : "failed"));
        } else if (command == "delay") {
            in >> options_.DelayMs;
            Say("delay " + std::to_string(options_.DelayMs));
        } else if (command == "exit") {
            QCoreApplication::quit();
        } else {
            Say("error: unknown command " + command);
        }
    }

private:
    void Receive(uint32_t WParam, int32_t Tag, const std::string& Data)
    {
        TSkolarMessageStream request;
        if (!request.SetFromBlock(WParam, Tag, Data)) {
            Say("dropped short block from " + std::to_string(WParam));
            return;
        }
        try {
            Handle(request);
        } catch (const std::exception& e) {
            Say("dropped message " + std::to_string(Tag) + " from " + std::to_string(WParam) + ": " + e.what());
        }
    }

    // A handler reads its request and, when the request wants an answer, writes it into Reply and returns
    // true. One handler per message code; any other code is only reported.
    using Handler = bool (Host::*)(TSkolarMessageStream& Request, TSkolarMessageStream& Reply);
    static Handler HandlerFor(int32_t Code)
    {
        switch (Code) {
        case msgRegister: return &Host::OnRegister;
        case msgUnregister: return &Host::OnUnregister;
        case msgQueryEntity: return &Host::OnQueryEntity;
        case msgGetFile: return &Host::OnGetFile;
        case msgResolveFileName: return &Host::OnResolveFileName;
        case msgQueryString: return &Host::OnQueryString;
        case msgGetVariable: return &Host::OnGetVariable;
        case msgExecute: return &Host::OnExecute;
        default: return nullptr;
        }
    }

    void Handle(TSkolarMessageStream& Request)
    {
        const Handler handler = HandlerFor(Request.Code);
        if (!handler) {
            Say("message " + std::to_string(Request.Code) + " from " + std::to_string(Request.Entity().Handle) +
                " size " + std::to_string(Request.Size()));
            return;
        }
        TSkolarMessageStream reply;
        if ((this->*handler)(Request, reply))
            Answer(Request, reply);
    }

    void Answer(const TSkolarMessageStream& Request, const TSkolarMessageStream& Reply)
    {
        if (options_.Silent) {
            Say("reply withheld");
            return;
        }
        if (options_.DelayMs > 0)
            QThread::msleep(static_cast<unsigned long>(options_.DelayMs));
        // the client is waiting inside its send: the reply reaches it before that send returns. A reply that
        // cannot go out is silent, as a host's is: the client then sees no answer, which it has to bear anyway.
        static_cast<void>(SendCopyData(
            Request.Entity().Handle, window_->Handle(), msgReply, EncodeSkolarBlock(Request.Stamp, Reply.Content())));
    }

    bool OnRegister(TSkolarMessageStream& Request, TSkolarMessageStream&)
    {
        auto entity = std::make_unique<TEntity>();
        entity->ReadFrom(Request);
        Say("register " + EntityLine(*entity));
        std::erase_if(entities_, [&](auto& e) { return e->Handle == entity->Handle; });
        entities_.push_back(std::move(entity));
        return false;
    }

    bool OnUnregister(TSkolarMessageStream& Request, TSkolarMessageStream&)
    {
        TEntity entity;
        entity.ReadFrom(Request);
        Say("unregister " + EntityLine(entity));
        std::erase_if(entities_, [&](auto& e) { return e->Handle == entity.Handle; });
        return false;
    }

    bool OnQueryEntity(TSkolarMessageStream& Request, TSkolarMessageStream& Reply)
    {
        const uint8_t kind = Request.ReadByte();
        TEntity* found = nullptr;
        Prune();
        if (kind == QueryEntityByHandle) {
            const auto handle = static_cast<uint32_t>(Request.ReadInteger());
            Say("query entity handle " + std::to_string(handle));
            found = FindHandle(handle);
        } else if (kind == QueryEntityByTitle) {
            const std::string title = Request.ReadString();
            Say("query entity title " + title);
            found = FindTitle(title);
        } else {
            Say("query entity kind " + std::to_string(kind));
        }
        if (found)
            found->WriteTo(Reply);
        return true;
    }

    bool OnGetFile(TSkolarMessageStream& Request, TSkolarMessageStream& Reply)
    {
        const std::string name = Request.ReadString();
        Say("get file " + name);
        const QString path = ServedPath(name);
        QFile file(path);
        if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            Reply.WriteFlag(true);
            Reply.Write(bytes.constData(), static_cast<size_t>(bytes.size()));
        } else {
            Reply.WriteFlag(false);
        }
        return true;
    }

    bool OnResolveFileName(TSkolarMessageStream& Request, TSkolarMessageStream& Reply)
    {
        const std::string name = Request.ReadString();
        Say("resolve " + name);
        const QString fileName = QFileInfo(QString::fromStdString(name)).fileName();
        Reply.WriteString(QDir(options_.ServedDir).filePath(fileName).toStdString());
        return true;
    }

    bool OnQueryString(TSkolarMessageStream& Request, TSkolarMessageStream& Reply)
    {
        const std::string s = Request.ReadString();
        Say("query string " + s);
        const auto it = options_.Strings.find(s);
        Reply.WriteString(it == options_.Strings.end() ? s : it->second);
        return true;
    }

    bool OnGetVariable(TSkolarMessageStream& Request, TSkolarMessageStream& Reply)
    {
        const std::string name = Request.ReadString();
        Say("get variable " + name);
        Reply.WriteString(Variable(name));
        return true;
    }

    bool OnExecute(TSkolarMessageStream& Request, TSkolarMessageStream& Reply)
    {
        const std::string program = Request.ReadString();
        const std::string parameters = Request.ReadString();
        const bool wait = Request.ReadFlag();
        const int32_t option = Request.ReadInteger();
        qint64 pid = 0;
        const bool started = QProcess::startDetached(QString::fromStdString(program),
            QProcess::splitCommand(QString::fromStdString(parameters)), QString(), &pid);
        if (!started)
            pid = 0;
        Say("execute " + program + " wait=" + (wait ? "1" : "0") + " option=" + std::to_string(option) +
            " pid=" + std::to_string(pid));
        Reply.WriteInteger(static_cast<int32_t>(pid));
        return true;
    }

    std::string Variable(const std::string& Name) const
    {
        const auto it = options_.Variables.find(Name);
        if (it != options_.Variables.end())
            return it->second;
        if (Name == "TarvosWorkArea" || Name == "TarvosHomeDir")
            return QDir(options_.ServedDir).absolutePath().toStdString() + "/";
        return {};
    }

    // Only files inside the served directory are handed out.
    QString ServedPath(const std::string& Name) const
    {
        const QDir served(options_.ServedDir);
        const QString root = served.canonicalPath();
        const QFileInfo info(served, QString::fromStdString(Name));
        const QString canonical = info.canonicalFilePath();
        if (root.isEmpty() || canonical.isEmpty() || !info.isFile())
            return {};
        if (!canonical.startsWith(root + "/"))
            return {};
        return canonical;
    }

    void Prune()
    {
        std::erase_if(entities_, [](auto& e) { return !e->IsAlive(); });
    }

    TEntity* Find(const std::string& HandleOrTitle)
    {
        for (auto& entity : entities_)
            if (std::to_string(entity->Handle) == HandleOrTitle)
                return entity.get();
        return FindTitle(HandleOrTitle);
    }

    TEntity* FindHandle(uint32_t Handle)
    {
        for (auto& entity : entities_)
            if (entity->Handle == Handle)
                return entity.get();
        return nullptr;
    }

    TEntity* FindTitle(const std::string& Title)
    {
        for (auto& entity : entities_)
            if (entity->Title() == Title)
                return entity.get();
        return nullptr;
    }

    HostOptions options_;
    std::unique_ptr<LinkWindow> window_;
    std::vector<std::unique_ptr<TEntity>> entities_;
};

int SignalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(SignalPipe[1], &byte, 1);
}

bool ParsePairs(const QStringList& Values, std::map<std::string, std::string>& Out)
{
    for (const QString& value : Values) {
        const qsizetype eq = value.indexOf('=');
        if (eq < 0)
            return false;
        Out[value.left(eq).toStdString()] = value.mid(eq + 1).toStdString();
    }
    return true;
}

// The options of the command line; a message on stderr and none when they cannot be used.
std::optional<HostOptions> ParseOptions(const QCoreApplication& App)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString("A stand-in e-learning host for the Sewella host link.") + HelpText);
    parser.addHelpOption();
    const QCommandLineOption suffixOption("suffix",
        "The link suffix; programs find this host with "
        "\"/serverhandle=<suffix>\" (letter case does not matter).",
        "suffix");
    const QCommandLineOption serveOption(
        "serve", "The directory whose files are served (default: current).", "dir", ".");
    const QCommandLineOption stringOption("string", "Answer VALUE to the query string KEY (repeatable).", "KEY=VALUE");
    const QCommandLineOption variableOption(
        "variable", "Answer VALUE for the variable NAME (repeatable).", "NAME=VALUE");
    const QCommandLineOption silentOption("no-reply", "Receive requests but never reply to them.");
    const QCommandLineOption delayOption("delay", "Hold every request this long before replying.", "ms", "0");
    parser.addOptions({suffixOption, serveOption, stringOption, variableOption, silentOption, delayOption});
    parser.process(App);

    HostOptions options;
    if (!parser.isSet(suffixOption)) {
        std::cerr << "sewella-host: --suffix is required (see --help)\n";
        return std::nullopt;
    }
    options.Suffix = parser.value(suffixOption).toStdString();
    // resolved names are handed to programs that may run elsewhere: make them absolute
    options.ServedDir = QDir(parser.value(serveOption)).absolutePath();
    options.Silent = parser.isSet(silentOption);
    options.DelayMs = parser.value(delayOption).toInt();
    if (!ParsePairs(parser.values(stringOption), options.Strings) ||
        !ParsePairs(parser.values(variableOption), options.Variables)) {
        std::cerr << "sewella-host: --string and --variable take KEY=VALUE\n";
        return std::nullopt;
    }
    return options;
}

// SIGINT and SIGTERM end the event loop; the handler only writes to a pipe that the loop watches.
std::unique_ptr<QSocketNotifier> QuitOnSignals()
{
    if (::pipe(SignalPipe) == 0) {
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
    }
    auto notifier = std::make_unique<QSocketNotifier>(SignalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    return notifier;
}

// Every line of standard input becomes a command of the host.
std::unique_ptr<QSocketNotifier> ReadCommands(Host& Target)
{
    auto input = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    QSocketNotifier* notifier = input.get();
    QObject::connect(notifier, &QSocketNotifier::activated, [notifier, &Target, pending = std::string()]() mutable {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            notifier->setEnabled(false);  // without commands the host keeps serving
            return;
        }
        pending.append(buffer, static_cast<size_t>(n));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            Target.Command(line);
        }
    });
    return input;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("sewella-host");

    std::optional<HostOptions> options = ParseOptions(app);
    if (!options)
        return 1;
    Host host(std::move(*options));
    if (!host.Open())
        return 1;

    const std::unique_ptr<QSocketNotifier> signalWatch = QuitOnSignals();
    const std::unique_ptr<QSocketNotifier> input = ReadCommands(host);
    const int code = app.exec();
    Say("closed");
    return code;
}
