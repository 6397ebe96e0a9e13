#include "app/LessonFrontDoor.h"

#include "platform/os/link/LinkWindow.h"

namespace {

const char* const FrontDoorClass = "SewellaLessonFront";

}  // namespace

TLessonFrontDoor::TLessonFrontDoor(std::function<void()> BringToFront)
{
    // what a knock carries does not matter: any message from this user's programs brings the lesson forward
    LinkWindowCreation creation = LinkWindow::Create(FrontDoorClass, std::string(),
        [bring = std::move(BringToFront)](uint32_t, int32_t, const std::string&) { bring(); });
    window_ = std::move(creation.Window);
}

TLessonFrontDoor::~TLessonFrontDoor() = default;

bool TLessonFrontDoor::Knock()
{
    const uint32_t door = FindLinkWindow(std::string(FrontDoorClass), std::nullopt);
    return door != 0 && SendCopyData(door, 0, 0, std::string()).Outcome == LinkSendResult::Status::Delivered;
}
