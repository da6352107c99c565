#include "strokelinking.h"

#include <numberrules.h>

#include <iterator>

using namespace numberrules;

namespace {

// For each direction word: where the trailing neighbour lies relative to the square entered
// (in squares) and which side each of the two squares gains.
struct LinkRule
{
    Direction direction;
    std::int16_t dx;
    std::int16_t dy;
    std::string_view neighbourSide;
    std::string_view currentSide;
};

constexpr LinkRule linkRules[] = {
    { Direction::Up, 0, +1, side::Top, side::Bottom },
    { Direction::Down, 0, -1, side::Bottom, side::Top },
    { Direction::Left, +1, 0, side::Left, side::Right },
    { Direction::Right, -1, 0, side::Right, side::Left },
};

const LinkRule &ruleFor(Direction direction)
{
    for (const LinkRule &rule : linkRules) {
        if (rule.direction == direction)
            return rule;
    }
    throw EditorError(ErrorKind::InvalidOperation, "no link rule for this direction");
}

void linkStep(std::int16_t mode, const PointerSquare &here, const Settings &settings,
              StrokeAnchor &anchor, SquareData &squareData, StrokeView &view)
{
    const std::int16_t p = settings.PixelsPerSquare;
    const Direction direction = Func_GetDirection(anchor, cellOf(here.sx, p), cellOf(here.sy, p));
    if (direction == Direction::None)
        return;
    const std::string_view word = directionWord(direction);
    view.setDirectionCaption(QString::fromLatin1(word.data(), qsizetype(word.size())));

    const LinkRule &rule = ruleFor(direction);
    const std::int16_t neighbour
            = add16(add16(here.index, mul16(rule.dy, settings.SizeX)), rule.dx);
    if (Func_SetSide(squareData, settings, neighbour, rule.neighbourSide)) {
        view.Sub_DrawSquare(toSingle(double(here.sx) + double(rule.dx) * p),
                            toSingle(double(here.sy) + double(rule.dy) * p), mode);
    }
    if (Func_SetSide(squareData, settings, here.index, rule.currentSide))
        view.Sub_DrawSquare(here.sx, here.sy, mode);
}

} // namespace

void linkStroke(std::int16_t buttonMask, const PointerSquare &here, const Settings &settings,
                StrokeAnchor &anchor, SquareData &squareData, StrokeView &view)
{
    // The mask is compared as a whole: several buttons held together link nothing.
    if (buttonMask == buttons::Left)
        linkStep(0, here, settings, anchor, squareData, view);
    if (buttonMask == buttons::Right)
        linkStep(1, here, settings, anchor, squareData, view);
}
