// Draws the chart's four cursor pictures (a hand, and a magnifier for the zoom window, the zoom drag and the
// zoom position) at 1x and at 2x from the same outlines, so the 2x pictures are drawn, not enlarged:
//   draw-cursors <directory>   writes CURHAND.png, CURHAND@2x.png, ... there.
// The pictures in src/chart/cursors were made with it. Every picture is 32 by 32 logical pixels with its hot
// spot in the middle.

#include <cstdio>
#include <functional>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int Size = 32;

// Draws Shape twice: a white halo, so the cursor shows on dark plots, then the black line over it.
void Stroke(QPainter& p, double width, const std::function<void()>& shape)
{
    p.setPen(QPen(Qt::white, width + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    shape();
    p.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    shape();
}

QPainterPath HandOutline()
{
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    hand.addRoundedRect(QRectF(9, 14, 15, 13), 4, 4);  // palm
    const double tops[] = {6, 4, 5, 8};
    for (int i = 0; i < 4; ++i)
        hand.addRoundedRect(QRectF(9 + i * 3.75, tops[i], 3.5, 18 - tops[i]), 1.75, 1.75);
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-1.75, -6, 3.5, 10), 1.75, 1.75);
    hand.addPath(QTransform().translate(8.5, 19).rotate(-40).map(thumb));
    return hand.simplified();
}

void DrawHand(QPainter& p)
{
    const QPainterPath hand = HandOutline();
    Stroke(p, 1, [&] { p.drawPath(hand); });
    p.fillPath(hand, Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(hand);
}

// The lens centred on the hot spot, its handle towards the lower right, and Sign drawn inside the lens in
// one-pixel lines on pixel centres, without smoothing, so it stays sharp at 1x.
void DrawMagnifier(QPainter& p, const std::function<void()>& sign)
{
    const QPointF centre(Size / 2.0, Size / 2.0);
    Stroke(p, 3, [&] { p.drawLine(QPointF(21.5, 21.5), QPointF(29, 29)); });
    p.setBrush(QColor(255, 255, 255, 230));
    Stroke(p, 1.5, [&] { p.drawEllipse(centre, 7.5, 7.5); });
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    sign();
}

void DrawArrowHead(QPainter& p, QPointF tip, QPointF back1, QPointF back2)
{
    p.drawLine(tip, back1);
    p.drawLine(tip, back2);
}

// A frame shown by its four corners: the window the drag draws.
void DrawZoomWindow(QPainter& p)
{
    DrawMagnifier(p, [&] {
        const double l = 12.5, t = 12.5, r = 19.5, b = 19.5, k = 2;
        p.drawPolyline(QPolygonF({{l, t + k}, {l, t}, {l + k, t}}));
        p.drawPolyline(QPolygonF({{r - k, t}, {r, t}, {r, t + k}}));
        p.drawPolyline(QPolygonF({{r, b - k}, {r, b}, {r - k, b}}));
        p.drawPolyline(QPolygonF({{l + k, b}, {l, b}, {l, b - k}}));
    });
}

// Arrows in the four directions: each direction of the drag zooms one axis.
void DrawZoomDrag(QPainter& p)
{
    DrawMagnifier(p, [&] {
        p.drawLine(QPointF(16.5, 10.5), QPointF(16.5, 21.5));
        p.drawLine(QPointF(10.5, 16.5), QPointF(21.5, 16.5));
        DrawArrowHead(p, {16.5, 10.5}, {14.5, 12.5}, {18.5, 12.5});
        DrawArrowHead(p, {16.5, 21.5}, {14.5, 19.5}, {18.5, 19.5});
        DrawArrowHead(p, {10.5, 16.5}, {12.5, 14.5}, {12.5, 18.5});
        DrawArrowHead(p, {21.5, 16.5}, {19.5, 14.5}, {19.5, 18.5});
    });
}

// A plus: zoom into a window whose axes keep their direction.
void DrawZoomPosition(QPainter& p)
{
    DrawMagnifier(p, [&] {
        p.drawLine(QPointF(16.5, 12.5), QPointF(16.5, 20.5));
        p.drawLine(QPointF(12.5, 16.5), QPointF(20.5, 16.5));
        p.drawLine(QPointF(15.5, 12.5), QPointF(15.5, 20.5));
        p.drawLine(QPointF(12.5, 15.5), QPointF(20.5, 15.5));
    });
}

bool Write(const QString& directory, const QString& name, const std::function<void(QPainter&)>& draw)
{
    for (const int scale : {1, 2}) {
        QImage image(Size * scale, Size * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.scale(scale, scale);
        draw(p);
        p.end();
        const QString file = name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
        if (!image.save(QDir(directory).filePath(file))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw-cursors <directory>\n");
        return 2;
    }
    const QString directory = QString::fromLocal8Bit(argv[1]);
    const bool written = Write(directory, QStringLiteral("CURHAND"), DrawHand) &&
        Write(directory, QStringLiteral("CURZOOMW"), DrawZoomWindow) &&
        Write(directory, QStringLiteral("CURZOOMD"), DrawZoomDrag) &&
        Write(directory, QStringLiteral("CURZOOMP"), DrawZoomPosition);
    return written ? 0 : 1;
}
