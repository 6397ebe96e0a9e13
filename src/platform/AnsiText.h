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

// One byte of the Windows-1252 code page (the five unassigned bytes map to the
// control characters of the same number).
QChar Cp1252ToChar(unsigned char byte);
