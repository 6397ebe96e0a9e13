#include "platform/draw/GuiApplication.h"

#include <stdexcept>

#include <QApplication>

bool HasGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

void EnsureGuiApplication()
{
    if (HasGuiApplication())
        return;
    if (QCoreApplication::instance() != nullptr)
        throw std::logic_error("a non-GUI application exists; drawing needs a QApplication created first");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "sewella";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}
