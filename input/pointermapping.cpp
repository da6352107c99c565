#include "pointermapping.h"

#include <numberrules.h>

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

void setAnchorFromPress(StrokeAnchor &anchor, float x, float y, std::int16_t pixelsPerSquare)
{
    anchor.LastSquareX = cellOf(snapCoordinate(x, pixelsPerSquare), pixelsPerSquare);
    anchor.LastSquareY = cellOf(snapCoordinate(y, pixelsPerSquare), pixelsPerSquare);
}

PointerSquare mapPointer(float x, float y, float scaleWidth, float scaleHeight,
                         const Settings &settings)
{
    const std::int16_t p = settings.PixelsPerSquare;
    // Clamp to the last pixel, not to the far edge: the edge itself would map to one column or
    // row past the grid.
    if (x > scaleWidth - 1)
        x = scaleWidth - 1;
    if (x < 0)
        x = 0;
    if (y > scaleHeight - 1)
        y = scaleHeight - 1;
    if (y < 0)
        y = 0;

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
