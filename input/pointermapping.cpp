#include "input/pointermapping.h"

#include <algorithm>

PointerSquare mapPointer(QPoint at, QSize canvas, const Grid &grid)
{
    const int x = std::max(std::min(at.x(), canvas.width() - 1), 0);
    const int y = std::max(std::min(at.y(), canvas.height() - 1), 0);
    const int pixels = grid.settings().PixelsPerSquare;
    PointerSquare square;
    square.column = x / pixels;
    square.row = y / pixels;
    square.index = grid.index(square.column, square.row);
    return square;
}

void setAnchorFromPress(StrokeAnchor &anchor, QPoint at, QSize canvas, const Grid &grid)
{
    const PointerSquare pressed = mapPointer(at, canvas, grid);
    anchor.LastSquareX = std::int16_t(pressed.column);
    anchor.LastSquareY = std::int16_t(pressed.row);
}

void holdAnchorToGrid(StrokeAnchor &anchor, const Settings &settings)
{
    anchor.LastSquareX = std::clamp<std::int16_t>(anchor.LastSquareX, 0, settings.SizeX - 1);
    anchor.LastSquareY = std::clamp<std::int16_t>(anchor.LastSquareY, 0, settings.SizeY - 1);
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
