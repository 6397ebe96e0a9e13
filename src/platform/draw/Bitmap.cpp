#include "platform/draw/Bitmap.h"

#include <new>
#include <stdexcept>
#include <string>

#include <QImageReader>
#include <QPainter>

namespace {

constexpr int kDotsPerMeter = 3780;  // 96 dots per inch

QImage MakeImage(int width, int height, const TDeviceScale& scale = {})
{
    if (width < 0 || height < 0)
        throw std::invalid_argument(
            "bitmap size " + std::to_string(width) + " x " + std::to_string(height) + " is negative");
    if (width == 0 || height == 0)
        return QImage();
    QImage image(scale.DeviceSize(width), scale.DeviceSize(height), QImage::Format_RGB32);
    if (image.isNull())
        throw std::bad_alloc();
    image.setDevicePixelRatio(scale.Factor);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(Qt::white);
    return image;
}

}  // namespace

TBitmap::TBitmap() : canvas_(&image_)
{
}

TBitmap::TBitmap(int width, int height, const TDeviceScale& scale)
    : image_(MakeImage(width, height, scale)), scale_(scale), canvas_(&image_)
{
}

void TBitmap::SetSize(int width, int height)
{
    if (width == Width() && height == Height())
        return;
    QImage next = MakeImage(width, height, Scale());
    if (!next.isNull() && !image_.isNull()) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), image_);
    }
    Replace(std::move(next));
}

void TBitmap::SetScale(const TDeviceScale& scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    Replace(MakeImage(Width(), Height(), scale));
}

void TBitmap::Replace(QImage next)
{
    image_ = std::move(next);
    canvas_.SetTarget(&image_);
}

void TBitmap::Assign(const TBitmap& other)
{
    if (&other != this)
        Assign(other.image_);
}

void TBitmap::Assign(const QImage& image)
{
    if (image.isNull()) {
        scale_ = {};
        Replace(QImage());
        return;
    }
    QImage copy = image.convertToFormat(QImage::Format_RGB32);
    if (copy.isNull())
        throw std::bad_alloc();
    scale_ = TDeviceScale::Of(copy.devicePixelRatio());
    copy.setDotsPerMeterX(kDotsPerMeter);
    copy.setDotsPerMeterY(kDotsPerMeter);
    Replace(std::move(copy));
}

bool TBitmap::LoadFromFile(const QString& fileName)
{
    QImageReader reader(fileName);
    QImage loaded = reader.read();
    if (loaded.isNull())
        return false;
    // transparent parts show white, as on a freshly created bitmap
    QImage flat(loaded.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return false;
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(QPoint(0, 0), loaded);
    }
    Assign(flat);
    return true;
}
