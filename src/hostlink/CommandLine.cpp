#include "hostlink/TarvosDemon.h"

#include "platform/os/AnsiText.h"
#include "platform/os/link/LinkWindow.h"
#include "platform/os/Registry.h"

namespace {

constexpr const char* ServerHandleSwitch = "/serverhandle=";
constexpr int ServerHandleSwitchLength = 14;

}  // namespace

std::string TmnxCustomDemon::ServerSuffix(const std::string& RegistryValue, const QStringList& CommandLine)
{
    if (!RegistryValue.empty() && RegistryValue != "00000000")
        return RegistryValue;
    std::string suffix = RegistryValue;
    for (qsizetype i = 1; i < CommandLine.size(); ++i) {
        const std::string arg = LowerAscii(CommandLine[i].toStdString());
        if (arg.compare(0, ServerHandleSwitchLength, ServerHandleSwitch) == 0)
            suffix = arg.substr(ServerHandleSwitchLength);
    }
    return suffix;
}

QStringList TmnxCustomDemon::FilterParams(const QStringList& CommandLine)
{
    QStringList params;
    for (qsizetype i = 0; i < CommandLine.size(); ++i) {
        if (i > 0 && CommandLine[i].startsWith(QLatin1String(ServerHandleSwitch), Qt::CaseSensitive))
            continue;
        params.append(CommandLine[i]);
    }
    return params;
}

void TmnxCustomDemon::FindServerWindow(const QStringList& CommandLine)
{
    const std::string registry =
        ReadRegistryString(RegistryRoot::LocalMachine, "\\Software\\Quellwerk\\tarvos\\demon", "ViewerHandle");
    const std::string suffix = ServerSuffix(registry, CommandLine);
    serverEntity_->Handle = FindLinkWindow(
        std::string(SkolarServerWindowClassPrefix) + suffix, std::string(SkolarServerWindowNamePrefix) + suffix);
}

QString TmnxCustomDemon::ParamStr(int Index) const
{
    if (Index < 0 || Index > ParamCount())
        throw ESkolar("Illegal \"ParamStr\" parameter: " + std::to_string(Index));
    if (Index == 0)
        return QString::fromStdString(ApplicationExeName());
    return params_[Index];
}
