#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Hidden link windows and copy-data messages between processes of the same user.
//
// A link window is a listening Unix-domain socket in the per-user link directory
// ($XDG_RUNTIME_DIR/sewella-link, else /tmp/sewella-link-<uid>), named by the window's handle, plus a small
// entry file beside it holding its class and title. The entry file stays locked (flock) while the window
// lives, so entries of crashed processes are recognised and removed. Everything runs on the thread that
// owns the QCoreApplication; nothing here is thread-safe.
//
// Incoming messages are dispatched from the Qt event loop (socket notifiers, for windows created while a
// QCoreApplication exists), from inside SendCopyData while it waits for its acknowledgement, and from
// ProcessLinkMessages. A connection that has not delivered its frame within the answer limit is dropped.
//
// The implementation is in three parts: the window directory (LinkDirectory.cpp: entries, handles, finding
// windows, the class registry), the receiver (LinkReceiver.cpp) and the sender (LinkSender.cpp); the wire
// format is in LinkTransport.h.

// The window procedure of a link window for one copy-data message: the sender's handle (wParam), the
// 32-bit tag (dwData) and the bytes. The message is acknowledged when the procedure returns; an exception
// thrown by it drops the message with a warning (the sender sees it as not delivered). The procedure may
// call SendCopyData (nested) and may destroy its own window.
using LinkWindowProc = std::function<void(uint32_t WParam, int32_t Tag, const std::string& Data)>;

struct LinkWindowCreation;

class LinkWindow {
public:
    // Creates a window with a fresh non-zero handle, unique among the live windows of this user. The result
    // says why when it cannot (a class or title longer than LinkMaxNameLength, an unusable link directory,
    // a socket error); a warning says it too. The class need not be registered.
    static LinkWindowCreation Create(const std::string& ClassName, const std::string& Title, LinkWindowProc Proc);

    // Removes the window: its entry disappears, connections not yet dispatched are closed (their senders see
    // "not delivered"). Safe inside the window's own procedure: the message being handled is still
    // acknowledged after the procedure returns.
    ~LinkWindow();

    LinkWindow(const LinkWindow&) = delete;
    LinkWindow& operator=(const LinkWindow&) = delete;

    uint32_t Handle() const;
    const std::string& ClassName() const;
    const std::string& Title() const;

    struct State;

private:
    explicit LinkWindow(std::shared_ptr<State> S);
    std::shared_ptr<State> state_;
};

struct [[nodiscard]] LinkWindowCreation {
    enum class Status {
        Created,
        NameTooLong,  // the class or the title is longer than LinkMaxNameLength
        Unusable,     // the link directory, the entry file or the socket cannot be used
    };
    Status Outcome = Status::Unusable;
    std::unique_ptr<LinkWindow> Window;  // set when Created
    std::string Error;                   // why not, with the system's text
};

// Class and title are each at most this many bytes.
inline constexpr size_t LinkMaxNameLength = 1024;

// Largest data block of one copy-data message.
inline constexpr uint32_t LinkMaxDataSize = 16u * 1024u * 1024u;

// Window classes of this process; names are compared ignoring ASCII letter case. A second registration of
// the same name is refused; unregistering a name that is not registered returns false.
struct [[nodiscard]] LinkClassRegistration {
    enum class Status {
        Registered,
        AlreadyRegistered,  // a class of that name, in any letter case, is registered already
    };
    Status Outcome = Status::AlreadyRegistered;
    std::string Error;  // why not: the system's words for a name that exists, as a window system says it

    explicit operator bool() const { return Outcome == Status::Registered; }
};
LinkClassRegistration RegisterLinkWindowClass(const std::string& ClassName);
[[nodiscard]] bool UnregisterLinkWindowClass(const std::string& ClassName);

// The handle of a live window whose class and title equal the ones given, ignoring ASCII letter case; an
// absent (nullopt) class or title matches any, an empty one only the empty one. 0 when there is none. With
// several matches the lowest handle wins; a match counts only while its socket accepts connections. Entries
// of crashed processes met on the way are removed.
uint32_t FindLinkWindow(const std::optional<std::string>& ClassName, const std::optional<std::string>& Title);

// True when Handle names a live link window (of any process of this user, this one included).
bool IsLinkWindow(uint32_t Handle);

// What became of one SendCopyData.
struct [[nodiscard]] LinkSendResult {
    enum class Status {
        Delivered,       // the receiver's window procedure handled the message
        NoSuchWindow,    // Target 0, or no window listens under that handle (any more)
        TooLarge,        // the data is larger than LinkMaxDataSize; nothing was sent
        OtherUser,       // the window belongs to another user; nothing was sent
        Dropped,         // the receiver dropped the message: its procedure threw, or its window closed first
        ConnectionLost,  // the connection broke before the answer came
        TimedOut,        // no answer within LinkAnswerTimeout()
        Failed,          // the link directory, a socket or a wait could not be used, or the answer was garbled
    };
    Status Outcome = Status::Failed;
    std::string Error;  // why not, with the system's text where a system call failed; empty when Delivered

    explicit operator bool() const { return Outcome == Status::Delivered; }
};

// Sends one copy-data message synchronously: connects to Target's window, writes the frame and waits for
// the acknowledgement, which the receiver sends after its window procedure has returned. While waiting,
// messages arriving at this process's own windows are dispatched (so a reply sent during the send reaches
// us before this returns), until the deadline; other Qt events are not processed. Gives up after
// LinkAnswerTimeout() in all. A send made by a procedure dispatched inside another send's wait ends by that send's
// deadline, but has at least half a second (at most the answer limit) however late it begins, so that a reply
// made as nested sends unwind goes out whole; past the first send's deadline nothing more is dispatched, so a chain
// of them ends within one answer limit and half a second, besides the procedures' own time. A nested send to a
// process that the outer send still waits for, and that has sent us nothing since, cannot be answered first and
// fails at once (TimedOut) instead of nesting another wait.
LinkSendResult SendCopyData(uint32_t Target, uint32_t WParam, int32_t Tag, const std::string& Data);

// The longest a SendCopyData waits for its answer; 10 seconds unless set. A receiver also drops a
// connection that has not delivered its whole frame within this time.
std::chrono::milliseconds LinkAnswerTimeout();
void SetLinkAnswerTimeout(std::chrono::milliseconds Timeout);

// Waits up to Timeout for messages arriving at this process's windows and dispatches them, without running
// the Qt event loop; returns once at least one was handed to a window procedure (0: only what is already
// there). Returns how many were. For programs and tests without an event loop.
int ProcessLinkMessages(std::chrono::milliseconds Timeout);

// The link directory, created with mode 0700 when missing. nullopt (and a warning) when it cannot be
// created or examined, is not a directory, belongs to another user or is writable by group or others;
// Error, when given, receives the explanation.
[[nodiscard]] std::optional<std::string> LinkDirectory(std::string* Error = nullptr);
