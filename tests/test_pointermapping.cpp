#include "input/pointermapping.h"

#include <gtest/gtest.h>

namespace {

Grid grid(std::int16_t x, std::int16_t y, std::int16_t pixels)
{
    Grid g;
    g.resize({ x, y, pixels });
    return g;
}

const QSize Canvas10By32(10 * 32, 10 * 32);

} // namespace

TEST(PointerMapping, MapsEachPixelToTheSquareItLiesIn)
{
    const Grid g = grid(10, 10, 32);
    const struct
    {
        QPoint at;
        int column, row;
    } cases[] = { { { 0, 0 }, 0, 0 },
                  { { 31, 0 }, 0, 0 },
                  { { 32, 0 }, 1, 0 },
                  { { 75, 40 }, 2, 1 },
                  { { 319, 319 }, 9, 9 } };
    for (const auto &c : cases) {
        const PointerSquare here = mapPointer(c.at, Canvas10By32, g);
        EXPECT_EQ(here.column, c.column) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(here.row, c.row) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(here.index, c.row * 10 + c.column);
    }
}

TEST(PointerMapping, ClampsToTheCanvasOnEverySide)
{
    const Grid g = grid(10, 10, 32);
    const struct
    {
        QPoint at;
        int column, row;
    } cases[] = {
        { { -50, 40 }, 0, 1 }, // left
        { { 75, -1 }, 2, 0 }, // above
        { { 320, 40 }, 9, 1 }, // the right edge itself is past the last pixel
        { { 5000, 40 }, 9, 1 },
        { { 75, 320 }, 2, 9 }, // bottom edge
        { { 5000, 5000 }, 9, 9 }, // the last square, never the spare entry
        { { -1000000, -1000000 }, 0, 0 },
    };
    for (const auto &c : cases) {
        const PointerSquare here = mapPointer(c.at, Canvas10By32, g);
        EXPECT_EQ(here.column, c.column) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(here.row, c.row) << c.at.x() << "," << c.at.y();
    }
    const PointerSquare far = mapPointer({ 1000000, 1000000 }, { 9600, 9600 }, grid(100, 100, 96));
    EXPECT_EQ(far.index, 100 * 100 - 1);
}

TEST(Direction, LaterTestsWinAndTheAnchorAlwaysMoves)
{
    const struct
    {
        std::int16_t fromX, fromY, toX, toY;
        Direction expected;
    } cases[] = {
        { 2, 2, 3, 2, Direction::Right },
        { 2, 2, 1, 2, Direction::Left },
        { 2, 2, 2, 3, Direction::Down },
        { 2, 2, 2, 1, Direction::Up },
        { 2, 2, 3, 3, Direction::Down }, // diagonal: vertical wins
        { 3, 3, 2, 2, Direction::Up },
        { 2, 2, 3, 1, Direction::Up },
        { 2, 2, 1, 3, Direction::Down },
        { 2, 1, 5, 1, Direction::Right }, // a jump yields one word
        { 2, 2, 2, 2, Direction::None },
    };
    for (const auto &c : cases) {
        StrokeAnchor anchor { c.fromX, c.fromY };
        EXPECT_EQ(Func_GetDirection(anchor, c.toX, c.toY), c.expected)
                << c.fromX << "," << c.fromY << " -> " << c.toX << "," << c.toY;
        EXPECT_EQ(anchor.LastSquareX, c.toX);
        EXPECT_EQ(anchor.LastSquareY, c.toY);
    }
    EXPECT_EQ(directionWord(Direction::Right), "Right");
    EXPECT_EQ(directionWord(Direction::None), "");
}

TEST(Direction, PressIsHeldToTheGridLikeAMovement)
{
    const Grid g = grid(10, 10, 32);
    StrokeAnchor anchor;
    setAnchorFromPress(anchor, { 75, 40 }, Canvas10By32, g);
    EXPECT_EQ(anchor.LastSquareX, 2);
    EXPECT_EQ(anchor.LastSquareY, 1);
    // Off the canvas (a second button pressed while a drag holds the pointer outside).
    const struct
    {
        QPoint at;
        std::int16_t column, row;
    } outside[] = {
        { { -60, 40 }, 0, 1 }, { { 400, 40 }, 9, 1 }, { { 75, -1 }, 2, 0 }, { { 75, 320 }, 2, 9 }
    };
    for (const auto &c : outside) {
        setAnchorFromPress(anchor, c.at, Canvas10By32, g);
        EXPECT_EQ(anchor.LastSquareX, c.column) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(anchor.LastSquareY, c.row) << c.at.x() << "," << c.at.y();
    }
    // A grid that shrinks under the anchor keeps it on its last column and row.
    anchor = { 9, 9 };
    holdAnchorToGrid(anchor, Settings { 5, 3, 32 });
    EXPECT_EQ(anchor.LastSquareX, 5 - 1);
    EXPECT_EQ(anchor.LastSquareY, 3 - 1);
}
