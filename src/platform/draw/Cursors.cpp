#include "platform/draw/Cursors.h"

#include <map>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "platform/draw/GuiApplication.h"

namespace {

struct CursorState {
    std::map<TCursor, QCursor> table;
    TCursor appCursor = crDefault;
    bool overrideActive = false;
};

// Never destroyed: cursors holding pixmaps must not be released after the
// application object is gone.
CursorState& State()
{
    static auto* state = new CursorState;
    return *state;
}

Qt::CursorShape ShapeOf(TCursor cursor)
{
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

// A magnifier with a sign inside, outlined in white so it shows on dark plots.
QCursor DrawZoomCursor(char sign)
{
    QPixmap pix(32, 32);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int pass = 0; pass < 2; ++pass) {
        p.setPen(QPen(pass == 0 ? Qt::white : Qt::black, pass == 0 ? 4 : 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRect(4, 4, 16, 16));
        p.drawLine(18, 18, 27, 27);
        switch (sign) {
        case '+':
            p.drawLine(8, 12, 16, 12);
            p.drawLine(12, 8, 12, 16);
            break;
        case '#':  // zoom window: a small frame
            p.drawRect(QRect(8, 8, 8, 8));
            break;
        default:  // zoom drag: arrows up and down
            p.drawLine(12, 7, 12, 17);
            p.drawLine(9, 10, 12, 7);
            p.drawLine(15, 10, 12, 7);
            p.drawLine(9, 14, 12, 17);
            p.drawLine(15, 14, 12, 17);
            break;
        }
    }
    p.end();
    return QCursor(pix, 12, 12);
}

bool LoadFromResource(const QString& name, QCursor& cursor)
{
    const QImage img = CursorPicture(name, qGuiApp->devicePixelRatio());
    if (img.isNull())
        return false;
    // hot spot in the middle, in logical pixels
    cursor = QCursor(QPixmap::fromImage(img), -1, -1);
    return true;
}

}  // namespace

// The picture drawn for the screen's device pixel ratio: "<name>@2x.png" beside "<name>.png" on a screen of
// ratio above 1, so the cursor stays crisp there.
QImage CursorPicture(const QString& name, qreal ratio)
{
    const QString base = QStringLiteral(":/cursors/") + name;
    if (ratio > 1) {
        QImage twice(base + QStringLiteral("@2x.png"));
        if (!twice.isNull()) {
            twice.setDevicePixelRatio(2);
            return twice;
        }
    }
    for (const char* ext : {".png", ".cur"}) {
        QImage img(base + QLatin1String(ext));
        if (!img.isNull())
            return img;
    }
    return {};
}

QCursor CursorOf(TCursor cursor)
{
    if (cursor > 0) {
        const auto& table = State().table;
        const auto it = table.find(cursor);
        return it != table.end() ? it->second : QCursor(Qt::ArrowCursor);
    }
    return QCursor(ShapeOf(cursor));
}

bool HasCursor(TCursor slot)
{
    return slot <= 0 || State().table.count(slot) != 0;
}

void SetCursorSlot(TCursor slot, const QCursor& cursor)
{
    if (slot > 0)
        State().table[slot] = cursor;
}

bool LoadCursorResource(TCursor slot, const QString& name)
{
    if (slot <= 0 || !HasGuiApplication())
        return false;
    QCursor cursor;
    if (!LoadFromResource(name, cursor)) {
        const QString key = name.toUpper();
        if (key == QLatin1String("CURHAND"))
            cursor = QCursor(Qt::OpenHandCursor);
        else if (key == QLatin1String("CURZOOMW"))
            cursor = DrawZoomCursor('#');
        else if (key == QLatin1String("CURZOOMD"))
            cursor = DrawZoomCursor('|');
        else if (key == QLatin1String("CURZOOMP"))
            cursor = DrawZoomCursor('+');
        else
            return false;
    }
    SetCursorSlot(slot, cursor);
    return true;
}

void SetAppCursor(TCursor cursor)
{
    CursorState& s = State();
    if (cursor == s.appCursor)
        return;
    s.appCursor = cursor;
    if (!HasGuiApplication())
        return;
    if (cursor == crDefault) {
        if (s.overrideActive)
            QGuiApplication::restoreOverrideCursor();
        s.overrideActive = false;
    } else if (s.overrideActive) {
        QGuiApplication::changeOverrideCursor(CursorOf(cursor));
    } else {
        QGuiApplication::setOverrideCursor(CursorOf(cursor));
        s.overrideActive = true;
    }
}

TCursor AppCursor()
{
    return State().appCursor;
}
