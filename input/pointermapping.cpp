#include "pointermapping.h"

#include <numberrules.h>

#include <algorithm>

using namespace numberrules;

float snapCoordinate(float v, std::int16_t pixelsPerSquare)
{
    const Int32 n = toInt32(v);
    const Int32 m = rem32(n, pixelsPerSquare);
    return toSingle(double(v) - double(m));
}

std::int16_t cellOf(float snapped, std::int16_t pixelsPerSquare)
{
    // The quotient stays in double precision until the conversion.
    return toInt16(divide(double(snapped), double(float(pixelsPerSquare))));
}

namespace {

// Clamps to the last pixel, not to the far edge: the edge itself would map to one column or row
// past the grid.
float clampToCanvas(float v, float extent)
{
    if (v > extent - 1)
        v = extent - 1;
    if (v < 0)
        v = 0;
    return v;
}

} // namespace

void setAnchorFromPress(StrokeAnchor &anchor, float x, float y, float scaleWidth,
                        float scaleHeight, std::int16_t pixelsPerSquare)
{
    // A press can lie off the canvas: a second button pressed while the first holds the pointer
    // outside. It is held to the grid as a movement is.
    x = clampToCanvas(x, scaleWidth);
    y = clampToCanvas(y, scaleHeight);
    anchor.LastSquareX = cellOf(snapCoordinate(x, pixelsPerSquare), pixelsPerSquare);
    anchor.LastSquareY = cellOf(snapCoordinate(y, pixelsPerSquare), pixelsPerSquare);
}

void holdAnchorToGrid(StrokeAnchor &anchor, const Settings &settings)
{
    anchor.LastSquareX = std::clamp<std::int16_t>(anchor.LastSquareX, 0, settings.SizeX - 1);
    anchor.LastSquareY = std::clamp<std::int16_t>(anchor.LastSquareY, 0, settings.SizeY - 1);
}

PointerSquare mapPointer(float x, float y, float scaleWidth, float scaleHeight,
                         const Settings &settings)
{
    const std::int16_t p = settings.PixelsPerSquare;
    x = clampToCanvas(x, scaleWidth);
    y = clampToCanvas(y, scaleHeight);

    PointerSquare square;
    square.sx = snapCoordinate(x, p);
    square.sy = snapCoordinate(y, p);
    const double pixels = double(float(p));
    square.index = toInt16(divide(square.sx, pixels)
                           + divide(square.sy, pixels) * double(settings.SizeX));
    return square;
}

Direction Func_GetDirection(StrokeAnchor &anchor, std::int16_t newX, std::int16_t newY)
{
    Direction result = Direction::None;
    if (newX > anchor.LastSquareX)
        result = Direction::Right;
    if (newX < anchor.LastSquareX)
        result = Direction::Left;
    if (newY > anchor.LastSquareY)
        result = Direction::Down;
    if (newY < anchor.LastSquareY)
        result = Direction::Up;
    anchor.LastSquareX = newX;
    anchor.LastSquareY = newY;
    return result;
}
