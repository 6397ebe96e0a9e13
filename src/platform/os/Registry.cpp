#include "platform/os/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <cstdlib>
#include <vector>

namespace {

QStringList SplitPath(const char* Variable, const QString& Fallback)
{
    const char* value = std::getenv(Variable);
    const QString text = value != nullptr && *value != '\0' ? QString::fromLocal8Bit(value) : Fallback;
    QStringList directories;
    for (const QString& entry : text.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(entry))
            directories << entry;
    return directories;
}

QStringList SearchPath(RegistryRoot Root)
{
    const QStringList overridden = SplitPath("SEWELLA_REGISTRY_PATH", QString());
    if (!overridden.isEmpty())
        return overridden;
    QStringList directories;
    if (Root == RegistryRoot::CurrentUser)
        directories << SplitPath("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"));
    directories << SplitPath("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    return directories;
}

}  // namespace

std::string ReadRegistryString(RegistryRoot Root, const std::string& Key, const std::string& Value)
{
    const QStringList parts = QString::fromStdString(Key).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() < 3 || parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0 || Value.empty())
        return {};
    for (const QString& part : parts)
        if (part.contains(QLatin1Char('/')) || part == QLatin1String("..") || part == QLatin1String("."))
            return {};
    const QString organisation = parts[1];
    const QString application = parts[2];
    const QString group = parts.mid(3).join(QLatin1Char('/'));
    const QString name = QString::fromStdString(Value);

    for (const QString& directory : SearchPath(Root)) {
        const QString file =
            directory + QLatin1Char('/') + organisation + QLatin1Char('/') + application + QStringLiteral(".ini");
        if (!QFileInfo(file).isFile())
            continue;
        QSettings settings(file, QSettings::IniFormat);
        if (!group.isEmpty())
            settings.beginGroup(group);
        if (!settings.contains(name))
            continue;
        const QVariant value = settings.value(name);
        // an unquoted value with commas comes back as a list
        if (value.typeId() == QMetaType::QStringList)
            return value.toStringList().join(QStringLiteral(", ")).toStdString();
        return value.toString().toStdString();
    }
    return {};
}
