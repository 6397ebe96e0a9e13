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

struct TNumLabTextSettings {
    TDisplay DisplayType = dtFixP;
    int Precision = 2;  // 0..15
    bool Comma = false;
    bool ForcePlusSign = false;
    QString StateText = QStringLiteral("undefined");
    QString OverflowIndicator = QStringLiteral("*********");
    QString DTFormat = QStringLiteral("mmm-dd, yyyy");
};

// The text shown for value: the display type's text with the decimal separator and plus sign
// applied, or the overflow indicator when the value lies outside what the type can show.
QString NumLabValueText(double value, const TNumLabTextSettings& settings);

// value rounded to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);
