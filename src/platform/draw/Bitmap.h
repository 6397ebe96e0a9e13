#pragma once

// An off-screen picture with its own canvas: a QImage in Format_RGB32. At a scale other than 1 the image holds
// the device pixels and carries the scale as its device pixel ratio; sizes are logical.

#include <QImage>
#include <QString>

#include "platform/draw/Canvas.h"

class TBitmap {
public:
    TBitmap();
    // A new bitmap is white. Negative sizes, or a size the system cannot
    // allocate, throw std::invalid_argument / std::bad_alloc; 0 is allowed.
    TBitmap(int width, int height, const TDeviceScale& scale = {});
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return canvas_.Width(); }
    int Height() const { return canvas_.Height(); }
    const TDeviceScale& Scale() const { return scale_; }
    // A new scale makes a new white picture of the same logical size.
    void SetScale(const TDeviceScale& scale);
    bool Empty() const { return image_.isNull(); }

    // Keeps the overlapping part of the picture; new parts are white.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }

    TCanvas& Canvas() { return canvas_; }
    const TCanvas& Canvas() const { return canvas_; }
    const QImage& Image() const { return image_; }

    // Copies the picture and its scale (not the canvas state).
    void Assign(const TBitmap& other);
    void Assign(const QImage& image);

    // BMP, PNG, JPEG and whatever else Qt reads. On failure the bitmap is
    // unchanged and false is returned.
    [[nodiscard]] bool LoadFromFile(const QString& fileName);

private:
    // Every change of the picture goes through here, so the canvas sees it.
    void Replace(QImage next);

    QImage image_;
    TDeviceScale scale_;  // kept while the picture is empty, too
    TCanvas canvas_;
};
