#pragma once
// The value text of a numeric label: how a value becomes the text in the box, before it is
// measured. Kept free of drawing so that every display type can be checked alone.

#include <cstdint>

#include <QMetaType>
#include <QString>

enum TDisplay : std::uint8_t {
    dtFloat,
    dtFixP,
    dtExp,
    dtHex,
    dtZeroInt,
    dtInt,
    dtDateTime,
    dtState,
    dtBin,
    dtOct,
    dtDeg,
    dtDegMin,
    dtDegMinSec
};
Q_DECLARE_METATYPE(TDisplay)

constexpr int MaxNumLabPrecision = 15;

// What the box shows: the display type and its precision, and the texts shown instead of a number.
struct TValueDisplay {
    TDisplay DisplayType = dtFixP;
    int Precision = 2;  // 0..MaxNumLabPrecision
    QString StateText = QStringLiteral("undefined");
    QString OverflowIndicator = QStringLiteral("*********");
};

// How numbers and dates are written: the decimal separator, the plus sign and the date pattern.
// A label keeps its own when another label is assigned to it.
struct TNumberFormat {
    bool Comma = false;
    bool ForcePlusSign = false;
    QString DTFormat = QStringLiteral("mmm-dd, yyyy");
};

struct TNumLabTextSettings : TValueDisplay, TNumberFormat { };

// The text shown for value: the display type's text with the decimal separator and plus sign
// applied, or the overflow indicator when the value lies outside what the type can show.
QString NumLabValueText(double value, const TNumLabTextSettings& settings);
