#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numlab/NumLabText.h"

namespace {

struct TextCase {
    const char* name;
    TDisplay type;
    int precision;
    double value;
    QString expected;
    bool comma = false;
    bool plus = false;
};

const QString kOverflow = QStringLiteral("*********");
const QString kDeg = QString(QChar(0x00B0));

TEST(NumLabValueText, ShowsEachDisplayType)
{
    const double inf = std::numeric_limits<double>::infinity();
    const TextCase cases[] = {
        {"fixed point with comma", dtFixP, 2, 3.14159, "3,14", true},
        {"fixed point with comma and plus", dtFixP, 2, 3.14159, "+3,14", true, true},
        {"negative fixed point gets no plus", dtFixP, 2, -3.14159, "-3,14", true, true},
        {"zero gets no plus", dtFixP, 1, 0.0, "0.0", false, true},
        {"fixed point without decimals", dtFixP, 0, 118.0, "118"},
        {"tiny negative shows as unsigned zero", dtFixP, 2, -0.001, "0.00"},
        {"fixed point of infinity", dtFixP, 2, -inf, "-INF"},
        {"general format trims zeros", dtFloat, 4, 2.5, "2.5"},
        {"general format switches to exponent", dtFloat, 3, 123456.0, "1.23E+05"},
        {"general format with comma", dtFloat, 5, 0.125, "0,125", true},
        {"exponent with significant digits", dtExp, 3, 1234.5, "1.23E+03"},
        {"exponent with one digit", dtExp, 0, 1234.5, "1E+03"},
        {"exponent of negative zero", dtExp, 2, -0.0, "0.0E+00"},
        {"zero-padded integer", dtZeroInt, 5, 42.0, "00042"},
        {"zero padding after the sign", dtZeroInt, 5, -42.0, "-00042"},
        {"zero-padded integer out of range", dtZeroInt, 5, 3000000000.0, kOverflow},
        {"zero-padded integer lowest", dtZeroInt, 1, -2147483648.0, "-2147483648"},
        {"hexadecimal padded", dtHex, 4, 255.0, "00FF"},
        {"hexadecimal four digits", dtHex, 4, 4096.0 + 255.0, "10FF"},
        {"hexadecimal cut to its last digits", dtHex, 4, 65536.0 + 255.0, "00FF"},
        {"hexadecimal two's complement", dtHex, 4, -1.0, "FFFF"},
        {"hexadecimal at most eight digits", dtHex, 15, -2.0, "FFFFFFFE"},
        {"hexadecimal with no digits", dtHex, 0, 255.0, ""},
        {"hexadecimal highest", dtHex, 8, 4294967295.0, "FFFFFFFF"},
        {"hexadecimal above range", dtHex, 8, 4294967296.0, kOverflow},
        {"hexadecimal below range", dtHex, 8, -2147483649.0, kOverflow},
        {"hexadecimal keeps its dot rule", dtHex, 2, 10.0, "0A", true, true},
        {"binary with leading zeros", dtBin, 8, 5.0, "00000101"},
        {"binary with no bits", dtBin, 0, 5.0, ""},
        {"binary two's complement", dtBin, 4, -2.0, "1110"},
        {"octal padded", dtOct, 3, 8.0, "010"},
        {"octal eleven digits", dtOct, 15, 8.0, "00000000010"},
        {"octal with no digits", dtOct, 0, 8.0, ""},
        {"octal out of range", dtOct, 3, 5e9, kOverflow},
        {"integer rounds half down to even", dtInt, 0, 2.5, "2"},
        {"integer rounds half up to even", dtInt, 0, 3.5, "4"},
        {"integer rounds negative half to even", dtInt, 0, -2.5, "-2"},
        {"integer beyond 64 bits", dtInt, 0, 1e19, kOverflow},
        {"integer of infinity", dtInt, 0, inf, kOverflow},
        {"integer near the 64-bit end", dtInt, 0, -9223372036854775808.0, "-9223372036854775808"},
        {"plus sign stays off the indicator", dtZeroInt, 2, 5e9, kOverflow, true, true},
        {"degrees", dtDeg, 1, 12.75, "12.8" + kDeg},
        {"degrees with comma", dtDeg, 2, 12.25, "12,25" + kDeg, true},
        {"degrees limit their decimals", dtDeg, 15, 1.0, "1.00000000" + kDeg},
        {"degrees and minutes", dtDegMin, 2, 12.5, "12" + kDeg + " 30.00'"},
        {"negative degrees and minutes", dtDegMin, 0, -12.5, "-12" + kDeg + "  30'"},
        {"negative below one degree keeps its sign", dtDegMin, 1, -0.5, "-0" + kDeg + " 30.0'"},
        {"degrees, minutes and seconds", dtDegMinSec, 1, 12.5125, "12" + kDeg + " 30' 45.0\""},
        {"seconds padded to their field", dtDegMinSec, 0, 1.125, "1" + kDeg + "  7'  30\""},
        {"degrees of infinity", dtDegMin, 2, inf, kOverflow},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        TNumLabTextSettings s;
        s.DisplayType = c.type;
        s.Precision = c.precision;
        s.Comma = c.comma;
        s.ForcePlusSign = c.plus;
        EXPECT_EQ(NumLabValueText(c.value, s), c.expected);
    }
}

TEST(NumLabValueText, StateTextIsShownWhateverTheValue)
{
    TNumLabTextSettings s;
    s.DisplayType = dtState;
    EXPECT_EQ(NumLabValueText(1e300, s), "undefined");
    s.StateText = "a.b";
    s.Comma = true;
    EXPECT_EQ(NumLabValueText(std::numeric_limits<double>::quiet_NaN(), s), "a.b");
}

TEST(NumLabValueText, DateUsesTheLabelsPatternWithinTheYearsOneTo9999)
{
    const struct {
        const char* name;
        double value;
        QString expected;
    } cases[] = {
        {"day 2", 2.5, "01.01.1900 12:00"},
        {"first day", -693593.0, "01.01.0001 00:00"},
        {"last day", 2958465.5, "31.12.9999 12:00"},
        {"before the first day", -693594.0, kOverflow},
        {"after the last day", 2958466.0, kOverflow},
        {"rounds to before the first day", std::nextafter(-693594.0, 0.0), kOverflow},
        {"rounds to after the last day", std::nextafter(2958466.0, 0.0), kOverflow},
    };
    TNumLabTextSettings s;
    s.DisplayType = dtDateTime;
    s.DTFormat = "dd.mm.yyyy hh:nn";
    s.Comma = true;  // the dots of a date stay
    s.ForcePlusSign = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NumLabValueText(c.value, s), c.expected);
    }
}

}  // namespace
