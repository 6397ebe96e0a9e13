#include "hostlink/Entity.h"

#include "hostlink/SkolarMessageStream.h"
#include "hostlink/TarvosDemon.h"
#include "platform/LinkWindow.h"

const std::string& TEntity::ExeName()
{
    if (FExeName.empty())
        Refresh();
    return FExeName;
}

const std::string& TEntity::Title()
{
    if (FTitle.empty())
        Refresh();
    return FTitle;
}

void TEntity::Refresh()
{
    if (!Demon || Handle == 0)
        return;
    std::unique_ptr<TEntity> answer = Demon->FindEntityByHandle(Handle);
    Assign(answer.get());
}

void TEntity::Assign(const TEntity* Other)
{
    if (!Other || Other == this)
        return;
    Handle = Other->Handle;
    MutexHandle = Other->MutexHandle;
    FExeName = Other->FExeName;
    FTitle = Other->FTitle;
}

void TEntity::WriteTo(TSkolarMessageStream& Message)
{
    Message.WriteInteger(static_cast<int32_t>(Handle));
    Message.WriteInteger(static_cast<int32_t>(MutexHandle));
    Message.WriteString(ExeName());
    Message.WriteString(Title());
}

void TEntity::ReadFrom(TSkolarMessageStream& Message)
{
    // all or nothing: a truncated record leaves the entity as it was
    const auto handle = static_cast<uint32_t>(Message.ReadInteger());
    const auto mutexHandle = static_cast<uint32_t>(Message.ReadInteger());
    std::string exeName = Message.ReadString();
    std::string title = Message.ReadString();
    Handle = handle;
    MutexHandle = mutexHandle;
    FExeName = std::move(exeName);
    FTitle = std::move(title);
}

bool TEntity::IsAlive() const
{
    return Handle != 0 && IsLinkWindow(Handle);
}

std::string TEntity::MutexName()
{
    // a backslash separates directories too, so none is left in the name
    const std::string& path = ExeName();
    const size_t slash = path.find_last_of("/\\");
    return "SK_" + (slash == std::string::npos ? path : path.substr(slash + 1));
}
