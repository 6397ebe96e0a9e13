#include "platform/draw/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>

QUrl ShellUrl(const QString& address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return {};
    if (QFileInfo::exists(text))
        return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + text, QUrl::StrictMode);
    const QUrl url(text, QUrl::StrictMode);
    // a one-letter scheme is a drive letter
    if (!url.isValid() || url.scheme().size() < 2)
        return {};
    return url;
}

bool OpenUrl(const QString& address)
{
    const QUrl url = ShellUrl(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}
