#pragma once
// Shared base of the component library: the enumerations several controls use,
// the library's exceptions, the 3-D frame drawing routine and the small settings records.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include <QMetaType>
#include <QObject>
#include <QString>

#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "scale/SettingStore.h"

// Each enumeration is stored as a byte.

enum TColorScheme : std::uint8_t { csBWG, csSystem };

enum TFrameStyle : std::uint8_t { fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved };

enum TFigType : std::uint8_t { ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText };

enum TScaleType : std::uint8_t { sctXB, sctXT, sctYL, sctYR };

enum TShadowStyle : std::uint8_t { ssFlying, ssBox };

enum TCrossHMode : std::uint8_t { chOff, chHoriz, chVert, chBoth };

enum TMouseActMode : std::uint8_t {
    maNone,
    maPan,
    maPanHoriz,
    maPanVert,
    maRubberBand,
    maZoom,
    maZoomWind,
    maZoomWindPos,
    maZoomDrag,
    maDragCrossH,
    maDragLabel,
    maRotate,
    maRotAndZoom,
    maRotXOnly,
    maRotZOnly
};

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

enum TVerticalAlignment : std::uint8_t { vaTop, vaCenter, vaBottom };

// Where a scale's caption is anchored along the scale.
enum TScaleUnitAnchor : std::uint8_t { uaSclTopLft, uaSclCenter, uaSclBotRgt };

enum TTxtLblAttachMode : std::uint8_t { tlamNone, tlamXOnly, tlamYOnly, tlamBoth };

enum TTxtLblMode : std::uint8_t { tlOff, tlsimple, tlBox, tlUnderline, tlShadow };

// Settings of calendar and time-of-day labels (TDTLabel).
enum TTimeFormat : std::uint8_t { tfHHMMSS, tfHHhMM, tfAMPM };
enum TYearLength : std::uint8_t { ylNone, ylYY, ylYYYY };
enum TDateOrder : std::uint8_t { doMMDDYY, doDDMMYY, doYYMMDD };
enum TDateForTime : std::uint8_t { dtNone, dtOnePerChart, dtOnePerDay, dtAllTicks };

Q_DECLARE_METATYPE(TColorScheme)
Q_DECLARE_METATYPE(TFrameStyle)
Q_DECLARE_METATYPE(TFigType)
Q_DECLARE_METATYPE(TScaleType)
Q_DECLARE_METATYPE(TShadowStyle)
Q_DECLARE_METATYPE(TCrossHMode)
Q_DECLARE_METATYPE(TMouseActMode)
Q_DECLARE_METATYPE(TAlignment)
Q_DECLARE_METATYPE(TVerticalAlignment)
Q_DECLARE_METATYPE(TScaleUnitAnchor)
Q_DECLARE_METATYPE(TTxtLblAttachMode)
Q_DECLARE_METATYPE(TTxtLblMode)
Q_DECLARE_METATYPE(TTimeFormat)
Q_DECLARE_METATYPE(TYearLength)
Q_DECLARE_METATYPE(TDateOrder)
Q_DECLARE_METATYPE(TDateForTime)

// The colours of a control's 3-D frame: the dark outline, and the shadow and highlight lines that
// follow the colour scheme.
struct TFrameColors {
    TColor frame = clBlack;
    TColor shadow = clGray;
    TColor highlight = clWhite;
};

// csSystem takes the window system's button shadow and highlight; csBWG black, grey and white.
TFrameColors FrameColorsOf(TColorScheme scheme);

// Base of every exception the component library raises; the message is English.
class EQuarnError : public std::runtime_error {
public:
    explicit EQuarnError(const std::string& message);
    ~EQuarnError() override;
};

// Raised by the chart control.
class EQuarnRChartError : public EQuarnError {
public:
    explicit EQuarnRChartError(const std::string& message);
    ~EQuarnRChartError() override;
};

// The library's change notification: called with the object that changed.
using TNotifyEvent = std::function<void(QObject* Sender)>;

// Base of the library's settings records. A record does not paint: its owner hooks OnChange,
// which is the record's "repaint", and every setter ends in Store.
class TSettingsRecord : public QObject {
public:
    TNotifyEvent OnChange;

protected:
    using QObject::QObject;

    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }
    template <typename T, typename V> void Store(T& field, V&& value, Unchanged unchanged)
    {
        StoreSetting(field, std::forward<V>(value), unchanged, [this] { Changed(); });
    }
};

