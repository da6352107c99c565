#include "fuzz/numbertext_properties.h"

#include "input/numbertext.h"

#include <QLocale>
#include <QString>

#include <cfenv>
#include <cmath>

namespace {

// Qt 6.4 does not read a sign of more than one character, though it writes one (ar_EG's minus is
// U+061C followed by '-'); for the comparison with Qt such a sign is given as the ASCII one.
QString forQt(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    for (const auto &[sign, ascii] :
         { std::pair(locale.negativeSign(), u'-'), std::pair(locale.positiveSign(), u'+') }) {
        if (sign.size() > 1 && trimmed.startsWith(sign))
            return ascii + trimmed.mid(sign.size());
    }
    return trimmed;
}

std::optional<std::string> check(const QString &text, const QLocale &locale)
{
    const std::string where = " for '" + text.toStdString() + "' in " + locale.name().toStdString();
    const std::optional<double> value = parseNumberText(text, locale);
    if (!value)
        return std::nullopt;
    const std::optional<std::int16_t> asInt = toInt16(*value);
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
    const double qtValue = locale.toDouble(forQt(text, locale), &ok);
    if (!ok || qtValue != *value)
        return "Qt's locale reading disagrees" + where;
    return std::nullopt;
}

// In a locale with digits of its own, a number the C locale reads is read with the same value
// written in those digits with the locale's separator, and in ASCII digits with it; with its
// first digit alone written in the locale's digits it mixes two sets and is refused.
std::optional<std::string> checkOwnDigits(const QString &text, const QLocale &locale)
{
    const std::optional<double> value = parseNumberText(text, QLocale::c());
    if (!value)
        return std::nullopt;
    const char32_t zero = char32_t(locale.zeroDigit().toUcs4().value(0));
    QString own;
    QString ascii;
    QString mixed;
    int digits = 0;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            const char32_t ownDigit = zero + (c.unicode() - u'0');
            own += QString::fromUcs4(&ownDigit, 1);
            ascii += c;
            mixed += digits++ == 0 ? QString::fromUcs4(&ownDigit, 1) : QString(c);
        } else {
            const QString same = c == u'.' ? locale.decimalPoint() : QString(c);
            own += same;
            ascii += same;
            mixed += same;
        }
    }
    const std::string where = " for '" + text.toStdString() + "' in " + locale.name().toStdString();
    if (parseNumberText(own, locale) != value)
        return "the number in the locale's digits is not read alike" + where;
    if (parseNumberText(ascii, locale) != value)
        return "the number in ASCII digits is not read alike" + where;
    if (digits > 1 && parseNumberText(mixed, locale))
        return "a number mixing two sets of digits is accepted" + where;
    return std::nullopt;
}

} // namespace

std::optional<std::string> numberTextViolation(const QByteArray &input)
{
    const QString text = QString::fromUtf8(input);
    static const QLocale locales[] = { QLocale::c(),
                                       QLocale(QLocale::English),
                                       QLocale(QLocale::German),
                                       QLocale(QLocale::French),
                                       QLocale(QStringLiteral("ar_EG")),
                                       QLocale(QStringLiteral("fa_IR")) };
    for (const QLocale &locale : locales) {
        if (auto violation = check(text, locale))
            return violation;
        if (locale.zeroDigit() != u'0') {
            if (auto violation = checkOwnDigits(text, locale))
                return violation;
        }
    }
    return std::nullopt;
}
