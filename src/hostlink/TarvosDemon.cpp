#include "hostlink/TarvosDemon.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QVariant>
#include <QtDebug>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/AnsiText.h"
#include "platform/DateTime.h"
#include "platform/LinkSender.h"
#include "platform/LinkWindow.h"
#include "platform/NamedMutex.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "translate/Babelfish2000.h"

namespace {

constexpr const char* ServerHandleSwitch = "/serverhandle=";
constexpr int ServerHandleSwitchLength = 14;

std::string ApplicationTitle()
{
    // QGuiApplication's display name when there is one, read as a property so that this needs no Qt Gui;
    // like QGuiApplication, fall back to the application name
    const QVariant displayName =
        QCoreApplication::instance() ? QCoreApplication::instance()->property("applicationDisplayName") : QVariant();
    return (displayName.isValid() ? displayName.toString() : QCoreApplication::applicationName()).toStdString();
}

std::vector<std::string> ToBytes(const QStringList& Lines)
{
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(Lines.size()));
    for (const QString& line : Lines)
        out.push_back(line.toStdString());
    return out;
}

}  // namespace

TmnxCustomDemon::TmnxCustomDemon(QObject* Owner, const QStringList& CommandLine)
    : QObject(Owner), FTranslator(std::make_unique<TBabelfish2000>(std::string()))
{
    ExitProcess = [](int ExitCode) {
        std::fflush(nullptr);
        std::exit(ExitCode);
    };
    FOwnEntity = std::make_unique<TEntity>();
    FServerEntity = std::make_unique<TEntity>();
    FindServerWindow(CommandLine);
    FParams = FilterParams(CommandLine);
    if (FParams.isEmpty())
        FParams.append(QString());
    // line 0 is the executable's path, whatever argv[0] said
    FParams[0] = QString::fromStdString(ApplicationExeName());
}

std::string TmnxCustomDemon::DictionaryLanguage(const std::function<std::string(const char* Name)>& Environment)
{
    std::string chosen;
    std::istringstream languages(Environment("LANGUAGE"));
    for (std::string entry; chosen.empty() && std::getline(languages, entry, ':');)
        chosen = entry;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (chosen.empty())
            chosen = Environment(name);
    return LowerAscii(chosen.substr(0, 2)) == "de" ? "de" : "en";
}

std::string TmnxCustomDemon::InstalledDictionaryPath(const std::string& ProgramPath, const std::string& Language)
{
    const std::string itlName = TBabelfish2000::CaptureFileNameFor(ProgramPath);
    if (itlName.empty())
        return {};
    const std::string name = itlName.substr(0, itlName.size() - 4);
    const std::filesystem::path directory = std::filesystem::path(ProgramPath).parent_path();
    return (directory / ".." / "share" / name / Language / itlName).lexically_normal().string();
}

TmnxCustomDemon::~TmnxCustomDemon()
{
    FPendingReplies.clear();
    DestroyLinkWindow();
    if (FMutex) {
        FMutex.reset();
        FOwnEntity->MutexHandle = 0;
    }
    FTranslator.reset();
    // a component that never got its window (its construction failed) does not end the application
    if (FLinked)
        QCoreApplication::quit();
}

std::string TmnxCustomDemon::ServerSuffix(const std::string& RegistryValue, const QStringList& CommandLine)
{
    if (!RegistryValue.empty() && RegistryValue != "00000000")
        return RegistryValue;
    std::string suffix = RegistryValue;
    for (qsizetype i = 1; i < CommandLine.size(); ++i) {
        const std::string arg = LowerAscii(CommandLine[i].toStdString());
        if (arg.compare(0, ServerHandleSwitchLength, ServerHandleSwitch) == 0)
            suffix = arg.substr(ServerHandleSwitchLength);
    }
    return suffix;
}

QStringList TmnxCustomDemon::FilterParams(const QStringList& CommandLine)
{
    QStringList params;
    for (qsizetype i = 0; i < CommandLine.size(); ++i) {
        if (i > 0 && CommandLine[i].startsWith(QLatin1String(ServerHandleSwitch), Qt::CaseSensitive))
            continue;
        params.append(CommandLine[i]);
    }
    return params;
}

void TmnxCustomDemon::FindServerWindow(const QStringList& CommandLine)
{
    const std::string registry =
        ReadRegistryString(RegistryRoot::LocalMachine, "\\Software\\Quellwerk\\tarvos\\demon", "ViewerHandle");
    const std::string suffix = ServerSuffix(registry, CommandLine);
    FServerEntity->Handle = FindLinkWindow(
        std::string(SkolarServerWindowClassPrefix) + suffix, std::string(SkolarServerWindowNamePrefix) + suffix);
}

