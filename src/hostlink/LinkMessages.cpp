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
        stamp.Date < lastStamp_.Date || (stamp.Date == lastStamp_.Date && stamp.Time <= lastStamp_.Time);
    if (notLater && lastStamp_.Date != 0) {
        stamp = lastStamp_;
        ++stamp.Time;
    }
    lastStamp_ = stamp;
    return stamp;
}

void TmnxCustomDemon::Send(const TEntity& Target, TSkolarMessageStream& Request, TSkolarMessageStream* Reply)
{
    Request.Stamp = NextStamp();
    if (!ownEntity_->IsAlive() || Target.Handle == 0)
        return;
    // a host that let one send run out of time is not waited for again until it sends something itself:
    // a stopped host must cost one answer limit, not one per request
    const bool toServer = Target.Handle == serverEntity_->Handle;
    if (toServer && serverSilent_)
        return;

    const std::string block = EncodeSkolarBlock(Request.Stamp, Request.Content());
    LinkSendResult result;
    {
        const SendScope scope(sendDepth_);
        result = SendCopyData(Target.Handle, ownEntity_->Handle, Request.Code, block);
    }
    // any other failure is silent: the request is left without a reply, as when the host has none to give
    if (toServer && result.Outcome == LinkSendResult::Status::TimedOut) {
        serverSilent_ = true;
        qWarning("host link: the host did not answer within the answer limit: %s", result.Error.c_str());
    }
    if (quitting_ && sendDepth_ == 0)
        deleteLater();

    const TTimeStamp stamp = Request.Stamp;
    for (auto it = pendingReplies_.begin(); it != pendingReplies_.end(); ++it) {
        if ((*it)->Stamp == stamp) {
            std::unique_ptr<TSkolarMessageStream> found = std::move(*it);
            pendingReplies_.erase(it);
            if (Reply)
                Reply->AssignFrom(*found);
            return;
        }
    }
}

void TmnxCustomDemon::Receive(uint32_t WParam, int32_t Tag, const std::string& Data)
{
    // after an accepted quit the component only waits to be freed; a send still running takes its reply
    if (quitting_ && Tag != msgReply)
        return;
    if (WParam != 0 && WParam == serverEntity_->Handle)
        serverSilent_ = false;
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
