// What must hold for every text typed into the settings dialog: the numeric test and both
// conversions agree, the 16-bit conversion is the round-half-even of the double, and whatever is
// accepted Qt's own locale reading accepts with the same value.
#pragma once

#include <QByteArray>

#include <optional>
#include <string>

// Checks one input (taken as UTF-8) in several locales; the first broken property, if any.
std::optional<std::string> numberTextViolation(const QByteArray &input);
