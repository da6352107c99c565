// What must hold for every text typed into the settings dialog: the value read is finite, its
// 16-bit conversion is the round-half-even of the double, whatever is
// accepted Qt's own locale reading accepts with the same value, and in a locale with digits of
// its own a number reads alike in those digits and in ASCII, but not in a mix of the two.
#pragma once

#include <QByteArray>

#include <optional>
#include <string>

// Checks one input (taken as UTF-8) in several locales; the first broken property, if any.
std::optional<std::string> numberTextViolation(const QByteArray &input);
