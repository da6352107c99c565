#include "input/strokelinking.h"

#include <algorithm>
#include <cstdlib>
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

} // namespace

void linkStroke(TileSet set, const PointerSquare &here, StrokeAnchor &anchor, Grid &grid,
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

void walkStroke(TileSet set, const PointerSquare &from, const PointerSquare &to,
                StrokeAnchor &anchor, Grid &grid, StrokeView &view)
{
    // Where the stroke stood when the view moved: normally the anchor already, so this links
    // nothing.
    linkStroke(set, from, anchor, grid, view);
    // Along the straight line from square to square, always stepping across the side the line
    // crosses next, so a move that changes column and row still goes through neighbours.
    const int across = std::abs(to.column - from.column);
    const int down = std::abs(to.row - from.row);
    const int stepX = to.column > from.column ? 1 : -1;
    const int stepY = to.row > from.row ? 1 : -1;
    PointerSquare square = from;
    for (int x = 0, y = 0; x < across || y < down;) {
        // The line crosses the next vertical side at (2x + 1) / (2 across) of its length, the
        // next horizontal side at (2y + 1) / (2 down); take the nearer.
        if (y == down || (x < across && (2 * x + 1) * down < (2 * y + 1) * across)) {
            ++x;
            square.column += stepX;
        } else {
            ++y;
            square.row += stepY;
        }
        square.index = grid.index(square.column, square.row);
        linkStroke(set, square, anchor, grid, view);
    }
}
