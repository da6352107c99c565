#include "numbertext_properties.h"

#include <editorerror.h>
#include <numbertext.h>

#include <QLocale>
#include <QString>

#include <cfenv>
#include <cmath>

namespace {

std::optional<ErrorKind> errorOf(auto &&call)
{
    try {
        call();
    } catch (const EditorError &error) {
        return error.kind();
    }
    return std::nullopt;
}

std::optional<std::string> check(const QString &text, const QLocale &locale)
{
    const std::string where = " for '" + text.toStdString() + "' in " + locale.name().toStdString();
    const std::optional<double> value = parseNumberText(text, locale);
    if (isNumberText(text, locale) != value.has_value())
        return "the numeric test disagrees with the reader" + where;

    if (!value) {
        if (errorOf([&] { numberTextToDouble(text, locale); }) != ErrorKind::TypeMismatch)
            return "a text that is not a number converted to a double" + where;
        if (errorOf([&] { numberTextToInt16(text, locale); }) != ErrorKind::TypeMismatch)
            return "a text that is not a number converted to an integer" + where;
        return std::nullopt;
    }

    if (!std::isfinite(*value))
        return "a number that is not finite" + where;
    double asDouble = 0;
    if (errorOf([&] { asDouble = numberTextToDouble(text, locale); }))
        return "a number failed to convert to a double" + where;
    if (asDouble != *value)
        return "the double conversion gave another value" + where;

    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(*value);
    std::int16_t asInt = 0;
    const std::optional<ErrorKind> intError
            = errorOf([&] { asInt = numberTextToInt16(text, locale); });
    if (rounded >= -32768.0 && rounded <= 32767.0) {
        if (intError || asInt != rounded)
            return "the 16-bit conversion is not the round-half-even of the value" + where;
    } else if (intError != ErrorKind::Overflow) {
        return "a value beyond 16 bits did not overflow" + where;
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
