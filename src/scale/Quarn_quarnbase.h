#pragma once
// Shared base of the component library: the enumerations several controls use,
// the library's exceptions, the 3-D frame drawing routine and the small settings records.

#include <cstdint>
#include <stdexcept>
#include <string>

#include <functional>

#include <QMetaType>
#include <QObject>

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
  maDragLabel
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

// Settings of calendar and time-of-day labels, owned by a scale (as DateFormat) or by the
// chart's per-axis settings. A fresh record has every field zero; owners call
// ApplyScaleDefaults() before connecting OnChange.
class TDTLabel : public QObject {
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

  ::TTimeFormat TimeFormat() const { return timeFormat_; }
  char DateSeparator() const { return dateSeparator_; }
  char TimeSeparator() const { return timeSeparator_; }
  ::TYearLength YearLength() const { return yearLength_; }
  bool MonthName() const { return monthName_; }
  ::TDateOrder DateOrder() const { return dateOrder_; }
  ::TDateForTime DateForTime() const { return dateForTime_; }

  // TimeFormat and DateOrder notify even when unchanged; the others only on a change.
  void SetTimeFormat(::TTimeFormat value);
  void SetDateSeparator(char value);
  void SetTimeSeparator(char value);
  void SetYearLength(::TYearLength value);
  void SetMonthName(bool value);
  void SetDateOrder(::TDateOrder value);
  void SetDateForTime(::TDateForTime value);

  // The values a scale starts with (tfHHMMSS, "-", ":", ylYYYY, month names, doDDMMYY,
  // dtOnePerDay); stored without notifying.
  void ApplyScaleDefaults();
  // Copies every field from source, then notifies once.
  void Assign(const TDTLabel& source);

  TNotifyEvent OnChange;

 private:
  void Changed();

  ::TTimeFormat timeFormat_ = tfHHMMSS;
  char dateSeparator_ = 0;
  char timeSeparator_ = 0;
  ::TYearLength yearLength_ = ylNone;
  bool monthName_ = false;
  ::TDateOrder dateOrder_ = doMMDDYY;
  ::TDateForTime dateForTime_ = dtNone;
};
