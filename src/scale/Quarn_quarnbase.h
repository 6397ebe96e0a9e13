#pragma once
// Shared base of the component library: the enumerations several controls use,
// the library's exceptions, the 3-D frame drawing routine and the small settings records.

#include <cstdint>
#include <stdexcept>
#include <string>

#include <QMetaType>

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
