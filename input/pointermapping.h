// Turns canvas pointer positions into squares of the grid and decides in which direction a
// stroke has stepped since the last test.
#pragma once

#include "direction.h"

#include <settings.h>

#include <cstdint>

// The anchor square: where the last press or direction test left the stroke.
struct StrokeAnchor
{
    std::int16_t LastSquareX = 0;
    std::int16_t LastSquareY = 0;
};

// The square under the pointer for one movement: its snapped top-left corner and its index.
struct PointerSquare
{
    float sx = 0;
    float sy = 0;
    std::int16_t index = 0;
};

// One coordinate snapped to the first pixel of its square: v minus (round(v) rem P).
float snapCoordinate(float v, std::int16_t pixelsPerSquare);
// The column or row of a snapped coordinate: s / P rounded half to even.
std::int16_t cellOf(float snapped, std::int16_t pixelsPerSquare);

// A press sets the anchor to the pressed square, whatever the button; a press off the canvas is
// clamped to it as a movement is.
void setAnchorFromPress(StrokeAnchor &anchor, float x, float y, float scaleWidth,
                        float scaleHeight, std::int16_t pixelsPerSquare);

// Keeps the anchor on a grid that has just shrunk under it.
void holdAnchorToGrid(StrokeAnchor &anchor, const Settings &settings);

// Stage 1 of a movement: clamp the pointer to the canvas's pixels (the last pixel at the right
// and bottom, so the square stays inside the grid), snap it and compute the square index.
PointerSquare mapPointer(float x, float y, float scaleWidth, float scaleHeight,
                         const Settings &settings);

// Compares the square (newX, newY) with the anchor and moves the anchor there. When both the
// column and the row change, the vertical word wins.
Direction Func_GetDirection(StrokeAnchor &anchor, std::int16_t newX, std::int16_t newY);
