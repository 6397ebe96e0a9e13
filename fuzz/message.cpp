// Host-link messages as a peer can send them: the copy-data block decoded into a message, the entity record
// read from it, and the client component's handling of it. The component is linked to no host: its link
// window lives in a private directory that nobody else uses.

#include <fuzzer/FuzzedDataProvider.h>

#include <QCoreApplication>
#include <QStringList>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "hostlink/Entity.h"
#include "hostlink/SkolarMessageStream.h"
#include "hostlink/SkolarWire.h"
#include "hostlink/TarvosDemon.h"

namespace {

void Fail(const char* why)
{
    std::fprintf(stderr, "message harness: %s\n", why);
    std::abort();
}

// The client with its receiving end opened up: Receive is what the link window calls for every block.
class FuzzClient : public TmnxDemonClient {
public:
    FuzzClient() : TmnxDemonClient(nullptr, QStringList{QStringLiteral("fuzz_message")}) { }
    using TmnxCustomDemon::HandleMessage;
    using TmnxCustomDemon::Receive;
};

std::string PrivateDirectory;
QCoreApplication* Application = nullptr;
std::unique_ptr<FuzzClient> Client;
bool QuitAccepted = false;
bool AllowQuit = true;
int Warnings = 0;

void CountWarnings(QtMsgType, const QMessageLogContext&, const QString&)
{
    ++Warnings;
}

void NewClient()
{
    Client.reset();  // its window class is free again only when it has gone
    Client = std::make_unique<FuzzClient>();
    Client->OnQuitMsgReceived = [](TmnxCustomDemon*, bool, bool& Allow) {
        Allow = AllowQuit;
        QuitAccepted = QuitAccepted || Allow;
    };
    // What a program does with a message the component leaves to it: read an entity record from it.
    Client->OnGotAMessage = [](TmnxCustomDemon*, TSkolarMessageStream& Msg) {
        TEntity entity;
        entity.ReadFrom(Msg);
    };
}

void CleanUp()
{
    Client.reset();
    if (!PrivateDirectory.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(PrivateDirectory, ignored);
    }
}

// The entity record is all or nothing: a record that cannot be read leaves the entity as it was.
void ReadEntity(TSkolarMessageStream& Msg)
{
    TEntity entity;
    entity.Handle = 7;
    entity.MutexHandle = 9;
    entity.SetExeName("before.exe");
    entity.SetTitle("before");
    const int64_t size = Msg.Size();
    try {
        entity.ReadFrom(Msg);
    } catch (const EReadError&) {
        if (entity.Handle != 7 || entity.MutexHandle != 9 || entity.ExeName() != "before.exe" ||
            entity.Title() != "before")
            Fail("a truncated entity record changed the entity");
        return;
    }
    if (entity.ExeName().size() + entity.Title().size() + 16 > static_cast<size_t>(size))
        Fail("an entity record holds more than its message");
}

// Reads the message's items the way the requests and replies of the link do, in an order the input gives.
void ReadItems(TSkolarMessageStream& Msg, FuzzedDataProvider& Input)
{
    const int reads = Input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < reads; ++i) {
        const int64_t before = Msg.Position();
        const int item = Input.ConsumeIntegralInRange(0, 5);
        try {
            switch (item) {
            case 0: Msg.ReadInteger(); break;
            case 1: Msg.ReadByte(); break;
            case 2: Msg.ReadString(); break;
            case 3: Msg.ReadStringList(); break;
            case 4: Msg.ReadRest(); break;
            default: Msg.SetPosition(Input.ConsumeIntegral<int32_t>()); break;
            }
        } catch (const EReadError&) {
            // a fixed-size item is read whole or not at all (a string has read its length by then)
            if (item <= 1 && Msg.Position() != before)
                Fail("a failed read moved the position");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern =
        std::string(temporary != nullptr && temporary[0] == '/' ? temporary : "/tmp") + "/sewella-fuzz-message.XXXXXX";
    if (!mkdtemp(pattern.data()))
        Fail("cannot create a private directory");
    PrivateDirectory = pattern;
    // the link directory and the registry of this process only: no host of the user's takes part
    ::setenv("XDG_RUNTIME_DIR", PrivateDirectory.c_str(), 1);
    const std::string registry = PrivateDirectory + "/registry";
    std::filesystem::create_directory(registry);
    ::setenv("SEWELLA_REGISTRY_PATH", registry.c_str(), 1);
    qInstallMessageHandler(CountWarnings);
    Application = new QCoreApplication(*argc, *argv);  // lives as long as the process
    NewClient();
    std::atexit(CleanUp);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const int32_t codes[] = {msgQuit, msgReply, msgRegister, msgUnregister, msgQueryEntity, msgParams,
        msgExecute, msgGetFile, msgResolveFileName, msgQueryString, msgGetVariable};
    FuzzedDataProvider input(Data, Size);
    const uint32_t wParam = input.ConsumeIntegral<uint32_t>();
    const int32_t tag = input.ConsumeBool() ? input.PickValueInArray(codes) : input.ConsumeIntegral<int32_t>();
    AllowQuit = input.ConsumeBool();
    const bool direct = input.ConsumeBool();
    const size_t blockSize = input.ConsumeIntegralInRange<size_t>(0, input.remaining_bytes());
    const std::string block = input.ConsumeBytesAsString(blockSize);

    // Decoding: a block shorter than the stamp is no message; otherwise the content is the rest.
    TSkolarMessageStream decoded;
    const bool accepted = decoded.SetFromBlock(wParam, tag, block);
    if (accepted != (block.size() >= SkolarStampSize))
        Fail("a block was judged by something other than its length");
    if (accepted) {
        if (decoded.Content().size() != block.size() - SkolarStampSize || decoded.Entity().Handle != wParam ||
            decoded.Code != tag)
            Fail("the decoded message does not hold the block");
        ReadEntity(decoded);
        decoded.SetPosition(0);
        ReadItems(decoded, input);
    }

    // Handling: through the window's entry, or straight to the handler as a subclass would.
    if (direct && accepted) {
        auto message = std::make_unique<TSkolarMessageStream>();
        // a block shorter than its stamp leaves the message empty, which the handler must bear as well
        static_cast<void>(message->SetFromBlock(wParam, tag, block));
        try {
            Client->HandleMessage(message);
        } catch (const std::exception&) {
            // the window's entry drops such a message with a warning
        }
    } else {
        Client->Receive(wParam, tag, block);
    }
    if (Client->PendingReplies().size() > TmnxCustomDemon::MaxPendingReplies)
        Fail("unasked replies piled up past the limit");
    if (Client->ParamCount() < 0)
        Fail("the parameter list lost the program's line");

    if (QuitAccepted) {
        // an accepted quit frees the component from the event loop; here it is replaced at once
        QuitAccepted = false;
        NewClient();
    }
    return 0;
}
