#include "app/AppIcon.h"

#include <QPainter>

namespace {

constexpr int Modulus = 17;

}  // namespace

QImage SewellaIconImage(int Size)
{
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(Size / 64.0, Size / 64.0);
    painter.setPen(QPen(QColor(0x1f, 0x3a, 0x93), 3));
    painter.setBrush(QColor(0xff, 0xf8, 0xe7));
    painter.drawRoundedRect(QRectF(2.5, 2.5, 59, 59), 10, 10);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x80, 0x00, 0x00));
    // the generator's successor pairs: x to the right, the next value upwards
    for (int x = 0; x < Modulus; ++x) {
        const int y = (1 + 4 * x) % Modulus;
        painter.drawEllipse(QPointF(10 + x * 2.75, 54 - y * 2.75), 2.2, 2.2);
    }
    return image;
}

QIcon SewellaIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(SewellaIconImage(size)));
    return icon;
}