void TmnxCustomDemon::CreateLinkWindow()
{
    const std::string className = GetWindowClassName();
    if (const LinkClassRegistration registration = RegisterLinkWindowClass(className); !registration)
        throw ESkolar(registration.Error);
    FRegisteredClass = className;
    LinkWindowCreation creation = LinkWindow::Create(className, GetWindowName(),
        [this](uint32_t WParam, int32_t Tag, const std::string& Data) { Receive(WParam, Tag, Data); });
    FOwnEntity->SetTitle(ApplicationTitle());
    FOwnEntity->SetExeName(ApplicationExeName());
    FLinked = true;
    if (creation.Outcome == LinkWindowCreation::Status::Unusable) {
        // another user's folder in /tmp, a full disk or a path too long for a socket must not keep the lesson
        // from starting; it runs alone
        std::fprintf(stderr, "host link: %s; running without the host link and without the single-instance check\n",
            creation.Error.c_str());
        return;
    }
    if (!creation.Window) {
        UnregisterLinkWindowClass(className);
        FRegisteredClass.clear();
        FLinked = false;
        throw ESkolar("Could not create window handle");
    }
    FWindow = std::move(creation.Window);
    FOwnEntity->Handle = FWindow->Handle();
}

void TmnxCustomDemon::DestroyLinkWindow()
{
    if (FWindow) {
        FWindow.reset();
        FOwnEntity->Handle = 0;
    }
    if (!FRegisteredClass.empty()) {
        UnregisterLinkWindowClass(FRegisteredClass);
        FRegisteredClass.clear();
    }
}

std::string TmnxCustomDemon::ApplicationExeName() const
{
    return QCoreApplication::applicationFilePath().toStdString();
}

bool TmnxCustomDemon::AutoCreateItlFile() const
{
    return FTranslator->CreateItlFile();
}

void TmnxCustomDemon::SetAutoCreateItlFile(bool Value)
{
    FTranslator->SetCreateItlFile(Value);
}

QString TmnxCustomDemon::ParamStr(int Index) const
{
    if (Index < 0 || Index > ParamCount())
        throw ESkolar("Illegal \"ParamStr\" parameter: " + std::to_string(Index));
    if (Index == 0)
        return QString::fromStdString(ApplicationExeName());
    return FParams[Index];
}

void TmnxCustomDemon::Loaded()
{
    Start();
    LoadDictionary();
    if (!FMultiStart && FWindow)
        CheckSingleInstance();
}

void TmnxCustomDemon::RefreshEntity(TEntity& Entity)
{
    if (Entity.Handle == 0)
        return;
    std::unique_ptr<TEntity> answer = FindEntityByHandle(Entity.Handle);
    Entity.Assign(answer.get());
}

void TmnxCustomDemon::RefreshEmptyNames(TEntity& Entity)
{
    if (Entity.ExeName().empty())
        RefreshEntity(Entity);
    if (Entity.Title().empty())
        RefreshEntity(Entity);
}

void TmnxCustomDemon::CheckSingleInstance()
{
    if (FOwnEntity->ExeName().empty())
        RefreshEntity(*FOwnEntity);
    const std::string name = FOwnEntity->MutexName();
    NamedMutexAcquisition acquisition = NamedMutex::TryAcquire(name);
    if (acquisition.Outcome == NamedMutexAcquisition::Status::Acquired) {
        FMutex = std::move(acquisition.Mutex);
        FOwnEntity->MutexHandle = FMutex->Handle();
        return;
    }
    if (acquisition.Outcome == NamedMutexAcquisition::Status::Unusable) {
        // without a usable lock file nothing can be enforced; that must not keep the program from starting
        qWarning("host link: single-instance lock %s unusable: %s", name.c_str(), acquisition.Error.c_str());
        return;
    }
    if (std::unique_ptr<TEntity> first = FindEntityByName(ApplicationTitle())) {
        TSkolarMessageStream message;
        message.Code = msgParams;
        message.WriteStringList(ToBytes(FParams));
        Send(*first, message, nullptr);
    }
    DestroyLinkWindow();
    ExitProcess(0);
}

TTimeStamp TmnxCustomDemon::NextStamp()
{
    // two requests within one millisecond must not share a stamp, or a late reply to the first could be
    // taken for the second's
    TTimeStamp stamp = DateTimeToTimeStamp(Now());
    const bool notLater =
        stamp.Date < FLastStamp.Date || (stamp.Date == FLastStamp.Date && stamp.Time <= FLastStamp.Time);
    if (notLater && FLastStamp.Date != 0) {
        stamp = FLastStamp;
        ++stamp.Time;
    }
    FLastStamp = stamp;
    return stamp;
}

