#include "numbertext.h"

#include <cmath>

namespace {

bool takePrefix(QStringView &rest, QStringView prefix)
{
    if (prefix.isEmpty() || !rest.startsWith(prefix))
        return false;
    rest = rest.mid(prefix.size());
    return true;
}

QStringView takeDigits(QStringView &rest)
{
    qsizetype count = 0;
    while (count < rest.size() && rest[count] >= u'0' && rest[count] <= u'9')
        ++count;
    const QStringView digits = rest.left(count);
    rest = rest.mid(count);
    return digits;
}

} // namespace

std::optional<double> parseNumberText(QStringView text, const QLocale &locale)
{
    QStringView rest = text.trimmed();
    const QString negative = locale.negativeSign();
    const QString positive = locale.positiveSign();
    bool isNegative = false;
    if (takePrefix(rest, u"-") || takePrefix(rest, negative))
        isNegative = true;
    else if (!takePrefix(rest, u"+"))
        takePrefix(rest, positive);

    const QStringView whole = takeDigits(rest);
    if (whole.isEmpty())
        return std::nullopt;
    QStringView fraction;
    if (takePrefix(rest, locale.decimalPoint())) {
        fraction = takeDigits(rest);
        if (fraction.isEmpty())
            return std::nullopt;
    }
    if (!rest.isEmpty())
        return std::nullopt;

    // The text is now plain digits: Qt's C locale does the conversion.
    QString plain;
    plain.reserve(whole.size() + fraction.size() + 2);
    if (isNegative)
        plain += u'-';
    plain += whole;
    if (!fraction.isEmpty()) {
        plain += u'.';
        plain += fraction;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isNumberText(QStringView text, const QLocale &locale)
{
    return parseNumberText(text, locale).has_value();
}

std::optional<std::int16_t> toInt16(double value)
{
    // The library's rounding in its default mode: to nearest, ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return std::int16_t(rounded);
}

std::optional<std::int16_t> numberTextToInt16(QStringView text, const QLocale &locale)
{
    const std::optional<double> value = parseNumberText(text, locale);
    return value ? toInt16(*value) : std::nullopt;
}
