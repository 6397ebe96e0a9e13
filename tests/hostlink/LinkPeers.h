#pragma once

// Started helper processes for the multi-process tests: the stand-in host and the test client. Each runs in
// a private link directory, is read line by line, and is always ended with the test.

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <map>
#include <string>
#include <vector>

class Peer {
public:
    Peer(const QString& Program, const QStringList& Arguments, const QProcessEnvironment& Environment);
    ~Peer();
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // Waits for the next line that begins with Prefix (lines before it are passed over) and returns it,
    // or "" after the timeout.
    std::string WaitForLine(const std::string& Prefix, int TimeoutMs = 5000);
    // Whether any line read so far begins with Prefix.
    bool HasSeen(const std::string& Prefix) const;
    void Send(const std::string& Line);
    // The exit code, or -1 when the process still runs after the timeout.
    int WaitForExit(int TimeoutMs = 5000);
    void Kill();
    qint64 Pid() const { return process_.processId(); }
    std::string Output() const;
    // Everything the process wrote to standard error so far.
    std::string ErrorOutput();

private:
    bool ReadMore(int TimeoutMs);

    QProcess process_;
    std::string buffer_;
    std::string errors_;
    std::vector<std::string> lines_;
    size_t cursor_ = 0;
};

// A private link directory and the programs' paths.
class LinkSandbox {
public:
    LinkSandbox();
    QProcessEnvironment Environment(const std::map<QString, QString>& Extra = {}) const;
    QString Path(const QString& Name) const { return dir_.filePath(Name); }
    // A copy of the test client under another name, so that its dictionary and mutex names follow.
    QString CopyClient(const QString& Name) const;
    static QString ClientProgram();
    static QString HostProgram();

private:
    QTemporaryDir dir_;
};
