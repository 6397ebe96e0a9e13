#include "scale/ScaleGeometry.h"

#include <cmath>

#include "scale/Rounding.h"

TickSettings TickSettingsOf(const ScaleSettings& settings, const DateLabelFormat& dateFormat)
{
    TickSettings t;
    t.low = settings.rangeLow;
    t.high = settings.rangeHigh;
    t.minTicks = settings.minTicks;
    t.shortTicks = settings.shortTicks;
    t.vertical = settings.IsVertical();
    t.logarithmic = settings.logarithmic;
    t.labelType = settings.labelType;
    t.decPlaces = settings.decPlaces;
    t.inscript = settings.scaleInscript;
    t.userTickText = settings.userTickText;
    t.dateFormat = dateFormat;
    return t;
}

ScaleExtent ScaleGeometry::AlongAxis() const
{
    return IsVertical() ? ScaleExtent{height_, s_.marginTop, s_.marginBottom}
                        : ScaleExtent{width_, s_.marginLeft, s_.marginRight};
}

ScaleExtent ScaleGeometry::AcrossAxis() const
{
    return IsVertical() ? ScaleExtent{width_, s_.marginLeft, s_.marginRight}
                        : ScaleExtent{height_, s_.marginTop, s_.marginBottom};
}

TPoint ScaleGeometry::At(int along, int across) const
{
    return IsVertical() ? TPoint{across, along} : TPoint{along, across};
}

int ScaleGeometry::Side() const
{
    switch (s_.scaleType) {
    case sctXT:
    case sctYL: return 1;
    case sctXB:
    case sctYR: return -1;
    }
    return 0;
}

int ScaleGeometry::Outward(int base, int gap, int extent) const
{
    return Side() > 0 ? base + gap : base - extent - gap;
}

int ScaleGeometry::BasePosition(TPoint origin) const
{
    const ScaleExtent across = AcrossAxis();
    return (IsVertical() ? origin.X : origin.Y) + (Side() > 0 ? across.First() : across.Last());
}

ScaleTransform TransformFor(const ScaleGeometry& geometry, const ScaleSettings& s, ScaleTransform previous)
{
    const ScaleExtent along = geometry.AlongAxis();
    const double span = along.Last() - along.First();
    if (span <= 0)
        return {0.0, along.length / 2.0};
    // horizontal scales run from the low end rightwards, vertical ones from the high end down
    const double from = s.IsVertical() ? s.rangeHigh : s.rangeLow;
    const double to = s.IsVertical() ? s.rangeLow : s.rangeHigh;
    ScaleTransform t = previous;
    if (!s.logarithmic) {
        t.factor = span / (to - from);
        t.offset = along.First() - from * t.factor;
    } else if (s.rangeHigh > 0 && s.rangeLow > 0) {
        t.factor = span / (std::log(to) - std::log(from));
        t.offset = along.First() - std::log(from) * t.factor;
    }
    return t;
}

int ValueToPixel(const ScaleTransform& transform, const ScaleSettings& settings, int width, double value)
{
    double p;
    if (!settings.logarithmic)
        p = transform.factor * value + transform.offset;
    else if (value > SmallestLogValue)
        p = transform.factor * std::log(value) + transform.offset;
    else
        p = settings.rangeHigh >= settings.rangeLow ? 0.0 : width;
    if (std::isnan(p))
        return 0;
    return RoundToPixel(p);
}
