#pragma once

#include <QObject>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "hostlink/Entity.h"
#include "hostlink/SkolarMessageStream.h"
#include "hostlink/SkolarWire.h"

class TBabelfish2000;
class LinkWindow;
class NamedMutex;

// The mechanics of the host link: a hidden link window through which copy-data messages go to and come
// from the e-learning host and other instances, the dictionary it owns, the parameter list and the
// single-instance check. A subclass names the window class and answers the requests to the host.
// An accepted quit message frees the component (deleteLater) and so ends the application: create it with
// new, owned by its form, and keep a QPointer to it.
//
// The implementation is in five parts: the component itself (TarvosDemon.cpp), stamps, sending, receiving and
// pending replies (LinkMessages.cpp), the command line and the registry (CommandLine.cpp), where the
// dictionary comes from (DictionaryLocation.cpp) and the requests to the host (HostRequests.cpp).
class TmnxCustomDemon : public QObject, public IMessageSender {
    Q_OBJECT
    Q_PROPERTY(bool AutoTranslate READ AutoTranslate WRITE SetAutoTranslate)
    Q_PROPERTY(bool AutoCreateItlFile READ AutoCreateItlFile WRITE SetAutoCreateItlFile)
    Q_PROPERTY(bool MultiStart READ MultiStart WRITE SetMultiStart)
    Q_PROPERTY(bool UseTarvosServer READ UseTarvosServer WRITE SetUseTarvosServer)

public:
    using TGotAMessageEvent = std::function<void(TmnxCustomDemon* Sender, TSkolarMessageStream& Msg)>;
    using TOnQuitMsgReceived = std::function<void(TmnxCustomDemon* Sender, bool ServerDown, bool& AllowQuit)>;
    using TNotifyEvent = std::function<void(TmnxCustomDemon* Sender)>;

    // Replies kept at most; a peer flooding unasked replies cannot make the list grow without bound.
    static constexpr size_t MaxPendingReplies = 64;

    ~TmnxCustomDemon() override;

    bool AutoTranslate() const { return autoTranslate_; }
    void SetAutoTranslate(bool Value) { autoTranslate_ = Value; }
    bool AutoCreateItlFile() const;
    void SetAutoCreateItlFile(bool Value);
    bool MultiStart() const { return multiStart_; }
    void SetMultiStart(bool Value) { multiStart_ = Value; }
    bool UseTarvosServer() const { return useTarvosServer_; }
    void SetUseTarvosServer(bool Value) { useTarvosServer_ = Value; }

    TGotAMessageEvent OnGotAMessage;
    TOnQuitMsgReceived OnQuitMsgReceived;
    TNotifyEvent OnParamsChange;

    // Ends this process when a second instance stops at start-up; the default is a normal exit with the
    // given code. Tests replace it.
    std::function<void(int ExitCode)> ExitProcess;

    // The form has been read: Start, LoadDictionary, CheckSingleInstance.
    void Loaded();

    // Stamps the request and sends it synchronously to Target; the reply that arrives meanwhile with the same
    // stamp is copied into Reply. Nothing is sent when this component's window is gone or Target has none.
    void Send(const TEntity& Target, TSkolarMessageStream& Request, TSkolarMessageStream* Reply) override;

    // Asks the host for the entity with Entity's Handle and copies its data; no answer changes nothing.
    void RefreshEntity(TEntity& Entity);
    // Refreshes Entity once for each of its names that is empty, ExeName first: what the link does before
    // it writes an entity record or names an entity's mutex.
    void RefreshEmptyNames(TEntity& Entity);

    // The parameter list: line 0 is the executable's path, then the arguments.
    const QStringList& Params() const { return params_; }
    int ParamCount() const { return static_cast<int>(params_.size()) - 1; }
    // 0 is always the executable path; an index outside 0..ParamCount raises ESkolar.
    QString ParamStr(int Index) const;

    TBabelfish2000& Translator() { return *translator_; }
    TEntity& ServerEntity() { return *serverEntity_; }
    TEntity& OwnEntity() { return *ownEntity_; }
    bool ServerDown() const { return serverDown_; }
    const std::vector<std::unique_ptr<TSkolarMessageStream>>& PendingReplies() const { return pendingReplies_; }

    virtual std::string GetWindowClassName() const = 0;
    virtual std::string GetWindowName() const = 0;
    virtual std::unique_ptr<TEntity> FindEntityByName(const std::string& Name) = 0;
    virtual std::unique_ptr<TEntity> FindEntityByHandle(uint32_t Handle) = 0;
    virtual int32_t Execute(const std::string& Program, const std::string& Parameters, bool Wait, int32_t Option) = 0;
    virtual std::unique_ptr<std::istream> GetFile(const std::string& FileName) = 0;
    virtual std::string ResolveFileName(const std::string& S) = 0;
    virtual std::string QueryString(const std::string& S) = 0;
    virtual std::string GetHostVariable(const std::string& Name) = 0;

