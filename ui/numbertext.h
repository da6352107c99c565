// The one reader of numbers typed into the settings dialog. The numeric test and both
// conversions go through it, so they accept exactly the same texts: optional surrounding blanks,
// an optional sign, digits, and optionally the locale's decimal separator followed by digits.
#pragma once

#include <QLocale>
#include <QStringView>

#include <cstdint>
#include <optional>

// The value of a number text, or nothing when the text is not a number.
std::optional<double> parseNumberText(QStringView text, const QLocale &locale = QLocale());

bool isNumberText(QStringView text, const QLocale &locale = QLocale());
// Both raise a TypeMismatch error for a text that is not a number; the 16-bit conversion rounds
// half to even and raises an Overflow error out of range.
double numberTextToDouble(QStringView text, const QLocale &locale = QLocale());
std::int16_t numberTextToInt16(QStringView text, const QLocale &locale = QLocale());
