#include "hostlink/TarvosDemon.h"

#include <QtDebug>

#include "platform/os/DateTime.h"
#include "platform/os/link/LinkSender.h"
#include "platform/os/link/LinkWindow.h"

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
    // any other failure is silent: the request is left without a reply, as when the host has none to give
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
