#pragma once

// What keeps the program from ending by abort: its standard streams, a last line of defence against
// exceptions in event handlers, and one way to report what makes it stop.

#include <QApplication>

#include <exception>

// Opens /dev/null on any of the descriptors 0 to 2 that is closed, so that no file the program opens later
// (a link entry, a dictionary) becomes its standard output and is overwritten by what it prints. Call first.
void OpenStandardStreams();

// Says why the program cannot go on: one line on standard error always, and a message box when there is a
// display that someone can see (not the offscreen platform).
void ReportFatal(const QString& What, const std::exception& Why);

// An exception that escapes an event handler ends the program through ReportFatal with exit status 1,
// never through std::terminate.
class TGuardedApplication : public QApplication {
public:
    TGuardedApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) { }
    bool notify(QObject* Receiver, QEvent* Event) override;
};
