// Stage 2 of a movement: while exactly the left or exactly the right button is held, joins the
// square under the pointer to its trailing neighbour (the square on the side the step came
// from) and repaints both with the tile set of that button.
#pragma once

#include "pointermapping.h"
#include "strokeview.h"

#include <squaredata.h>

#include <cstdint>

namespace buttons {
inline constexpr std::int16_t Left = 1;
inline constexpr std::int16_t Right = 2;
inline constexpr std::int16_t Middle = 4;
} // namespace buttons

void linkStroke(std::int16_t buttonMask, const PointerSquare &here, const Settings &settings,
                StrokeAnchor &anchor, SquareData &squareData, StrokeView &view);