// The seven settings of a date/time label record as one plain value; its defaults are the ones
// a scale starts with (tfHHMMSS, "-", ":", ylYYYY, month names, doDDMMYY, dtOnePerDay).
struct DateLabelFormat {
    TTimeFormat TimeFormat = tfHHMMSS;
    char DateSeparator = '-';
    char TimeSeparator = ':';
    TYearLength YearLength = ylYYYY;
    bool MonthName = true;
    TDateOrder DateOrder = doDDMMYY;
    TDateForTime DateForTime = dtOnePerDay;
};

// Settings of calendar and time-of-day labels, owned by a scale (as DateFormat) or by the
// chart's per-axis settings. A fresh record has every field zero; owners call
// ApplyScaleDefaults() before connecting OnChange.
class TDTLabel : public TSettingsRecord {
    Q_OBJECT
    Q_PROPERTY(TTimeFormat TimeFormat READ TimeFormat WRITE SetTimeFormat)
    Q_PROPERTY(char DateSeparator READ DateSeparator WRITE SetDateSeparator)
    Q_PROPERTY(char TimeSeparator READ TimeSeparator WRITE SetTimeSeparator)
    Q_PROPERTY(TYearLength YearLength READ YearLength WRITE SetYearLength)
    Q_PROPERTY(bool MonthName READ MonthName WRITE SetMonthName)
    Q_PROPERTY(TDateOrder DateOrder READ DateOrder WRITE SetDateOrder)
    Q_PROPERTY(TDateForTime DateForTime READ DateForTime WRITE SetDateForTime)

public:
    explicit TDTLabel(QObject* parent = nullptr);

    ::TTimeFormat TimeFormat() const { return format_.TimeFormat; }
    char DateSeparator() const { return format_.DateSeparator; }
    char TimeSeparator() const { return format_.TimeSeparator; }
    ::TYearLength YearLength() const { return format_.YearLength; }
    bool MonthName() const { return format_.MonthName; }
    ::TDateOrder DateOrder() const { return format_.DateOrder; }
    ::TDateForTime DateForTime() const { return format_.DateForTime; }
    // All seven settings, as the tick rules take them.
    const DateLabelFormat& Format() const { return format_; }

    // TimeFormat and DateOrder notify even when unchanged; the others only on a change.
    void SetTimeFormat(::TTimeFormat value);
    void SetDateSeparator(char value);
    void SetTimeSeparator(char value);
    void SetYearLength(::TYearLength value);
    void SetMonthName(bool value);
    void SetDateOrder(::TDateOrder value);
    void SetDateForTime(::TDateForTime value);

    // Stores the values a scale starts with (DateLabelFormat's defaults) without notifying.
    void ApplyScaleDefaults();
    // Copies every setting from source, then notifies once.
    void Assign(const TDTLabel& source);

private:
    DateLabelFormat format_{tfHHMMSS, 0, 0, ylNone, false, doMMDDYY, dtNone};
};

// One-pixel outline through (left, top), (left, bottom), (right, bottom), (right, top) with
// the current pen; unlike Rectangle it includes the right and bottom edges.
void DrawRectOutline(TCanvas& canvas, int left, int top, int right, int bottom);

// The 3-D frame of the library's controls: two one-pixel rings inside left..right x top..bottom
// (both edges included), each ring light on one side and dark on the other. fsSimple draws one
// outline in the simple colour; fsNone and unknown styles draw nothing. The pen colour is
// restored afterwards.
void DrawFrame(TCanvas& canvas, TFrameStyle style, int left, int top, int right, int bottom, TColor simpleColor,
    TColor darkColor, TColor shadowColor, TColor faceColor, TColor highlightColor);

// The chart draws in the layers 1..16; crosshairs and text labels each name one.
constexpr int FirstChartLayer = 1;
constexpr int LastChartLayer = 16;

// A crosshair's settings; the chart creates one per crosshair and draws it.
class TCrossHair : public TSettingsRecord {
    Q_OBJECT
    Q_PROPERTY(double PosX READ PosX WRITE SetPosX)
    Q_PROPERTY(double PosY READ PosY WRITE SetPosY)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TCrossHMode Mode READ Mode WRITE SetMode)
    Q_PROPERTY(TPenStyle LineType READ LineType WRITE SetLineType)
    Q_PROPERTY(int LineWid READ LineWid WRITE SetLineWid)
    Q_PROPERTY(int Layer READ Layer WRITE SetLayer)

