// Keeps the cursor frame on the square under the pointer and refreshes the position and data
// read-outs.
#pragma once

#include "input/pointermapping.h"
#include "input/strokeview.h"

#include <QString>

// "X:2,Y:1,ID:12": the square's column, row and index.
QString positionReadout(const PointerSquare &here);
// "ID:12, Data:0010": the square's index and code.
QString dataReadout(int index, SquareCode code);

void updateCursorAndReadouts(const PointerSquare &here, const Grid &grid, StrokeView &view);
