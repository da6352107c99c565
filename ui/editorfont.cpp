#include "ui/editorfont.h"

#include "ui/form2.h"
#include "ui/layout.h"

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

// The widest text each control can show, with its room: a control's width, but Label1's read-out
// must end where Label2 starts, and the dialog's first and last captions where their text boxes
// start.
std::vector<Fit> widestTexts()
{
    namespace f1 = layout::Form1;
    namespace f2 = layout::Form2;
    const auto form1 = [](const char *text) { return QCoreApplication::translate("Form1", text); };
    const auto form2 = [](const char *text) { return QCoreApplication::translate("Form2", text); };
    const int readout = f1::Label2.left() - f1::Label1.left();
    std::vector<Fit> fits = {
        { form1("Label1"), readout, false },
        { form1("Label2"), f1::Label2.width(), false },
        { form1("Label4"), f1::Label4.width(), false },
        { form1("Save"), f1::cmdSave.width(), false },
        { form1("Command1"), f1::Command1.width(), false },
        { form2("Square Size X:"), f2::txtSizeX.left() - f2::Label1.left(), false },
        { form2("Square Size Y:"), f2::Label2.width(), false },
        { form2("Pixels Per Square:"), f2::txtPixel.left() - f2::Label3.left(), false },
        { form2("OK"), f2::Command1.width(), false },
        { form2("Cancel"), f2::Command2.width(), false },
    };
    for (const QString &hint : Form2::hints())
        fits.push_back({ hint, f2::Label4_0.width(), true });
    for (Direction direction :
         { Direction::Up, Direction::Down, Direction::Left, Direction::Right })
        fits.push_back({ directionWord(direction), f1::Label2.width(), false });
    // The read-outs at the largest grid (columns and rows to 99, indexes to 9999), with each
    // digit in every place, since digits need not be equally wide.
    for (char digit = '0'; digit <= '9'; ++digit) {
        const QString two(2, QLatin1Char(digit));
        const QString four(4, QLatin1Char(digit));
        fits.push_back(
                { QCoreApplication::translate("Readouts", "X:%1,Y:%2,ID:%3").arg(two, two, four),
                  readout, false });
        for (const char *code : { "0000", "1111" })
            fits.push_back({ QCoreApplication::translate("Readouts", "ID:%1, Data:%2")
                                     .arg(four, QLatin1String(code)),
                             f1::Label4.width(), false });
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
