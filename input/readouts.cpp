#include "input/readouts.h"

#include <QCoreApplication>

QString positionReadout(const PointerSquare &here)
{
    return QCoreApplication::translate("Readouts", "X:%1,Y:%2,ID:%3")
            .arg(QString::number(here.column), QString::number(here.row),
                 QString::number(here.index));
}

QString dataReadout(int index, SquareCode code)
{
    return QCoreApplication::translate("Readouts", "ID:%1, Data:%2")
            .arg(QString::number(index), QString::fromStdString(squareCodeText(code)));
}

void updateCursorAndReadouts(const PointerSquare &here, const Grid &grid, StrokeView &view)
{
    view.setCursorFrame(grid.squareRect(here.index));
    view.setPositionCaption(positionReadout(here));
    view.setDataCaption(dataReadout(here.index, grid.code(here.index)));
}
