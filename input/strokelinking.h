// Joining squares: while a stroke is drawn with a tile set (the main window picks it from the
// button held), the square under the pointer is joined to its trailing neighbour (the square on
// the side the step came from) and both are repainted with that tile set.
#pragma once

#include "input/pointermapping.h"
#include "input/strokeview.h"

// One movement of the pointer onto `here`. A pointer that jumped several squares joins only the
// trailing neighbour of the square it landed on.
void linkStroke(TileSet set, const PointerSquare &here, StrokeAnchor &anchor, Grid &grid,
                StrokeView &view);

// The view moved under a still pointer and carried it from `from` to `to`. That is not a jump of
// the user's: the stroke walks every square on the way, one step into a neighbour at a time, so
// the passage stays whole.
void walkStroke(TileSet set, const PointerSquare &from, const PointerSquare &to,
                StrokeAnchor &anchor, Grid &grid, StrokeView &view);