public:
    explicit TCrossHair(QObject* parent = nullptr);

    double PosX() const { return posX_; }
    double PosY() const { return posY_; }
    TColor Color() const { return color_; }
    TCrossHMode Mode() const { return mode_; }
    TPenStyle LineType() const { return lineType_; }
    int LineWid() const { return lineWid_; }
    int Layer() const { return layer_; }

    // Every setter stores and notifies, also when the value is unchanged.
    void SetPosX(double value);
    void SetPosY(double value);
    void SetColor(TColor value);
    void SetMode(TCrossHMode value);
    void SetLineType(TPenStyle value);
    void SetLineWid(int value);
    // Clamped to the layers 1..16.
    void SetLayer(int value);

private:
    double posX_ = 0.0;
    double posY_ = 0.0;
    TColor color_ = clBlack;
    TCrossHMode mode_ = chOff;
    TPenStyle lineType_ = psSolid;
    int lineWid_ = 1;
    int layer_ = 1;
};

// A text label's settings; the chart publishes it as TTextLabel and draws it.
class TCustomTextLabel : public TSettingsRecord {
    Q_OBJECT
    Q_PROPERTY(double PosX READ PosX WRITE SetPosX)
    Q_PROPERTY(double PosY READ PosY WRITE SetPosY)
    Q_PROPERTY(int Layer READ Layer WRITE SetLayer)
    Q_PROPERTY(int ShadowDx READ ShadowDx WRITE SetShadowDx)
    Q_PROPERTY(int ShadowDy READ ShadowDy WRITE SetShadowDy)
    Q_PROPERTY(TColor ColorShadow READ ColorShadow WRITE SetColorShadow)
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(TVerticalAlignment VerticalAlignment READ VerticalAlignment WRITE SetVerticalAlignment)
    Q_PROPERTY(TTxtLblAttachMode AttachToData READ AttachToData WRITE SetAttachToData)
    Q_PROPERTY(TColor ColorBkg READ ColorBkg WRITE SetColorBkg)
    Q_PROPERTY(TColor ColorBorder READ ColorBorder WRITE SetColorBorder)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TTxtLblMode Mode READ Mode WRITE SetMode)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    explicit TCustomTextLabel(QObject* parent = nullptr);

    double PosX() const { return posX_; }
    double PosY() const { return posY_; }
    int Layer() const { return layer_; }
    int ShadowDx() const { return shadowDx_; }
    int ShadowDy() const { return shadowDy_; }
    TColor ColorShadow() const { return colorShadow_; }
    TAlignment Alignment() const { return alignment_; }
    TVerticalAlignment VerticalAlignment() const { return verticalAlignment_; }
    TTxtLblAttachMode AttachToData() const { return attachToData_; }
    TColor ColorBkg() const { return colorBkg_; }
    TColor ColorBorder() const { return colorBorder_; }
    bool Transparent() const { return transparent_; }
    const TFont& Font() const { return font_; }
    QString Caption() const { return caption_; }
    TTxtLblMode Mode() const { return mode_; }
    bool Visible() const { return visible_; }

    // Every setter stores and notifies, also when the value is unchanged.
    void SetPosX(double value);
    void SetPosY(double value);
    // Only the layers 1..16 are accepted; other values are ignored but still notify.
    void SetLayer(int value);
    void SetShadowDx(int value);
    void SetShadowDy(int value);
    void SetColorShadow(TColor value);
    void SetAlignment(TAlignment value);
    void SetVerticalAlignment(TVerticalAlignment value);
    void SetAttachToData(TTxtLblAttachMode value);
    void SetColorBkg(TColor value);
    void SetColorBorder(TColor value);
    void SetTransparent(bool value);
    // Copies the given font's attributes (face, size, style, colour).
    void SetFont(const TFont& value);
    void SetCaption(const QString& value);
    void SetMode(TTxtLblMode value);
    void SetVisible(bool value);

private:
    double posX_ = 100.0;
    double posY_ = 10.0;
    int layer_ = 1;
    int shadowDx_ = 0;
    int shadowDy_ = 0;
    TColor colorShadow_ = 0x808080;
    TAlignment alignment_ = taCenter;
    TVerticalAlignment verticalAlignment_ = vaBottom;
    TTxtLblAttachMode attachToData_ = tlamNone;
    TColor colorBkg_ = 0xC0C0C0;
    TColor colorBorder_ = clBlack;
    bool transparent_ = false;
    TFont font_;
    QString caption_;
    TTxtLblMode mode_ = tlsimple;
    bool visible_ = true;
};
