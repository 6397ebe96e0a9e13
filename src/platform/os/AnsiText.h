#pragma once

// The one crossing between core text (bytes) and text shown in Qt (QString).
// Bytes that are valid UTF-8 decode as UTF-8; anything else as Windows-1252,
// the single-byte code page the original texts were written in. We write UTF-8.

#include <string>
#include <string_view>

#include <QByteArray>
#include <QString>

QString FromAnsi(std::string_view bytes);
QString FromAnsi(const char* bytes);
QString FromAnsi(const QByteArray& bytes);

std::string ToAnsi(const QString& text);

// Strict check: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// ASCII-only case folding: dictionary keys, window classes and command-line switches are compared
// this way, so letters beyond ASCII never change (and never depend on a locale).
constexpr char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string LowerAscii(std::string_view text);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
bool LessIgnoringAsciiCase(std::string_view a, std::string_view b);
// Position of the first occurrence of an already lower-cased needle at or after from, comparing the
// haystack lower-cased; npos when missing.
std::size_t FindIgnoringAsciiCase(std::string_view haystack, std::string_view lowerNeedle, std::size_t from = 0);

// One byte of the Windows-1252 code page (the five unassigned bytes map to the
// control characters of the same number).
QChar Cp1252ToChar(unsigned char byte);
