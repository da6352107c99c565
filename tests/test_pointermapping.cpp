#include <pointermapping.h>

#include <editorerror.h>

#include <gtest/gtest.h>

namespace {
const Settings TenBy32 { 10, 10, 32 };
} // namespace

TEST(PointerMapping, SnapsWholePixelsToTheirSquaresCorner)
{
    const struct
    {
        float v;
        float snapped;
        int cell;
    } cases[] = { { 0, 0, 0 },   { 31, 0, 0 },  { 32, 32, 1 },
                  { 63, 32, 1 }, { 75, 64, 2 }, { 319, 288, 9 } };
    for (const auto &c : cases) {
        const float s = snapCoordinate(c.v, 32);
        EXPECT_EQ(s, c.snapped) << c.v;
        EXPECT_EQ(cellOf(s, 32), c.cell) << c.v;
    }
}

TEST(PointerMapping, FractionalCoordinatesRoundFirst)
{
    // 31.6 rounds to 32, which is the first pixel of square 1: nothing is taken off.
    EXPECT_EQ(snapCoordinate(31.6f, 32), 31.6f);
    EXPECT_EQ(cellOf(31.6f, 32), 1);
    // 31.4 rounds to 31, remainder 31: the snapped value keeps the fraction.
    EXPECT_NEAR(snapCoordinate(31.4f, 32), 0.4f, 1e-5);
    EXPECT_EQ(cellOf(0.4f, 32), 0);
    // Halves go to the even neighbour: 32.5 -> 32, 33.5 -> 34.
    EXPECT_FLOAT_EQ(snapCoordinate(32.5f, 32), 32.5f);
    EXPECT_FLOAT_EQ(snapCoordinate(33.5f, 32), 31.5f);
}

TEST(PointerMapping, MapsTheSquareUnderThePointer)
{
    PointerSquare here = mapPointer(75, 40, 320, 320, TenBy32);
    EXPECT_EQ(here.sx, 64);
    EXPECT_EQ(here.sy, 32);
    EXPECT_EQ(here.index, 12);

    here = mapPointer(0, 0, 320, 320, TenBy32);
    EXPECT_EQ(here.sx, 0);
    EXPECT_EQ(here.sy, 0);
    EXPECT_EQ(here.index, 0);
}

TEST(PointerMapping, ClampsToTheCanvasOnEverySide)
{
    const struct
    {
        float x, y;
        float sx, sy;
        int index;
    } cases[] = {
        { -50, 40, 0, 32, 10 }, // left
        { 75, -1, 64, 0, 2 }, // above
        { 320, 40, 288, 32, 19 }, // the right edge itself is past the last pixel
        { 5000, 40, 288, 32, 19 }, // far right
        { 75, 320, 64, 288, 92 }, // bottom edge
        { 5000, 5000, 288, 288, 99 }, // bottom right: the last square, never the spare entry
        { -1e6f, -1e6f, 0, 0, 0 },    { 319.9f, 319.9f, 288, 288, 99 },
    };
    for (const auto &c : cases) {
        const PointerSquare here = mapPointer(c.x, c.y, 320, 320, TenBy32);
        EXPECT_EQ(here.sx, c.sx) << c.x << "," << c.y;
        EXPECT_EQ(here.sy, c.sy) << c.x << "," << c.y;
        EXPECT_EQ(here.index, c.index) << c.x << "," << c.y;
    }
}

TEST(PointerMapping, LargestGridStaysInsideIt)
{
    const Settings largest { 100, 100, 96 };
    const PointerSquare here = mapPointer(1e9f, 1e9f, 9600, 9600, largest);
    EXPECT_EQ(here.sx, 9504);
    EXPECT_EQ(here.index, 9999);
}

TEST(PointerMapping, ZeroPixelsPerSquareIsAnErrorNotACrash)
{
    EXPECT_THROW(mapPointer(10, 10, 161, 193, Settings {}), EditorError);
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
    StrokeAnchor anchor;
    setAnchorFromPress(anchor, 75, 40, 320, 320, 32);
    EXPECT_EQ(anchor.LastSquareX, 2);
    EXPECT_EQ(anchor.LastSquareY, 1);
    // Off the canvas (a second button pressed while a drag holds the pointer outside).
    const struct
    {
        float x, y;
        std::int16_t column, row;
    } outside[] = { { -60, 40, 0, 1 }, { 400, 40, 9, 1 }, { 75, -1, 2, 0 }, { 75, 320, 2, 9 } };
    for (const auto &c : outside) {
        setAnchorFromPress(anchor, c.x, c.y, 320, 320, 32);
        EXPECT_EQ(anchor.LastSquareX, c.column) << c.x << "," << c.y;
        EXPECT_EQ(anchor.LastSquareY, c.row) << c.x << "," << c.y;
    }
    // A grid that shrinks under the anchor keeps it on its last column and row.
    anchor = { 9, 9 };
    holdAnchorToGrid(anchor, Settings { 5, 3, 32 });
    EXPECT_EQ(anchor.LastSquareX, 4);
    EXPECT_EQ(anchor.LastSquareY, 2);
}
