#include "platform/draw/ScreenZoom.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformwindow.h>
#include <qpa/qwindowsysteminterface.h>

// Qt keeps a factor per screen for exactly this; only its private interface sets it while the program runs.
void SetScreenZoom(QScreen& Screen, double Factor)
{
    QHighDpiScaling::setScreenFactor(&Screen, Factor);
    // the windows learn their new logical geometry from the window system's side, as after a move
    for (QWindow* window : QGuiApplication::allWindows()) {
        if (window->screen() == &Screen && window->handle() != nullptr)
            QWindowSystemInterface::handleGeometryChange<QWindowSystemInterface::SynchronousDelivery>(
                window, window->handle()->geometry());
    }
}
