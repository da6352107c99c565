// The grid: settings and square codes resized together, sides only ever gained.
#include "model/grid.h"

#include <gtest/gtest.h>

namespace {

Grid grid(std::int16_t x, std::int16_t y)
{
    Grid g;
    g.resize({ x, y, 32 });
    return g;
}

} // namespace

TEST(Grid, HasOneSpareEntryBeyondTheSquares)
{
    const Grid g = grid(10, 10);
    ASSERT_EQ(g.SquareData().size(), 10u * 10u + 1u);
    for (SquareCode code : g.SquareData())
        EXPECT_EQ(squareCodeText(code), "0000");
    EXPECT_TRUE(Grid().SquareData().empty());
}

TEST(Grid, SetSideAcceptsTheSpareEntryAndRefusesBeyondIt)
{
    Grid g = grid(10, 10);
    EXPECT_TRUE(g.Func_SetSide(100, Side::Top));
    EXPECT_EQ(squareCodeText(g.code(100)), "0001");
    EXPECT_FALSE(g.Func_SetSide(101, Side::Top));
    EXPECT_FALSE(g.Func_SetSide(-1, Side::Top));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(g.code(i), 0) << i;
}

TEST(Grid, SidesAreOnlyEverGainedAndReadAsTheTileNumber)
{
    Grid g = grid(10, 10);
    g.Func_SetSide(5, Side::Left);
    EXPECT_TRUE(g.Func_SetSide(5, Side::Bottom));
    EXPECT_EQ(squareCodeText(g.code(5)), "1100");
    EXPECT_TRUE(g.Func_SetSide(5, Side::Bottom)); // again: true, nothing changes
    EXPECT_EQ(squareCodeText(g.code(5)), "1100");

    g.Func_SetSide(6, Side::Top);
    g.Func_SetSide(6, Side::Bottom);
    g.Func_SetSide(6, Side::Right);
    EXPECT_EQ(squareCodeText(g.code(6)), "0111");
    EXPECT_EQ(Grid::Func_BinToDec(g.code(6)), 4 + 2 + 1);
    // Left 8, bottom 4, right 2, top 1.
    const struct
    {
        Side side;
        const char *text;
        int tile;
    } sides[] = { { Side::Left, "1000", 8 },
                  { Side::Bottom, "0100", 4 },
                  { Side::Right, "0010", 2 },
                  { Side::Top, "0001", 1 } };
    for (const auto &s : sides) {
        Grid one = grid(3, 3);
        one.Func_SetSide(0, s.side);
        EXPECT_EQ(squareCodeText(one.code(0)), s.text);
        EXPECT_EQ(Grid::Func_BinToDec(one.code(0)), s.tile);
    }
}

TEST(Grid, ResizingKeepsCodesByIndex)
{
    Grid g = grid(10, 10);
    for (int i = 0; i <= 100; ++i)
        g.Func_SetSide(i, Side::Right);
    g.resize({ 5, 5, 32 });
    ASSERT_EQ(g.SquareData().size(), 5u * 5u + 1u);
    g.resize({ 10, 10, 32 });
    for (int i = 0; i <= 5 * 5; ++i)
        EXPECT_EQ(squareCodeText(g.code(i)), "0010") << i;
    for (int i = 5 * 5 + 1; i <= 100; ++i)
        EXPECT_EQ(g.code(i), 0) << i;

    // Kept by index, not by row and column: index 10 is row 1 at 10 across, row 2 at 5 across.
    g.Func_SetSide(g.index(0, 1), Side::Left);
    g.resize({ 5, 10, 32 });
    EXPECT_EQ(squareCodeText(g.code(g.index(0, 2))), "1010");
}

TEST(Grid, MapsColumnAndRowToIndexAndPixels)
{
    Grid g;
    g.resize({ 10, 8, 48 });
    EXPECT_EQ(g.index(3, 1), 1 * 10 + 3);
    EXPECT_EQ(g.column(13), 3);
    EXPECT_EQ(g.row(13), 1);
    EXPECT_EQ(g.squareRect(13), QRect(3 * 48, 1 * 48, 48, 48));
}
