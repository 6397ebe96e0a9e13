#include "LinkPeers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

Peer::Peer(const QString& Program, const QStringList& Arguments, const QProcessEnvironment& Environment)
{
    process_.setProcessEnvironment(Environment);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.setReadChannel(QProcess::StandardOutput);
    process_.start(Program, Arguments);
    process_.waitForStarted(5000);
}

Peer::~Peer()
{
    Kill();
}

void Peer::Kill()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool Peer::ReadMore(int TimeoutMs)
{
    if (process_.bytesAvailable() == 0 && !process_.waitForReadyRead(TimeoutMs))
        return false;
    buffer_ += process_.readAllStandardOutput().toStdString();
    size_t end;
    while ((end = buffer_.find('\n')) != std::string::npos) {
        lines_.push_back(buffer_.substr(0, end));
        buffer_.erase(0, end + 1);
    }
    return true;
}

std::string Peer::WaitForLine(const std::string& Prefix, int TimeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        while (cursor_ < lines_.size()) {
            const std::string& line = lines_[cursor_++];
            if (line.rfind(Prefix, 0) == 0)
                return line;
        }
        const qint64 left = TimeoutMs - timer.elapsed();
        if (left <= 0 || !ReadMore(static_cast<int>(left))) {
            if (cursor_ >= lines_.size())
                return {};
        }
    }
}

bool Peer::HasSeen(const std::string& Prefix) const
{
    for (const std::string& line : lines_)
        if (line.rfind(Prefix, 0) == 0)
            return true;
    return false;
}

void Peer::Send(const std::string& Line)
{
    process_.write(QByteArray::fromStdString(Line + "\n"));
    process_.waitForBytesWritten(2000);
}

int Peer::WaitForExit(int TimeoutMs)
{
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(TimeoutMs))
        return -1;
    while (ReadMore(0)) { }
    if (process_.exitStatus() != QProcess::NormalExit)
        return -2;
    return process_.exitCode();
}

std::string Peer::Output() const
{
    std::string all;
    for (const std::string& line : lines_)
        all += line + "\n";
    return all + buffer_;
}

std::string Peer::ErrorOutput()
{
    errors_ += process_.readAllStandardError().toStdString();
    return errors_;
}

LinkSandbox::LinkSandbox()
{
    QDir(dir_.path()).mkdir("run");
    QFile::setPermissions(dir_.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QProcessEnvironment LinkSandbox::Environment(const std::map<QString, QString>& Extra) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir_.filePath("run"));
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
    const QString target = dir_.filePath(Name);
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
