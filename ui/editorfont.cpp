#include "ui/editorfont.h"

#include "ui/captions.h"
#include "ui/form2.h"
#include "ui/layout.h"

#include "input/direction.h"
#include "input/readouts.h"

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

// The widest text each control can show, with its room (ui/captions.h): every fixed caption,
// the hints, the direction words and the read-outs at their longest.
std::vector<Fit> widestTexts()
{
    std::vector<Fit> fits;
    for (const Caption &caption : captions::Form1::All)
        fits.push_back({ caption.text(), caption.room, false });
    for (const Caption &caption : captions::Form2::All)
        fits.push_back({ caption.text(), caption.room, false });
    for (const QString &hint : Form2::hints())
        fits.push_back({ hint, layout::Form2::Label4_0.width(), true });
    for (Direction direction :
         { Direction::Up, Direction::Down, Direction::Left, Direction::Right })
        fits.push_back({ directionWord(direction), captions::Form1::Label2.room, false });
    // The read-outs at the largest grid (columns and rows to 99, indexes to 9999), with each
    // digit in every place, since digits need not be equally wide: the nines replaced.
    const QString position = positionReadout({ 99, 99, 9999 });
    const QString data[] = { dataReadout(9999, 0), dataReadout(9999, 0b1111) }; // no side, all
    for (char digit = '0'; digit <= '9'; ++digit) {
        const auto withDigit = [digit](QString text) {
            return text.replace(QLatin1Char('9'), QLatin1Char(digit));
        };
        fits.push_back({ withDigit(position), captions::Form1::Label1.room, false });
        for (const QString &text : data)
            fits.push_back({ withDigit(text), captions::Form1::Label4.room, false });
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
