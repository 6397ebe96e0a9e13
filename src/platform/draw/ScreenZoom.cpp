#include "platform/draw/ScreenZoom.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWindow>
#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformwindow.h>
#include <qpa/qwindowsysteminterface.h>

namespace {

// QT_SCALE_FACTOR as Qt reads it: it multiplies every screen's factor, the zoom's included.
double GlobalFactor()
{
    bool ok = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && factor > 0 ? factor : 1.0;
}

const char* const OwnFactorProperty = "sewella_own_screen_factor";

}  // namespace

// Qt keeps a factor per screen for exactly this, and only its private interface sets it while the program runs.
// A factor set there replaces the one Qt found for the screen (from its resolution or QT_SCREEN_SCALE_FACTORS),
// so that one is read before the first zoom and the zoom multiplies it.
void SetScreenZoom(QScreen& Screen, double Factor)
{
    QVariant own = Screen.property(OwnFactorProperty);
    if (!own.isValid()) {
        own = QHighDpiScaling::factor(&Screen) / GlobalFactor();
        Screen.setProperty(OwnFactorProperty, own);
    }
    QHighDpiScaling::setScreenFactor(&Screen, own.toDouble() * Factor);
    // the windows learn their new logical geometry from the window system's side, as after a move
    for (QWindow* window : QGuiApplication::allWindows()) {
        if (window->screen() == &Screen && window->handle() != nullptr)
            QWindowSystemInterface::handleGeometryChange<QWindowSystemInterface::SynchronousDelivery>(
                window, window->handle()->geometry());
    }
}
