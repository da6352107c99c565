// Stroke linking and the read-outs, driven through the movement's steps with a fake window.
#include "tests/fakestrokeview.h"

#include "input/readouts.h"
#include "input/strokelinking.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

class Strokes : public ::testing::Test
{
protected:
    void SetUp() override { grid.resize({ 10, 10, 32 }); }

    void press(int column, int row) { setAnchorFromPress(anchor, at(column, row), canvas, grid); }
    // One movement through its steps, as the main window runs it; no tile set when the buttons
    // held draw nothing.
    void move(std::optional<TileSet> set, QPoint to)
    {
        const PointerSquare here = mapPointer(to, canvas, grid);
        if (set)
            linkStroke(*set, here, anchor, grid, view);
        updateCursorAndReadouts(here, grid, view);
    }
    void move(std::optional<TileSet> set, int column, int row) { move(set, at(column, row)); }
    // The centre of the square at column c, row r.
    static QPoint at(int column, int row) { return QPoint(column * 32 + 16, row * 32 + 16); }
    std::string code(int index) const { return squareCodeText(grid.code(index)); }

    Grid grid;
    const QSize canvas { 320, 320 };
    StrokeAnchor anchor;
    FakeStrokeView view;
};

using Paint = FakeStrokeView::Paint;
constexpr std::nullopt_t NoSet = std::nullopt;
using enum TileSet;

} // namespace

TEST_F(Strokes, RightThenDownThenBackUp)
{
    press(2, 1); // square 12
    move(DarkRed, 3, 1); // into square 13
    EXPECT_EQ(view.label2, "Right");
    EXPECT_EQ(code(12), "0010");
    EXPECT_EQ(code(13), "1000");
    EXPECT_EQ(view.paints, (std::vector<Paint> { { 12, DarkRed }, { 13, DarkRed } }));
    EXPECT_EQ(view.label1, "X:3,Y:1,ID:13");
    EXPECT_EQ(view.label4, "ID:13, Data:1000"); // the read-out already shows the new code
    EXPECT_EQ(view.frame, QRect(3 * 32, 1 * 32, 32, 32));

    view.paints.clear();
    move(DarkRed, 3, 2); // down into square 23
    EXPECT_EQ(view.label2, "Down");
    EXPECT_EQ(code(13), "1100");
    EXPECT_EQ(code(23), "0001");
    EXPECT_EQ(view.paints, (std::vector<Paint> { { 13, DarkRed }, { 23, DarkRed } }));

    view.paints.clear();
    move(DarkRed, 3, 1); // back up: nothing new, both repainted anyway
    EXPECT_EQ(view.label2, "Up");
    EXPECT_EQ(code(13), "1100");
    EXPECT_EQ(code(23), "0001");
    EXPECT_EQ(view.paints, (std::vector<Paint> { { 23, DarkRed }, { 13, DarkRed } }));
}

TEST_F(Strokes, RetracingWithTheRightButtonRepaintsInTheOtherSetWithoutChangingCodes)
{
    press(2, 1);
    move(DarkRed, 3, 1);
    move(DarkRed, 3, 2);
    const auto codes = grid.SquareData();

    view.paints.clear();
    press(2, 1);
    move(DarkTealBlue, 3, 1);
    move(DarkTealBlue, 3, 2);
    EXPECT_EQ(grid.SquareData(), codes);
    ASSERT_EQ(view.paints.size(), 4u);
    for (const Paint &paint : view.paints)
        EXPECT_EQ(paint.set, DarkTealBlue);
}

TEST_F(Strokes, MovementInsideOneSquareLinksNothing)
{
    press(2, 1);
    view.label2 = QStringLiteral("before");
    move(DarkRed, at(2, 1) + QPoint(10, -10));
    EXPECT_TRUE(view.paints.empty());
    EXPECT_EQ(view.label2, "before");
    EXPECT_EQ(code(12), "0000");
}

TEST_F(Strokes, WithoutATileSetNothingLinksAndTheDirectionIsNotTested)
{
    press(2, 1);
    move(NoSet, 5, 4);
    EXPECT_TRUE(view.paints.empty());
    EXPECT_EQ(anchor.LastSquareX, 2);
    EXPECT_EQ(anchor.LastSquareY, 1);
    // The next step with a tile set compares with the pressed square.
    move(DarkRed, 3, 1);
    EXPECT_EQ(view.label2, "Right");
    EXPECT_EQ(code(12), "0010");
}

TEST_F(Strokes, AMiddlePressSetsTheAnchorForLaterStrokes)
{
    press(4, 4); // any button sets the anchor
    move(NoSet, 6, 4);
    EXPECT_EQ(anchor.LastSquareX, 4);
    move(DarkRed, 5, 4);
    EXPECT_EQ(view.label2, "Right");
    EXPECT_EQ(code(44), "0010");
}

TEST_F(Strokes, AJumpJoinsOnlyTheCurrentSquareAndItsTrailingNeighbour)
{
    press(2, 1); // square 12
    move(DarkRed, 4, 3); // square 34, diagonal: vertical wins
    EXPECT_EQ(view.label2, "Down");
    EXPECT_EQ(code(24), "0100");
    EXPECT_EQ(code(34), "0001");
    EXPECT_EQ(code(12), "0000");
    EXPECT_EQ(view.paints, (std::vector<Paint> { { 24, DarkRed }, { 34, DarkRed } }));
}

TEST_F(Strokes, DragsPastEveryEdgeStayOnTheGrid)
{
    // Crossing into the edge squares from inside only ever joins squares of the grid.
    press(8, 8);
    move(DarkRed, QPoint(5000, at(8, 8).y()));
    move(DarkRed, QPoint(5000, 5000));
    move(DarkRed, QPoint(-5000, 5000));
    EXPECT_EQ(code(88), "0010");
    EXPECT_EQ(code(89), "1100");
    EXPECT_EQ(code(99), "0001");
    EXPECT_EQ(code(91), "1000"); // the jump across the row joins only its trailing neighbour
    EXPECT_EQ(code(90), "0010");
    EXPECT_EQ(code(98), "0000");
    EXPECT_EQ(code(100), "0000"); // the spare entry is never reached
    EXPECT_EQ(view.frame, QRect(0, 9 * 32, 32, 32));
}

TEST_F(Strokes, HoverMovesTheFrameAndReadoutsButNotTheDirection)
{
    move(NoSet, QPoint(75, 40));
    EXPECT_EQ(view.frame, QRect(64, 32, 32, 32));
    EXPECT_EQ(view.label1, "X:2,Y:1,ID:12");
    EXPECT_EQ(view.label4, "ID:12, Data:0000");
    EXPECT_EQ(view.label2, "Label2");
    EXPECT_TRUE(view.paints.empty());

    move(NoSet, QPoint(0, 0));
    EXPECT_EQ(view.label1, "X:0,Y:0,ID:0");
}
