#include "app/ProgramGuard.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

void OpenStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open gives the lowest free descriptor, which is this one
        const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened != fd && opened >= 0)
            ::close(opened);
    }
}

void ReportFatal(const QString& What, const std::exception& Why)
{
    const QString text = What + QStringLiteral(": ") + QString::fromUtf8(Why.what());
    std::fprintf(stderr, "sewella: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
    const QString platform = QGuiApplication::platformName();
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) && platform != QLatin1String("offscreen") &&
        platform != QLatin1String("minimal")) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Sewella"), text, QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
}

bool TGuardedApplication::notify(QObject* Receiver, QEvent* Event)
{
    try {
        return QApplication::notify(Receiver, Event);
    } catch (const std::exception& e) {
        ReportFatal(QStringLiteral("the lesson stopped"), e);
    } catch (...) {
        ReportFatal(QStringLiteral("the lesson stopped"), std::runtime_error("an unknown error"));
    }
    QCoreApplication::exit(1);
    return false;
}
