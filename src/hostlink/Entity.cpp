#include "hostlink/Entity.h"

#include "hostlink/SkolarMessageStream.h"
#include "platform/os/link/LinkWindow.h"

void TEntity::Assign(const TEntity* Other)
{
    if (!Other || Other == this)
        return;
    Handle = Other->Handle;
    MutexHandle = Other->MutexHandle;
    exeName_ = Other->exeName_;
    title_ = Other->title_;
}

void TEntity::WriteTo(TSkolarMessageStream& Message) const
{
    Message.WriteInteger(static_cast<int32_t>(Handle));
    Message.WriteInteger(static_cast<int32_t>(MutexHandle));
    Message.WriteString(exeName_);
    Message.WriteString(title_);
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
    exeName_ = std::move(exeName);
    title_ = std::move(title);
}

bool TEntity::IsAlive() const
{
    return Handle != 0 && IsLinkWindow(Handle);
}

std::string TEntity::MutexName() const
{
    // a backslash separates directories too, so none is left in the name
    const std::string& path = exeName_;
    const size_t slash = path.find_last_of("/\\");
    return "SK_" + (slash == std::string::npos ? path : path.substr(slash + 1));
}
