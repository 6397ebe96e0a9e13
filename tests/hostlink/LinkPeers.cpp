#include "LinkPeers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

Peer::Peer(const QString& Program, const QStringList& Arguments, const QProcessEnvironment& Environment)
{
    FProcess.setProcessEnvironment(Environment);
    FProcess.setProcessChannelMode(QProcess::SeparateChannels);
    FProcess.setReadChannel(QProcess::StandardOutput);
    FProcess.start(Program, Arguments);
    FProcess.waitForStarted(5000);
}

Peer::~Peer()
{
    Kill();
}

void Peer::Kill()
{
    if (FProcess.state() != QProcess::NotRunning) {
        FProcess.kill();
        FProcess.waitForFinished(5000);
    }
}

bool Peer::ReadMore(int TimeoutMs)
{
    if (FProcess.bytesAvailable() == 0 && !FProcess.waitForReadyRead(TimeoutMs))
        return false;
    FBuffer += FProcess.readAllStandardOutput().toStdString();
    size_t end;
    while ((end = FBuffer.find('\n')) != std::string::npos) {
        FLines.push_back(FBuffer.substr(0, end));
        FBuffer.erase(0, end + 1);
    }
    return true;
}

std::string Peer::WaitForLine(const std::string& Prefix, int TimeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        while (FCursor < FLines.size()) {
            const std::string& line = FLines[FCursor++];
            if (line.rfind(Prefix, 0) == 0)
                return line;
        }
        const qint64 left = TimeoutMs - timer.elapsed();
        if (left <= 0 || !ReadMore(static_cast<int>(left))) {
            if (FCursor >= FLines.size())
                return {};
        }
    }
}

bool Peer::HasSeen(const std::string& Prefix) const
{
    for (const std::string& line : FLines)
        if (line.rfind(Prefix, 0) == 0)
            return true;
    return false;
}

void Peer::Send(const std::string& Line)
{
    FProcess.write(QByteArray::fromStdString(Line + "\n"));
    FProcess.waitForBytesWritten(2000);
}

int Peer::WaitForExit(int TimeoutMs)
{
    if (FProcess.state() != QProcess::NotRunning && !FProcess.waitForFinished(TimeoutMs))
        return -1;
    while (ReadMore(0)) { }
    if (FProcess.exitStatus() != QProcess::NormalExit)
        return -2;
    return FProcess.exitCode();
}

std::string Peer::Output() const
{
    std::string all;
    for (const std::string& line : FLines)
        all += line + "\n";
    return all + FBuffer;
}

std::string Peer::ErrorOutput()
{
    FErrors += FProcess.readAllStandardError().toStdString();
    return FErrors;
}

LinkSandbox::LinkSandbox()
{
    QDir(FDir.path()).mkdir("run");
    QFile::setPermissions(FDir.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QProcessEnvironment LinkSandbox::Environment(const std::map<QString, QString>& Extra) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", FDir.filePath("run"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("LINKCLIENT_USE_SERVER");
    env.remove("LINKCLIENT_REFUSE_QUIT");
    env.remove("LINKCLIENT_MULTISTART");
    env.remove("LINKCLIENT_ANSWER_TIMEOUT_MS");
    for (const auto& [name, value] : Extra)
        env.insert(name, value);
    return env;
}

QString LinkSandbox::CopyClient(const QString& Name) const
{
    const QString target = FDir.filePath(Name);
    QFile::remove(target);
    QFile::copy(ClientProgram(), target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return target;
}

QString LinkSandbox::ClientProgram()
{
    return QStringLiteral(HOSTLINK_CLIENT_PROGRAM);
}

QString LinkSandbox::HostProgram()
{
    return QStringLiteral(HOSTLINK_HOST_PROGRAM);
}
