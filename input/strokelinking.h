// Joining squares: while exactly the left or exactly the right button is held, the square under
// the pointer is joined to its trailing neighbour (the square on the side the step came from)
// and both are repainted with the tile set of that button.
#pragma once

#include "pointermapping.h"
#include "strokeview.h"

#include <QtGlobal>

void linkStroke(Qt::MouseButtons buttons, const PointerSquare &here, StrokeAnchor &anchor,
                Grid &grid, StrokeView &view);
