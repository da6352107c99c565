// The one reader of numbers typed into the settings dialog: the dialog reads each entry once and
// tests, checks and converts the value it gives. It accepts optional surrounding blanks, an
// optional sign, digits, and optionally the locale's decimal separator followed by digits. The
// digits are ASCII or, where the locale has its own (Arabic-Indic in ar_EG), the locale's; one
// number is written in one of the two.
#pragma once

#include <QLocale>
#include <QStringView>

#include <cstdint>
#include <optional>

// The value of a number text, or nothing when the text is not a number.
std::optional<double> parseNumberText(QStringView text, const QLocale &locale = QLocale());

// The nearest 16-bit integer, an exact half going to the even neighbour (3.5 and 4.5 give 4);
// nothing for a value outside -32768 .. 32767.
std::optional<std::int16_t> toInt16(double value);
