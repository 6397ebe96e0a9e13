#include "hostlink/TarvosDemon.h"

#include <QCoreApplication>
#include <QVariant>
#include <QtDebug>

#include <cstdio>
#include <cstdlib>

#include "platform/os/link/LinkWindow.h"
#include "platform/os/NamedMutex.h"
#include "translate/Babelfish2000.h"

namespace {

std::string ApplicationTitle()
{
    // QGuiApplication's display name when there is one, read as a property so that this needs no Qt Gui;
    // like QGuiApplication, fall back to the application name
    const QVariant displayName =
        QCoreApplication::instance() ? QCoreApplication::instance()->property("applicationDisplayName") : QVariant();
    return (displayName.isValid() ? displayName.toString() : QCoreApplication::applicationName()).toStdString();
}

// The component registered the class itself; false would only mean it is gone already, which leaves nothing
// to undo.
void UnregisterOwnClass(const std::string& ClassName)
{
    static_cast<void>(UnregisterLinkWindowClass(ClassName));
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
    : QObject(Owner), translator_(std::make_unique<TBabelfish2000>(std::string()))
{
    ExitProcess = [](int ExitCode) {
        std::fflush(nullptr);
        std::exit(ExitCode);
    };
    ownEntity_ = std::make_unique<TEntity>();
    serverEntity_ = std::make_unique<TEntity>();
    FindServerWindow(CommandLine);
    params_ = FilterParams(CommandLine);
    if (params_.isEmpty())
        params_.append(QString());
    // line 0 is the executable's path, whatever argv[0] said
    params_[0] = QString::fromStdString(ApplicationExeName());
}

TmnxCustomDemon::~TmnxCustomDemon()
{
    pendingReplies_.clear();
    DestroyLinkWindow();
    if (mutex_) {
        mutex_.reset();
        ownEntity_->MutexHandle = 0;
    }
    translator_.reset();
    // a component that never got its window (its construction failed) does not end the application
    if (linked_)
        QCoreApplication::quit();
}

void TmnxCustomDemon::CreateLinkWindow()
{
    const std::string className = GetWindowClassName();
    if (const LinkClassRegistration registration = RegisterLinkWindowClass(className); !registration)
        throw ESkolar(registration.Error);
    registeredClass_ = className;
    LinkWindowCreation creation = LinkWindow::Create(className, GetWindowName(),
        [this](uint32_t WParam, int32_t Tag, const std::string& Data) { Receive(WParam, Tag, Data); });
    ownEntity_->SetTitle(ApplicationTitle());
    ownEntity_->SetExeName(ApplicationExeName());
    linked_ = true;
    if (creation.Outcome == LinkWindowCreation::Status::Unusable) {
        // another user's folder in /tmp, a full disk or a path too long for a socket must not keep the lesson
        // from starting; it runs alone
        std::fprintf(stderr, "host link: %s; running without the host link and without the single-instance check\n",
            creation.Error.c_str());
        return;
    }
    if (!creation.Window) {
        UnregisterOwnClass(className);
        registeredClass_.clear();
        linked_ = false;
        throw ESkolar("Could not create window handle");
    }
    window_ = std::move(creation.Window);
    ownEntity_->Handle = window_->Handle();
}

void TmnxCustomDemon::DestroyLinkWindow()
{
    if (window_) {
        window_.reset();
        ownEntity_->Handle = 0;
    }
    if (!registeredClass_.empty()) {
        UnregisterOwnClass(registeredClass_);
        registeredClass_.clear();
    }
}

std::string TmnxCustomDemon::ApplicationExeName() const
{
    return QCoreApplication::applicationFilePath().toStdString();
}

bool TmnxCustomDemon::AutoCreateItlFile() const
{
    return translator_->CreateItlFile();
}

void TmnxCustomDemon::SetAutoCreateItlFile(bool Value)
{
    translator_->SetCreateItlFile(Value);
}

void TmnxCustomDemon::Loaded()
{
    Start();
    LoadDictionary();
    if (!multiStart_ && window_)
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
    if (ownEntity_->ExeName().empty())
        RefreshEntity(*ownEntity_);
    const std::string name = ownEntity_->MutexName();
    NamedMutexAcquisition acquisition = NamedMutex::TryAcquire(name);
    if (acquisition.Outcome == NamedMutexAcquisition::Status::Acquired) {
        mutex_ = std::move(acquisition.Mutex);
        ownEntity_->MutexHandle = mutex_->Handle();
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
        message.WriteStringList(ToBytes(params_));
        Send(*first, message, nullptr);
    }
    // a start from a terminal that ends at once would otherwise look like a failure
    std::fprintf(stderr, "%s already runs; this start ends\n", ApplicationTitle().c_str());
    DestroyLinkWindow();
    ExitProcess(0);
}

void TmnxCustomDemon::HandleMessage(std::unique_ptr<TSkolarMessageStream>& Msg)
{
    switch (Msg->Code) {
    case msgQuit: {
        serverDown_ = Msg->ReadFlag();
        bool allowQuit = true;
        if (OnQuitMsgReceived)
            OnQuitMsgReceived(this, serverDown_, allowQuit);
        if (allowQuit) {
            // freed once control is back in the event loop; a send that is waiting on this component's stack
            // asks for it itself when it has finished
            quitting_ = true;
            if (sendDepth_ == 0)
                deleteLater();
        }
        break;
    }
    case msgReply:
        if (pendingReplies_.size() >= MaxPendingReplies)
            pendingReplies_.erase(pendingReplies_.begin());
        pendingReplies_.push_back(std::move(Msg));
        break;
    case msgParams: {
        QStringList params;
        for (const std::string& line : Msg->ReadStringList())
            params.append(QString::fromStdString(line));
        // a list without even the program's line would leave ParamStr(0) out of range
        if (params.isEmpty())
            throw EReadError();
        params_ = params;
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
