#include "ui/editorfont.h"

#include "ui/form2.h"

#include "input/direction.h"

#include <QCoreApplication>
#include <QFontMetrics>

#include <algorithm>
#include <vector>

namespace {

// The smallest size tried; below it text is no longer readable, fitting or not.
constexpr int SmallestPixels = 6;

struct Fit
{
    QString text;
    int room; // pixels from the control's left edge to where the text must end
    bool bold;
};

// The widest text each control can show, with its room: Label1's read-out must end before
// Label2 starts (x 128); the dialog's captions before their text boxes (x 112).
std::vector<Fit> widestTexts()
{
    const auto form1 = [](const char *text) { return QCoreApplication::translate("Form1", text); };
    const auto form2 = [](const char *text) { return QCoreApplication::translate("Form2", text); };
    std::vector<Fit> fits = {
        { form1("Label1"), 128 - 32, false },
        { form1("Label2"), 121, false },
        { form1("Label4"), 89, false },
        { form1("Save"), 113, false },
        { form1("Command1"), 113, false },
        { form2("Square Size X:"), 112 - 16, false },
        { form2("Square Size Y:"), 81, false },
        { form2("Pixels Per Square:"), 112 - 16, false },
        { form2("OK"), 105, false },
        { form2("Cancel"), 89, false },
    };
    for (const QString &hint : Form2::hints())
        fits.push_back({ hint, 89, true });
    for (Direction direction :
         { Direction::Up, Direction::Down, Direction::Left, Direction::Right })
        fits.push_back({ directionWord(direction), 121, false });
    // The read-outs at the largest grid (columns and rows to 99, indexes to 9999), with each
    // digit in every place, since digits need not be equally wide.
    for (char digit = '0'; digit <= '9'; ++digit) {
        const QString two(2, QLatin1Char(digit));
        const QString four(4, QLatin1Char(digit));
        fits.push_back(
                { QCoreApplication::translate("Readouts", "X:%1,Y:%2,ID:%3").arg(two, two, four),
                  128 - 32, false });
        for (const char *code : { "0000", "1111" })
            fits.push_back({ QCoreApplication::translate("Readouts", "ID:%1, Data:%2")
                                     .arg(four, QLatin1String(code)),
                             89, false });
    }
    return fits;
}

QFont atPixels(int pixels)
{
    QFont font(QString::fromLatin1(EditorFontFamily));
    font.setPixelSize(pixels);
    return font;
}

bool allFit(const std::vector<Fit> &fits, const QFont &font)
{
    QFont boldFont = font;
    boldFont.setWeight(QFont::Bold);
    const QFontMetrics regular(font);
    const QFontMetrics bold(boldFont);
    return std::all_of(fits.begin(), fits.end(), [&](const Fit &fit) {
        const QFontMetrics &metrics = fit.bold ? bold : regular;
        return metrics.horizontalAdvance(fit.text) + EditorFontSpare <= fit.room;
    });
}

} // namespace

int fittingPixelSize()
{
    const std::vector<Fit> fits = widestTexts();
    int size = EditorFontPixels;
    while (size > SmallestPixels && !allFit(fits, atPixels(size)))
        --size;
    return size;
}

QFont editorFont()
{
    static const int pixels = fittingPixelSize();
    return atPixels(pixels);
}

QFont hintFont()
{
    QFont font = editorFont();
    font.setWeight(QFont::Bold);
    return font;
}
