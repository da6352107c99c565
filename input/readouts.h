// Stage 3 of a movement: keeps the cursor frame on the square under the pointer and refreshes
// the position and data read-outs.
#pragma once

#include "pointermapping.h"
#include "strokeview.h"

#include <squaredata.h>

#include <QLocale>
#include <QString>

// A single-precision value as text: whole values as plain digits, others with up to seven
// significant digits and the locale's decimal separator.
QString formatGeneral(float value, const QLocale &locale = QLocale());

// "X:2,Y:1,ID:12" for the square whose corner is (sx, sy).
QString positionReadout(const PointerSquare &here, const Settings &settings,
                        const QLocale &locale = QLocale());
// "ID:12, Data:0010"; a subscript error when the index has no entry.
QString dataReadout(const PointerSquare &here, const SquareData &squareData);

void updateCursorAndReadouts(const PointerSquare &here, const Settings &settings,
                             const SquareData &squareData, StrokeView &view);
