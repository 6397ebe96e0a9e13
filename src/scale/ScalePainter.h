#pragma once
// The painter of an axis: draws a given set of ticks with the scale's labels, caption, base line,
// background and frame onto a canvas, raising the scale's events as it goes.

#include <functional>

#include <QObject>

#include "platform/draw/Canvas.h"
#include "scale/ScaleGeometry.h"
#include "scale/TickRules.h"

using TScaleRenderEvent = std::function<void(QObject* Sender, TCanvas& Canvas)>;
using TScaleTickDrawnEvent = std::function<void(
    QObject* Sender, TCanvas& Canvas, TScaleType ScaleType, double CurrentTickPos, int ChartX, int ChartY)>;

// What one painting draws. The settings and the transform are read as the painting goes, so
// what an event handler changes shows in the rest of the picture.
struct ScaleScene {
    const ScaleSettings& settings;
    const ScaleTransform& transform;
    int width;
    int height;
    const TFont& font;
    const ScaleTicks& ticks;
};

class ScalePainter {
public:
    // The events are the scale's own members, read when they are raised; sender is the scale.
    ScalePainter(QObject* sender, const TScaleTickDrawnEvent& tickDrawn, const TScaleRenderEvent& afterRendered)
        : sender_(sender), tickDrawn_(tickDrawn), afterRendered_(afterRendered)
    {
    }

    // Draws the scene with its top-left corner at origin: a transparent scale straight onto the
    // canvas, an opaque one on a bitmap of its own with background and frame, then copied.
    void Paint(TCanvas& canvas, TPoint origin, const ScaleScene& scene) const;

private:
    // One painting's scene with the painter; every step draws through it.
    class Pass;

    QObject* sender_;
    const TScaleTickDrawnEvent& tickDrawn_;
    const TScaleRenderEvent& afterRendered_;
};
