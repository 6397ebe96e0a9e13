#pragma once
// The chart's settings of one axis of one layer (TScaleProps, with TScalePropsHoriz for x and TScalePropsVert
// for y axes): the setters enforce the axis rules, the chart copies the result to its TScale.

#include <optional>

#include <QObject>
#include <QString>

#include "chart/ChartTransform.h"
#include "chart/ChartTypes.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "scale/Quarn_quarnbase.h"

class TScale;

// The smallest value a logarithmic axis accepts at either end.
constexpr double SmallestLogRangeValue = 1e-100;

// Every setting of an axis that is a plain value; the owned DateFormat record lives beside it.
struct ScaleAxisSettings {
    QString Caption;
    int CaptionPosX = 0;
    int CaptionPosY = 0;
    TAlignment CaptionAlignment = taCenter;
    TScaleUnitAnchor CaptionAnchor = uaSclTopLft;
    TColor ColorScale = clBlack;
    int DecPlaces = -2;
    bool Logarithmic = false;
    TFigType LabelType = ftNum;
    TFont Font;
    int MinTicks = 3;
    double RangeLow = 0.0;
    double RangeHigh = 1.0;
    bool ShortTicks = true;
    QString ScaleInscript;
    TScaleType ScaleType = sctXT;
    int ScalePosVert = 0;   // ScalePos while the type is sctYL or sctYR
    int ScalePosHoriz = 0;  // ScalePos while the type is sctXB or sctXT
    double MinRange = 1e-10;
    QString UserTickText;
    bool Visible = false;
};

// Settings of one chart axis. Every published setter notifies through OnChange, also when the value is
// unchanged or refused, unless its comment says otherwise. A fresh object is in its loading state, in which
// Logarithmic is taken without checks, until LoadingDone().
class TScaleProps : public TSettingsRecord {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int CaptionPosX READ CaptionPosX WRITE SetCaptionPosX)
    Q_PROPERTY(int CaptionPosY READ CaptionPosY WRITE SetCaptionPosY)
    Q_PROPERTY(TAlignment CaptionAlignment READ CaptionAlignment WRITE SetCaptionAlignment)
    Q_PROPERTY(TScaleUnitAnchor CaptionAnchor READ CaptionAnchor WRITE SetCaptionAnchor)
    Q_PROPERTY(TColor ColorScale READ ColorScale WRITE SetColorScale)
    Q_PROPERTY(TDTLabel* DateFormat READ DateFormat)
    Q_PROPERTY(int DecPlaces READ DecPlaces WRITE SetDecPlaces)
    Q_PROPERTY(bool Logarithmic READ Logarithmic WRITE SetLogarithmic)
    Q_PROPERTY(TFigType LabelType READ LabelType WRITE SetLabelType)
    Q_PROPERTY(TFont Font READ Font WRITE SetFont)
    Q_PROPERTY(int MinTicks READ MinTicks WRITE SetMinTicks)
    Q_PROPERTY(double RangeLow READ RangeLow WRITE SetRangeLow)
    Q_PROPERTY(double RangeHigh READ RangeHigh WRITE SetRangeHigh)
    Q_PROPERTY(bool ShortTicks READ ShortTicks WRITE SetShortTicks)
    Q_PROPERTY(QString ScaleInscript READ ScaleInscript WRITE SetScaleInscript)
    Q_PROPERTY(int ScalePos READ ScalePos WRITE SetScalePos)
    Q_PROPERTY(double MinRange READ MinRange WRITE SetMinRange)
    Q_PROPERTY(QString UserTickText READ UserTickText WRITE SetUserTickText)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    explicit TScaleProps(QObject* parent = nullptr);

    QString Caption() const { return settings_.Caption; }
    int CaptionPosX() const { return settings_.CaptionPosX; }
    int CaptionPosY() const { return settings_.CaptionPosY; }
    TAlignment CaptionAlignment() const { return settings_.CaptionAlignment; }
    TScaleUnitAnchor CaptionAnchor() const { return settings_.CaptionAnchor; }
    TColor ColorScale() const { return settings_.ColorScale; }
    TDTLabel* DateFormat() const { return dateFormat_; }
    int DecPlaces() const { return settings_.DecPlaces; }
    bool Logarithmic() const { return settings_.Logarithmic; }
    TFigType LabelType() const { return settings_.LabelType; }
    const TFont& Font() const { return settings_.Font; }
    int MinTicks() const { return settings_.MinTicks; }
    double RangeLow() const { return settings_.RangeLow; }
    double RangeHigh() const { return settings_.RangeHigh; }
    bool ShortTicks() const { return settings_.ShortTicks; }
    QString ScaleInscript() const { return settings_.ScaleInscript; }
    int ScalePos() const;
    double MinRange() const { return settings_.MinRange; }
    QString UserTickText() const { return settings_.UserTickText; }
    bool Visible() const { return settings_.Visible; }
    ::TScaleType ScaleType() const { return settings_.ScaleType; }
    bool Loading() const { return loading_; }
    // All plain settings at once, as the chart copies them to its scale.
    const ScaleAxisSettings& Settings() const { return settings_; }

    void SetCaption(const QString& value);
    void SetCaptionPosX(int value);
    void SetCaptionPosY(int value);
    void SetCaptionAlignment(TAlignment value);
    void SetCaptionAnchor(TScaleUnitAnchor value);
    void SetColorScale(TColor value);
    // Copies the record's seven settings into the owned one (which has no notification of its own).
    void SetDateFormat(const TDTLabel& value);
    // Limited to -3..12.
    void SetDecPlaces(int value);
    // Once loaded, true is refused while either range end is below SmallestLogRangeValue or the labels are
    // ftDateTime.
    void SetLogarithmic(bool value);
    // ftDateTime also makes the axis linear; ftTime also sets DecPlaces to 4.
    void SetLabelType(TFigType value);
    // The font's settings are copied into the owned font.
    void SetFont(const TFont& value);
    void SetMinTicks(int value);
    // A range end set closer than MinRange to the other end moves the other end to MinRange away; on a
    // logarithmic axis a value that would leave an end below SmallestLogRangeValue is refused.
    void SetRangeLow(double value);
    void SetRangeHigh(double value);
    void SetShortTicks(bool value);
    void SetScaleInscript(const QString& value);
    // Kept per orientation: the slot of the present scale type is written.
    void SetScalePos(int value);
    // Values at or below 1e-100 are refused. The range is widened about its centre when it is narrower than
    // the new value; only then does the setter notify.
    void SetMinRange(double value);
    void SetUserTickText(const QString& value);
    void SetVisible(bool value);

    // The chart's own updates: store without rules and without notifying.
    void SetScaleType(::TScaleType value) { settings_.ScaleType = value; }
    void StoreRange(double low, double high);
    // Ends the loading state (the chart's form has been read).
    void LoadingDone() { loading_ = false; }

