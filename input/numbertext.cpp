#include "input/numbertext.h"

#include <cmath>

namespace {

bool takePrefix(QStringView &rest, QStringView prefix)
{
    if (prefix.isEmpty() || !rest.startsWith(prefix))
        return false;
    rest = rest.mid(prefix.size());
    return true;
}

// The value 0 to 9 of the digit at the start of `rest` in the digits that begin at `zero`, and
// its length in UTF-16 units (a digit beyond the Basic Multilingual Plane takes two).
struct Digit
{
    int value = -1;
    qsizetype length = 0;
};

Digit digitAt(QStringView rest, char32_t zero)
{
    if (rest.isEmpty())
        return {};
    char32_t c = rest[0].unicode();
    qsizetype length = 1;
    if (QChar::isHighSurrogate(c) && rest.size() > 1 && rest[1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(rest[0], rest[1]);
        length = 2;
    }
    if (c < zero || c > zero + 9)
        return {};
    return { int(c - zero), length };
}

// Takes a run of digits, all from the one set that begins at `zero`, and appends them to `plain`
// as ASCII digits. False when there is none.
bool takeDigits(QStringView &rest, char32_t zero, QString &plain)
{
    const qsizetype before = plain.size();
    for (Digit d = digitAt(rest, zero); d.length > 0; d = digitAt(rest, zero)) {
        plain += QChar(u'0' + d.value);
        rest = rest.mid(d.length);
    }
    return plain.size() > before;
}

// The first code point of the locale's zero digit: '0' where the locale writes ASCII digits.
char32_t localeZero(const QLocale &locale)
{
    const QList<uint> zero = locale.zeroDigit().toUcs4();
    return zero.isEmpty() ? U'0' : char32_t(zero.first());
}

} // namespace

std::optional<double> parseNumberText(QStringView text, const QLocale &locale)
{
    QStringView rest = text.trimmed();
    QString plain; // the same number in ASCII digits, '-' and '.', for Qt's C locale
    plain.reserve(rest.size() + 1);
    if (takePrefix(rest, u"-") || takePrefix(rest, locale.negativeSign()))
        plain += u'-';
    else if (!takePrefix(rest, u"+"))
        takePrefix(rest, locale.positiveSign());

    // ASCII digits, or the locale's own; one number keeps to one of them.
    const char32_t ownZero = localeZero(locale);
    const char32_t zero = digitAt(rest, ownZero).length > 0 ? ownZero : U'0';
    if (!takeDigits(rest, zero, plain))
        return std::nullopt;
    if (takePrefix(rest, locale.decimalPoint())) {
        plain += u'.';
        if (!takeDigits(rest, zero, plain))
            return std::nullopt;
    }
    if (!rest.isEmpty())
        return std::nullopt;

    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int16_t> toInt16(double value)
{
    // The library's rounding in its default mode: to nearest, ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return std::int16_t(rounded);
}
