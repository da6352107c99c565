// Turns canvas pointer positions into squares of the grid and decides in which direction a
// stroke has stepped since the last test.
#pragma once

#include "input/direction.h"

#include "model/grid.h"

#include <QPoint>
#include <QSize>

#include <cstdint>

// The anchor square: where the last press or direction test left the stroke.
struct StrokeAnchor
{
    std::int16_t LastSquareX = 0;
    std::int16_t LastSquareY = 0;
};

// The square under the pointer.
struct PointerSquare
{
    int column = 0;
    int row = 0;
    int index = 0;
};

// The square under a canvas pixel, the pixel first held to the canvas: to its last pixel at the
// right and bottom (the far edge itself would be one column or row past the grid) and to 0 at
// the left and top, so a drag that leaves the canvas stays on an edge square.
PointerSquare mapPointer(QPoint at, QSize canvas, const Grid &grid);

// A press sets the anchor to the pressed square, whatever the button. A press can lie off the
// canvas (a second button pressed while a drag holds the pointer outside); it is held to the
// grid as a movement is.
void setAnchorFromPress(StrokeAnchor &anchor, QPoint at, QSize canvas, const Grid &grid);

// Keeps the anchor on a grid that has just shrunk under it.
void holdAnchorToGrid(StrokeAnchor &anchor, const Settings &settings);

// Compares the square (newX, newY) with the anchor and moves the anchor there. When both the
// column and the row change, the vertical word wins.
Direction Func_GetDirection(StrokeAnchor &anchor, std::int16_t newX, std::int16_t newY);