protected:
    // Sets the scale type, then stores location and notifies: the descendants' ScaleLocation.
    template <typename Location> void StoreLocation(Location& field, Location value, ::TScaleType type)
    {
        settings_.ScaleType = type;
        Store(field, value, Unchanged::Apply);
    }

private:
    // Stores the new ends, or refuses them on a logarithmic axis when the named changed end is too small.
    void StoreRangeEnds(double low, double high, double lowestChangedEnd);

    ScaleAxisSettings settings_;
    TDTLabel* dateFormat_;
    bool loading_ = true;
};

// An x axis: slTop draws the scale along the top of the plot area (sctXB), slBottom along its bottom (sctXT).
class TScalePropsHoriz : public TScaleProps {
    Q_OBJECT
    Q_PROPERTY(TScaleLocationHoriz ScaleLocation READ ScaleLocation WRITE SetScaleLocation)

public:
    explicit TScalePropsHoriz(QObject* parent = nullptr);

    TScaleLocationHoriz ScaleLocation() const { return location_; }
    // Stored with the matching scale type.
    void SetScaleLocation(TScaleLocationHoriz value);

private:
    // the default leaves the scale type alone: the chart sets it
    TScaleLocationHoriz location_ = slBottom;
};

// A y axis: slLeft draws the scale along the left edge of the plot area (sctYR), slRight along its right (sctYL).
class TScalePropsVert : public TScaleProps {
    Q_OBJECT
    Q_PROPERTY(TScaleLocationVert ScaleLocation READ ScaleLocation WRITE SetScaleLocation)

public:
    explicit TScalePropsVert(QObject* parent = nullptr);

    TScaleLocationVert ScaleLocation() const { return location_; }
    // Stored with the matching scale type.
    void SetScaleLocation(TScaleLocationVert value);

private:
    TScaleLocationVert location_ = slLeft;
};

// The margins a chart gives the scale control of an axis; a margin without a value is left as it is.
struct HostedScaleMargins {
    std::optional<int> Top, Bottom, Left, Right;
};

// The base line stands ScalePos pixels outside its edge of the plot; the two margins along the axis follow the
// plot, the fourth is left alone.
HostedScaleMargins HostedScaleMarginsOf(const TScaleProps& props, const ChartGeometry& geometry);

// Copies an axis's settings to its scale control: the scale type, the range, Visible, the caption settings,
// colour, label settings, font (in the scale colour), date format, then the margins given. The scale paints at
// most once, at the end, and only if it was not suspended.
void CopyScalePropsTo(const TScaleProps& props, TScale& scale, const HostedScaleMargins& margins = {});
