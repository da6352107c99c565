#include "strokelinking.h"

#include <algorithm>
#include <iterator>

namespace {

// For each direction word: where the trailing neighbour lies relative to the square entered
// (in squares) and which side each of the two squares gains.
struct LinkRule
{
    Direction direction;
    int dx;
    int dy;
    Side neighbourSide;
    Side currentSide;
};

constexpr LinkRule linkRules[] = {
    { Direction::Up, 0, +1, Side::Top, Side::Bottom },
    { Direction::Down, 0, -1, Side::Bottom, Side::Top },
    { Direction::Left, +1, 0, Side::Left, Side::Right },
    { Direction::Right, -1, 0, Side::Right, Side::Left },
};

void linkStep(TileSet set, const PointerSquare &here, StrokeAnchor &anchor, Grid &grid,
              StrokeView &view)
{
    const Direction direction
            = Func_GetDirection(anchor, std::int16_t(here.column), std::int16_t(here.row));
    if (direction == Direction::None)
        return;
    view.setDirectionCaption(directionWord(direction));

    const LinkRule &rule
            = *std::find_if(std::begin(linkRules), std::end(linkRules),
                            [&](const LinkRule &r) { return r.direction == direction; });
    // The anchor is on the grid, and the neighbour lies between it and the square entered.
    const int neighbour = grid.index(here.column + rule.dx, here.row + rule.dy);
    if (grid.Func_SetSide(neighbour, rule.neighbourSide))
        view.Sub_DrawSquare(neighbour, set);
    if (grid.Func_SetSide(here.index, rule.currentSide))
        view.Sub_DrawSquare(here.index, set);
}

} // namespace

void linkStroke(Qt::MouseButtons buttons, const PointerSquare &here, StrokeAnchor &anchor,
                Grid &grid, StrokeView &view)
{
    // The buttons are compared as a whole: several held together link nothing.
    if (buttons == Qt::LeftButton)
        linkStep(TileSet::Left, here, anchor, grid, view);
    if (buttons == Qt::RightButton)
        linkStep(TileSet::Right, here, anchor, grid, view);
}