void TmnxCustomDemon::Send(const TEntity& Target, TSkolarMessageStream& Request, TSkolarMessageStream* Reply)
{
    Request.Stamp = NextStamp();
    if (!FOwnEntity->IsAlive() || Target.Handle == 0)
        return;
    // a host that let one send run out of time is not waited for again until it sends something itself:
    // a stopped host must cost one answer limit, not one per request
    const bool toServer = Target.Handle == FServerEntity->Handle;
    if (toServer && FServerSilent)
        return;

    const std::string block = EncodeSkolarBlock(Request.Stamp, Request.Content());
    LinkSendResult result;
    {
        const SendScope scope(FSendDepth);
        result = SendCopyData(Target.Handle, FOwnEntity->Handle, Request.Code, block);
    }
    if (toServer && result.Outcome == LinkSendResult::Status::TimedOut) {
        FServerSilent = true;
        qWarning("host link: the host did not answer within the answer limit: %s", result.Error.c_str());
    }
    if (FQuitting && FSendDepth == 0)
        deleteLater();

    const TTimeStamp stamp = Request.Stamp;
    for (auto it = FPendingReplies.begin(); it != FPendingReplies.end(); ++it) {
        if ((*it)->Stamp == stamp) {
            std::unique_ptr<TSkolarMessageStream> found = std::move(*it);
            FPendingReplies.erase(it);
            if (Reply)
                Reply->AssignFrom(*found);
            return;
        }
    }
}

void TmnxCustomDemon::Receive(uint32_t WParam, int32_t Tag, const std::string& Data)
{
    // after an accepted quit the component only waits to be freed; a send still running takes its reply
    if (FQuitting && Tag != msgReply)
        return;
    if (WParam != 0 && WParam == FServerEntity->Handle)
        FServerSilent = false;
    auto message = std::make_unique<TSkolarMessageStream>();
    if (!message->SetFromBlock(WParam, Tag, Data)) {
        qWarning("host link: dropped a copy-data block of %zu bytes, shorter than its stamp", Data.size());
        return;
    }
    try {
        HandleMessage(message);
    } catch (const std::exception& e) {
        qWarning("host link: dropped message %d: %s", Tag, e.what());
    }
}

void TmnxCustomDemon::HandleMessage(std::unique_ptr<TSkolarMessageStream>& Msg)
{
    switch (Msg->Code) {
    case msgQuit: {
        FServerDown = Msg->ReadFlag();
        bool allowQuit = true;
        if (OnQuitMsgReceived)
            OnQuitMsgReceived(this, FServerDown, allowQuit);
        if (allowQuit) {
            // freed once control is back in the event loop; a send that is waiting on this component's stack
            // asks for it itself when it has finished
            FQuitting = true;
            if (FSendDepth == 0)
                deleteLater();
        }
        break;
    }
    case msgReply:
        if (FPendingReplies.size() >= MaxPendingReplies)
            FPendingReplies.erase(FPendingReplies.begin());
        FPendingReplies.push_back(std::move(Msg));
        break;
    case msgParams: {
        QStringList params;
        for (const std::string& line : Msg->ReadStringList())
            params.append(QString::fromStdString(line));
        // a list without even the program's line would leave ParamStr(0) out of range
        if (params.isEmpty())
            throw EReadError();
        FParams = params;
        if (OnParamsChange)
            OnParamsChange(this);
        break;
    }
    default:
        if (OnGotAMessage)
            OnGotAMessage(this, *Msg);
        break;
    }
}

// ---------------------------------------------------------------------------------------------------------

TmnxDemonClient::TmnxDemonClient(QObject* Owner) : TmnxDemonClient(Owner, QCoreApplication::arguments())
{
}

TmnxDemonClient::TmnxDemonClient(QObject* Owner, const QStringList& CommandLine) : TmnxCustomDemon(Owner, CommandLine)
{
    CreateLinkWindow();
}

TmnxDemonClient::~TmnxDemonClient()
{
    // a host that announced its own end is not told
    if (!ServerDown())
        SendOwnEntity(msgUnregister);
}

std::string TmnxDemonClient::GetWindowClassName() const
{
    return std::string(SkolarClientWindowClass);
}

std::string TmnxDemonClient::GetWindowName() const
{
    return {};
}

void TmnxDemonClient::Start()
{
    if (!UseTarvosServer())
        return;
    if (ServerEntity().Handle == 0)
        throw ESkolar("Skolar server application is not running");
    SendOwnEntity(msgRegister);
}

void TmnxDemonClient::SendOwnEntity(int32_t Code)
{
    TSkolarMessageStream message;
    message.Code = Code;
    RefreshEmptyNames(OwnEntity());
    OwnEntity().WriteTo(message);
    Send(ServerEntity(), message, nullptr);
}

void TmnxDemonClient::LoadDictionary()
{
    if (!UseTarvosServer() || !LoadServedDictionary())
        LoadLocalDictionary();
    if (AutoTranslate() && parent())
        Translator().TranslateComponent(parent());
}