    // The suffix of the host's link window: the registry value, or else the last "/serverhandle=" argument
    // (letter case ignored, lower-cased).
    static std::string ServerSuffix(const std::string& RegistryValue, const QStringList& CommandLine);
    // The arguments kept as parameters: all but those that begin with "/serverhandle=" exactly.
    static QStringList FilterParams(const QStringList& CommandLine);

    // The language of the installed dictionary that stands in for a missing one beside the program: the first
    // non-empty of LANGUAGE (its first entry), LC_ALL, LC_MESSAGES and LANG; "de..." gives "de", all else "en".
    static std::string DictionaryLanguage(const std::function<std::string(const char* Name)>& Environment);
    // Where an installed program keeps its dictionary of a language: "/usr/bin/sewella", "de" ->
    // "/usr/share/sewella/de/sewella.itl" (a three-letter extension of the program's name is dropped).
    static std::string InstalledDictionaryPath(const std::string& ProgramPath, const std::string& Language);

protected:
    // CommandLine[0] is the executable, as QCoreApplication::arguments() gives it.
    TmnxCustomDemon(QObject* Owner, const QStringList& CommandLine);
    // Registers the window class and creates the hidden window; called by the concrete class's constructor,
    // where the virtual names are known.
    void CreateLinkWindow();

    // Acts on one received message; may take it over by moving it out of Msg.
    virtual void HandleMessage(std::unique_ptr<TSkolarMessageStream>& Msg);
    virtual void Start() { }
    virtual void LoadDictionary() { }
    void CheckSingleInstance();

    // Every copy-data block that reaches the hidden window.
    void Receive(uint32_t WParam, int32_t Tag, const std::string& Data);

    std::string ApplicationExeName() const;

private:
    void FindServerWindow(const QStringList& CommandLine);
    void DestroyLinkWindow();
    TTimeStamp NextStamp();

    std::unique_ptr<TEntity> serverEntity_;
    std::vector<std::unique_ptr<TSkolarMessageStream>> pendingReplies_;
    QStringList params_;
    std::unique_ptr<TEntity> ownEntity_;
    bool serverDown_ = false;
    std::unique_ptr<TBabelfish2000> translator_;
    bool autoTranslate_ = true;
    bool multiStart_ = false;
    bool useTarvosServer_ = true;

    std::unique_ptr<LinkWindow> window_;
    std::unique_ptr<NamedMutex> mutex_;
    std::string registeredClass_;
    TTimeStamp lastStamp_;
    bool linked_ = false;
    bool quitting_ = false;
    bool serverSilent_ = false;
    int sendDepth_ = 0;
};

// The client of the e-learning host: the client's window class and the requests to the host.
class TmnxDemonClient : public TmnxCustomDemon {
    Q_OBJECT

public:
    explicit TmnxDemonClient(QObject* Owner);
    TmnxDemonClient(QObject* Owner, const QStringList& CommandLine);
    ~TmnxDemonClient() override;

    std::string GetWindowClassName() const override;
    std::string GetWindowName() const override;
    std::unique_ptr<TEntity> FindEntityByName(const std::string& Name) override;
    std::unique_ptr<TEntity> FindEntityByHandle(uint32_t Handle) override;
    int32_t Execute(const std::string& Program, const std::string& Parameters, bool Wait, int32_t Option) override;
    std::unique_ptr<std::istream> GetFile(const std::string& FileName) override;
    std::string ResolveFileName(const std::string& S) override;
    std::string QueryString(const std::string& S) override;
    std::string GetHostVariable(const std::string& Name) override;

protected:
    void Start() override;
    void LoadDictionary() override;

private:
    // The dictionary beside the program, else the installed one of the user's language.
    void LoadLocalDictionary();
    // The host's dictionary; false when the host did not answer.
    [[nodiscard]] bool LoadServedDictionary();
    [[nodiscard]] bool LoadDictionaryFile(const std::string& Path);
    std::unique_ptr<TEntity> QueryEntity(TSkolarMessageStream& Request);
    // Sends S and reads the string the host answers.
    std::string StringRequest(int32_t Code, const std::string& S);
    // msgRegister and msgUnregister: this component's entity record, no reply awaited.
    void SendOwnEntity(int32_t Code);
};
