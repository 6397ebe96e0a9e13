#include "hostlink/TarvosDemon.h"

#include <QFileInfo>

#include <sstream>

#include "platform/os/Process.h"

void TmnxDemonClient::SendOwnEntity(int32_t Code)
{
    TSkolarMessageStream message;
    message.Code = Code;
    RefreshEmptyNames(OwnEntity());
    OwnEntity().WriteTo(message);
    Send(ServerEntity(), message, nullptr);
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