bool TmnxDemonClient::LoadServedDictionary()
{
    try {
        const std::string name = TBabelfish2000::ItlFileNameFor(ResolveFileName(ApplicationExeName()));
        if (std::unique_ptr<std::istream> stream = GetFile(name))
            Translator().LoadFromStream(*stream);
        return true;
    } catch (const EReadError&) {
        // no reply: a host that does not answer is no host for the dictionary
        std::fprintf(stderr,
            "host link: the host did not answer the request for the dictionary; the lesson uses "
            "its own\n");
        return false;
    }
}

void TmnxDemonClient::LoadLocalDictionary()
{
    // a missing or unreadable dictionary is no error: every lookup shows its key
    const std::string program = ApplicationExeName();
    if (LoadDictionaryFile(TBabelfish2000::ItlFileNameFor(program)))
        return;
    const std::string language = DictionaryLanguage([](const char* Name) {
        const char* value = std::getenv(Name);
        return std::string(value ? value : "");
    });
    LoadDictionaryFile(InstalledDictionaryPath(program, language));
}

bool TmnxDemonClient::LoadDictionaryFile(const std::string& Path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(Path, error))
        return false;
    std::ifstream file(Path, std::ios::binary);
    try {
        return file.is_open() && Translator().LoadFromStream(file);
    } catch (const std::exception& e) {
        qWarning("host link: dictionary %s unreadable: %s", Path.c_str(), e.what());
        return false;
    }
}

std::unique_ptr<TEntity> TmnxDemonClient::QueryEntity(TSkolarMessageStream& Request)
{
    TSkolarMessageStream reply;
    Request.Code = msgQueryEntity;
    Send(ServerEntity(), Request, &reply);
    if (reply.Size() == 0)
        return nullptr;
    auto entity = std::make_unique<TEntity>();
    try {
        entity->ReadFrom(reply);
    } catch (const EReadError&) {
        // a truncated record from the host is no answer
        return nullptr;
    }
    return entity;
}

std::unique_ptr<TEntity> TmnxDemonClient::FindEntityByName(const std::string& Name)
{
    TSkolarMessageStream request;
    request.WriteByte(QueryEntityByTitle);
    request.WriteString(Name);
    return QueryEntity(request);
}

std::unique_ptr<TEntity> TmnxDemonClient::FindEntityByHandle(uint32_t Handle)
{
    TSkolarMessageStream request;
    request.WriteByte(QueryEntityByHandle);
    request.WriteInteger(static_cast<int32_t>(Handle));
    return QueryEntity(request);
}

int32_t TmnxDemonClient::Execute(const std::string& Program, const std::string& Parameters, bool Wait, int32_t Option)
{
    TSkolarMessageStream request, reply;
    request.Code = msgExecute;
    request.WriteString(Program);
    request.WriteString(Parameters);
    request.WriteFlag(Wait);
    request.WriteInteger(Option);
    Send(ServerEntity(), request, &reply);
    const int32_t pid = reply.ReadInteger();
    const std::string failure = "Could not execute \"" + Program + ".\"";
    if (pid == 0)
        throw ESkolar(failure);
    if (!Wait)
        return pid;
    const std::optional<int> exitCode = WaitForProcess(pid);
    if (!exitCode)
        throw ESkolar(failure);
    return *exitCode;
}

std::unique_ptr<std::istream> TmnxDemonClient::GetFile(const std::string& FileName)
{
    TSkolarMessageStream request, reply;
    request.Code = msgGetFile;
    request.WriteString(FileName);
    Send(ServerEntity(), request, &reply);
    if (!reply.ReadFlag())
        return nullptr;
    return std::make_unique<std::istringstream>(reply.ReadRest(), std::ios::in | std::ios::binary);
}

std::string TmnxDemonClient::StringRequest(int32_t Code, const std::string& S)
{
    TSkolarMessageStream request, reply;
    request.Code = Code;
    request.WriteString(S);
    Send(ServerEntity(), request, &reply);
    return reply.ReadString();
}

std::string TmnxDemonClient::ResolveFileName(const std::string& S)
{
    return StringRequest(msgResolveFileName, S);
}

std::string TmnxDemonClient::QueryString(const std::string& S)
{
    return StringRequest(msgQueryString, S);
}

std::string TmnxDemonClient::GetHostVariable(const std::string& Name)
{
    if (UseTarvosServer())
        return StringRequest(msgGetVariable, Name);
    if (Name != "TarvosWorkArea" && Name != "TarvosHomeDir")
        return {};
    // the directory separator here is the slash, so the directory ends in one
    std::string directory = QFileInfo(ParamStr(0)).absolutePath().toStdString();
    if (directory.back() != '/')
        directory += '/';
    return directory;
}
