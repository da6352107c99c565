#include "readouts.h"

#include <numberrules.h>

#include <cmath>

using namespace numberrules;

QString formatGeneral(float value, const QLocale &locale)
{
    if (value == std::trunc(value) && std::fabs(value) < 1e15f)
        return QString::number(static_cast<qint64>(value));
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(double(value), 'G', 7);
}

QString positionReadout(const PointerSquare &here, const Settings &settings, const QLocale &locale)
{
    const double pixels = double(float(settings.PixelsPerSquare));
    const float column = toSingle(divide(here.sx, pixels));
    const float row = toSingle(divide(here.sy, pixels));
    const float index = toSingle(double(column) + double(toSingle(double(row) * settings.SizeX)));
    return QStringLiteral("X:") + formatGeneral(column, locale) + QStringLiteral(",Y:")
            + formatGeneral(row, locale) + QStringLiteral(",ID:") + formatGeneral(index, locale);
}

QString dataReadout(const PointerSquare &here, const SquareData &squareData)
{
    const std::string &code = squareData.at(here.index);
    return QStringLiteral("ID:") + QString::number(here.index) + QStringLiteral(", Data:")
            + QString::fromStdString(code);
}

void updateCursorAndReadouts(const PointerSquare &here, const Settings &settings,
                             const SquareData &squareData, StrokeView &view)
{
    CursorFrame frame = view.cursorFrame();
    frame.Width = float(settings.PixelsPerSquare);
    frame.Height = float(settings.PixelsPerSquare);
    if (frame.Left != here.sx || frame.Top != here.sy) {
        frame.Left = here.sx;
        frame.Top = here.sy;
    }
    view.setCursorFrame(frame);

    // A failing read-out keeps its label's previous text and does not stop the other one.
    try {
        view.setPositionCaption(positionReadout(here, settings));
    } catch (const EditorError &) { }
    try {
        view.setDataCaption(dataReadout(here, squareData));
    } catch (const EditorError &) { }
}
