#pragma once
// Without a host, a second start of the lesson has no other way to reach the first one: the first lesson opens a
// link window of its own class, and a second start knocks there before it ends, so that the running lesson comes
// to the front.

#include <functional>
#include <memory>

class LinkWindow;

class TLessonFrontDoor {
public:
    // The first lesson: BringToFront runs on every knock. Without a usable link folder there is no door.
    explicit TLessonFrontDoor(std::function<void()> BringToFront);
    ~TLessonFrontDoor();
    TLessonFrontDoor(const TLessonFrontDoor&) = delete;
    TLessonFrontDoor& operator=(const TLessonFrontDoor&) = delete;

    // A second start: asks the running lesson to come to the front; false when no lesson answered.
    static bool Knock();

private:
    std::unique_ptr<LinkWindow> window_;
};
