#include "numbertext_properties.h"

#include <numbertext.h>

#include <QLocale>
#include <QString>

#include <cfenv>
#include <cmath>

namespace {

std::optional<std::string> check(const QString &text, const QLocale &locale)
{
    const std::string where = " for '" + text.toStdString() + "' in " + locale.name().toStdString();
    const std::optional<double> value = parseNumberText(text, locale);
    if (isNumberText(text, locale) != value.has_value())
        return "the numeric test disagrees with the reader" + where;
    const std::optional<std::int16_t> asInt = numberTextToInt16(text, locale);
    if (!value) {
        if (asInt)
            return "a text that is not a number converted to an integer" + where;
        return std::nullopt;
    }
    if (!std::isfinite(*value))
        return "a number that is not finite" + where;

    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(*value);
    if (rounded >= -32768.0 && rounded <= 32767.0) {
        if (!asInt || *asInt != rounded)
            return "the 16-bit conversion is not the round-half-even of the value" + where;
    } else if (asInt) {
        return "a value beyond 16 bits converted" + where;
    }

    // Whatever we accept, Qt's reading of the locale accepts, with the same value.
    bool ok = false;
    const double qtValue = locale.toDouble(text.trimmed(), &ok);
    if (!ok || qtValue != *value)
        return "Qt's locale reading disagrees" + where;
    return std::nullopt;
}

} // namespace

std::optional<std::string> numberTextViolation(const QByteArray &input)
{
    const QString text = QString::fromUtf8(input);
    static const QLocale locales[] = { QLocale::c(), QLocale(QLocale::English),
                                       QLocale(QLocale::German), QLocale(QLocale::French) };
    for (const QLocale &locale : locales) {
        if (auto violation = check(text, locale))
            return violation;
    }
    return std::nullopt;
}
