// The one reader of the dialog's numbers and its 16-bit conversion.
#include "input/numbertext.h"
#include "fuzz/numbertext_properties.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

TEST(NumberText, AcceptsSignedDecimalsInTheLocalesNotation)
{
    const QLocale english(QLocale::English);
    const QLocale german(QLocale::German);
    const struct
    {
        const char *text;
        const QLocale &locale;
        double value;
    } accepted[] = {
        { "10", english, 10 },     { "-5", english, -5 },         { "+7", english, 7 },
        { "3.5", english, 3.5 },   { " 12 ", english, 12 },       { "\t96\n", english, 96 },
        { "007", english, 7 },     { "3,5", german, 3.5 },        { "-0,25", german, -0.25 },
        { "100.0", english, 100 }, { "99.999", english, 99.999 },
    };
    for (const auto &c : accepted) {
        EXPECT_DOUBLE_EQ(parseNumberText(QString::fromUtf8(c.text), c.locale).value_or(-1), c.value)
                << c.text;
    }
}

TEST(NumberText, RefusesEverythingElse)
{
    const QLocale english(QLocale::English);
    const QLocale german(QLocale::German);
    const struct
    {
        const char *text;
        const QLocale &locale;
    } refused[] = {
        { "", english },         { "   ", english },  { "abc", english },   { "12a", english },
        { "1e1", english },      { "0x20", english }, { "1,000", english }, { "3.5", german },
        { ".5", english },       { "5.", english },   { "--5", english },   { "+-5", english },
        { "5-", english },       { "1 2", english },  { "inf", english },   { "nan", english },
        { "\xd9\xa3", english }, // an Arabic-Indic digit
    };
    for (const auto &c : refused) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_FALSE(parseNumberText(text, c.locale)) << c.text;
    }
}

// Where the locale writes numbers in digits of its own, those are read too, alone or with its
// decimal separator, as are ASCII digits; one number keeps to one set of digits.
TEST(NumberText, ReadsTheLocalesOwnDigits)
{
    const QLocale egypt(QStringLiteral("ar_EG")); // U+0660..U+0669, separator U+066B
    const QLocale iran(QStringLiteral("fa_IR")); // U+06F0..U+06F9, separator U+066B
    const QLocale bangladesh(QStringLiteral("bn_BD")); // U+09E6..U+09EF, separator '.'
    // Chakma: U+11136..U+1113F, beyond the Basic Multilingual Plane, two UTF-16 units a digit.
    const QLocale chakma(QStringLiteral("ccp_BD"));
    const struct
    {
        const char *text;
        const QLocale &locale;
        double value;
    } accepted[] = {
        { "\u0663", egypt, 3 },
        { "\u0669\u0666", egypt, 96 },
        { "\u0663\u066b\u0665", egypt, 3.5 },
        { " -\u0660\u066b\u0662\u0665 ", egypt, -0.25 },
        { "\u061c-\u0663", egypt, -3 }, // the locale's own minus sign
        { "\u0661\u0660\u0660", egypt, 100 },
        { "96", egypt, 96 },
        { "3\u066b5", egypt, 3.5 },
        { "\u06f9\u06f6", iran, 96 },
        { "\u06f3\u066b\u06f5", iran, 3.5 },
        { "\u09ef\u09ec", bangladesh, 96 },
        { "\u09e9.\u09eb", bangladesh, 3.5 },
        { "3.5", bangladesh, 3.5 },
        { "\U0001113F\U0001113C", chakma, 96 },
        { "\U00011139.\U0001113B", chakma, 3.5 },
        { "\U00011137\U00011136\U00011136", chakma, 100 },
    };
    for (const auto &c : accepted) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(parseNumberText(text, c.locale), c.value) << c.text;
    }

    const struct
    {
        const char *text;
        const QLocale &locale;
    } refused[] = {
        { "\u06635", egypt }, // two sets of digits in one number
        { "3\u0665", egypt },
        { "\u0663\u066b5", egypt },
        { "3\u066b\u0665", egypt },
        { "\u0663.\u0665", egypt }, // '.' is not this locale's separator
        { "3.5", egypt },
        { "\u0663\u066c\u0665", egypt }, // a group separator
        { "\u066b\u0665", egypt },
        { "\u0663\u066b", egypt },
        { "\u06f3", egypt }, // another locale's digits
        { "\U000111393", chakma }, // two sets of digits in one number
        { "\U00011139", QLocale(QLocale::English) },
        { "\u0663", iran },
        { "\u0663", QLocale(QLocale::English) },
        { "\u0663", QLocale::c() },
    };
    for (const auto &c : refused) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_FALSE(parseNumberText(text, c.locale)) << c.text;
    }
}

TEST(NumberText, SixteenBitConversionRoundsHalfToEvenAndOverflows)
{
    const struct
    {
        double value;
        int rounded;
    } cases[] = { { 3.5, 4 }, { 4.5, 4 },  { 2.5, 2 },         { 99.5, 100 },
                  { 7.5, 8 }, { -0.5, 0 }, { 32767.4, 32767 }, { -32768.5, -32768 } };
    for (const auto &c : cases)
        EXPECT_EQ(toInt16(c.value), c.rounded) << c.value;
    EXPECT_FALSE(toInt16(32767.5));
    EXPECT_FALSE(toInt16(-32768.6));
    // A very long number is still a number, just too large for 16 bits.
    const QLocale english(QLocale::English);
    const QString huge = QStringLiteral("1") + QString(400, u'0');
    EXPECT_FALSE(parseNumberText(huge, english)); // beyond a double: not a number at all
    const std::optional<double> nines = parseNumberText(QString(300, u'9'), english);
    ASSERT_TRUE(nines);
    EXPECT_FALSE(toInt16(*nines));
}

// Every input the fuzzer keeps in its corpus, replayed through the same properties.
TEST(NumberText, FuzzCorpusHoldsEveryProperty)
{
    const QDir corpus(QStringLiteral(PASSAGES_SOURCE_DIR "/fuzz/corpus/numbertext"));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_GE(files.size(), 20);
    for (const QString &name : files) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const auto violation = numberTextViolation(file.readAll());
        EXPECT_FALSE(violation) << name.toStdString() << ": " << violation.value_or("");
    }
}
