// Stroke linking and the read-outs, driven through the stage functions with a fake window.
#include "fakestrokeview.h"

#include <editorerror.h>
#include <readouts.h>
#include <strokelinking.h>

#include <gtest/gtest.h>

namespace {

class Strokes : public ::testing::Test
{
protected:
    void SetUp() override { Sub_ResizeSquareData(data, settings); }

    void press(float x, float y)
    {
        setAnchorFromPress(anchor, x, y, 320, 320, settings.PixelsPerSquare);
    }
    // One movement through stages 1 to 3, as the main window runs it.
    void move(std::int16_t buttons, float x, float y)
    {
        const PointerSquare here = mapPointer(x, y, 320, 320, settings);
        linkStroke(buttons, here, settings, anchor, data, view);
        updateCursorAndReadouts(here, settings, data, view);
    }
    // The centre of the square at column c, row r.
    static float at(int cell) { return float(cell * 32 + 16); }

    Settings settings { 10, 10, 32 };
    SquareData data;
    StrokeAnchor anchor;
    FakeStrokeView view;
};

using Paint = FakeStrokeView::Paint;

} // namespace

TEST_F(Strokes, RightThenDownThenBackUp)
{
    press(at(2), at(1)); // square 12
    move(buttons::Left, at(3), at(1)); // into square 13
    EXPECT_EQ(view.label2, "Right");
    EXPECT_EQ(data.at(12), "0010");
    EXPECT_EQ(data.at(13), "1000");
    EXPECT_EQ(view.paints, (std::vector<Paint> { { 64, 32, 0 }, { 96, 32, 0 } }));
    EXPECT_EQ(view.label1, "X:3,Y:1,ID:13");
    EXPECT_EQ(view.label4, "ID:13, Data:1000"); // the read-out already shows the new code
    EXPECT_EQ(view.frame, (CursorFrame { 96, 32, 32, 32 }));

    view.paints.clear();
    move(buttons::Left, at(3), at(2)); // down into square 23
    EXPECT_EQ(view.label2, "Down");
    EXPECT_EQ(data.at(13), "1100");
    EXPECT_EQ(data.at(23), "0001");
    EXPECT_EQ(view.paints, (std::vector<Paint> { { 96, 32, 0 }, { 96, 64, 0 } }));

    view.paints.clear();
    move(buttons::Left, at(3), at(1)); // back up: nothing new, both repainted anyway
    EXPECT_EQ(view.label2, "Up");
    EXPECT_EQ(data.at(13), "1100");
    EXPECT_EQ(data.at(23), "0001");
    EXPECT_EQ(view.paints, (std::vector<Paint> { { 96, 64, 0 }, { 96, 32, 0 } }));
}

TEST_F(Strokes, RetracingWithTheRightButtonRepaintsInSetOneWithoutChangingCodes)
{
    press(at(2), at(1));
    move(buttons::Left, at(3), at(1));
    move(buttons::Left, at(3), at(2));
    const auto codes = data.codes();

    view.paints.clear();
    press(at(2), at(1));
    move(buttons::Right, at(3), at(1));
    move(buttons::Right, at(3), at(2));
    EXPECT_EQ(data.codes(), codes);
    ASSERT_EQ(view.paints.size(), 4u);
    for (const Paint &paint : view.paints)
        EXPECT_EQ(paint.mode, 1);
}

TEST_F(Strokes, MovementInsideOneSquareLinksNothing)
{
    press(at(2), at(1));
    view.label2 = QStringLiteral("before");
    move(buttons::Left, at(2) + 10, at(1) - 10);
    EXPECT_TRUE(view.paints.empty());
    EXPECT_EQ(view.label2, "before");
    EXPECT_EQ(data.at(12), "0000");
}

TEST_F(Strokes, OnlyExactlyOneButtonLinksAndTestsTheDirection)
{
    press(at(2), at(1));
    for (std::int16_t mask : { 0, 3, 4, 5, 6, 7, -1 }) {
        move(mask, at(5), at(4));
        EXPECT_TRUE(view.paints.empty()) << mask;
        EXPECT_EQ(anchor.LastSquareX, 2) << mask;
        EXPECT_EQ(anchor.LastSquareY, 1) << mask;
    }
    // With both held, then one released: the next test compares with the pressed square.
    move(buttons::Left, at(3), at(1));
    EXPECT_EQ(view.label2, "Right");
    EXPECT_EQ(data.at(12), "0010");
}

TEST_F(Strokes, AMiddlePressSetsTheAnchorForLaterStrokes)
{
    press(at(4), at(4)); // any button sets the anchor
    move(buttons::Middle, at(6), at(4));
    EXPECT_EQ(anchor.LastSquareX, 4);
    move(buttons::Left, at(5), at(4));
    EXPECT_EQ(view.label2, "Right");
    EXPECT_EQ(data.at(44), "0010");
}

TEST_F(Strokes, AJumpJoinsOnlyTheCurrentSquareAndItsTrailingNeighbour)
{
    press(at(2), at(1)); // square 12
    move(buttons::Left, at(4), at(3)); // square 34, diagonal: vertical wins
    EXPECT_EQ(view.label2, "Down");
    EXPECT_EQ(data.at(24), "0100");
    EXPECT_EQ(data.at(34), "0001");
    EXPECT_EQ(data.at(12), "0000");
    EXPECT_EQ(view.paints, (std::vector<Paint> { { 128, 64, 0 }, { 128, 96, 0 } }));
}

TEST_F(Strokes, DragsPastEveryEdgeStayOnTheGrid)
{
    const struct
    {
        float startX, startY, endX, endY;
    } drags[] = { { at(0), at(5), -500, at(5) }, { at(9), at(5), 5000, at(5) },
                  { at(5), at(0), at(5), -500 }, { at(5), at(9), at(5), 5000 },
                  { at(9), at(9), 5000, 5000 },  { at(0), at(0), -5000, -5000 } };
    for (const auto &d : drags) {
        press(d.startX, d.startY);
        view.paints.clear();
        move(buttons::Left, d.endX, d.endY);
        EXPECT_TRUE(view.paints.empty()) << d.endX << "," << d.endY << ": pointer stays put";
        EXPECT_GE(view.frame.Left, 0);
        EXPECT_LE(view.frame.Left, 288);
        EXPECT_GE(view.frame.Top, 0);
        EXPECT_LE(view.frame.Top, 288);
    }
    // Crossing into the edge squares from inside only ever joins squares of the grid.
    press(at(8), at(8));
    move(buttons::Left, 5000, at(8));
    move(buttons::Left, 5000, 5000);
    EXPECT_EQ(data.at(88), "0010");
    EXPECT_EQ(data.at(89), "1100");
    EXPECT_EQ(data.at(99), "0001");
    EXPECT_EQ(data.at(100), "0000"); // the spare entry is never reached
    for (const Paint &paint : view.paints) {
        EXPECT_LE(paint.x, 288);
        EXPECT_LE(paint.y, 288);
    }
}

TEST_F(Strokes, HoverMovesTheFrameAndReadoutsButNotTheDirection)
{
    move(0, 75, 40);
    EXPECT_EQ(view.frame, (CursorFrame { 64, 32, 32, 32 }));
    EXPECT_EQ(view.label1, "X:2,Y:1,ID:12");
    EXPECT_EQ(view.label4, "ID:12, Data:0000");
    EXPECT_EQ(view.label2, "Label2");
    EXPECT_TRUE(view.paints.empty());

    move(0, 0, 0);
    EXPECT_EQ(view.label1, "X:0,Y:0,ID:0");
}

TEST_F(Strokes, AFailingDataReadoutKeepsItsTextAndTheOtherStillUpdates)
{
    move(0, 75, 40);
    // A list that lost its entries (as before the first set-up): the data read-out fails.
    SquareData empty;
    const PointerSquare here = mapPointer(100, 100, 320, 320, settings);
    updateCursorAndReadouts(here, settings, empty, view);
    EXPECT_EQ(view.label4, "ID:12, Data:0000");
    EXPECT_EQ(view.label1, "X:3,Y:3,ID:33");
}

TEST(Readouts, GeneralNumberFormat)
{
    const QLocale english(QLocale::English);
    const QLocale german(QLocale::German);
    EXPECT_EQ(formatGeneral(0, english), "0");
    EXPECT_EQ(formatGeneral(10100, english), "10100");
    EXPECT_EQ(formatGeneral(-3, english), "-3");
    EXPECT_EQ(formatGeneral(0.9875f, english), "0.9875");
    EXPECT_EQ(formatGeneral(0.9875f, german), "0,9875");
    EXPECT_EQ(formatGeneral(1.0f / 3.0f, english), "0.3333333");
    EXPECT_EQ(formatGeneral(12345.5f, german), "12345,5"); // no group separator
}

TEST(Readouts, FractionalPositionsShowFractions)
{
    const Settings settings { 10, 10, 32 };
    PointerSquare here;
    here.sx = 31.6f;
    here.sy = 0;
    here.index = 1;
    EXPECT_EQ(positionReadout(here, settings, QLocale(QLocale::English)), "X:0.9875,Y:0,ID:0.9875");
}

TEST(Readouts, FrameSizeFollowsEveryMovementAndPositionOnlyWhenItDiffers)
{
    const Settings settings { 10, 10, 48 };
    SquareData data;
    Sub_ResizeSquareData(data, settings);
    FakeStrokeView view;
    view.frame = { 48, 0, 10, 10 };
    PointerSquare here;
    here.sx = 48;
    here.sy = 0;
    here.index = 1;
    updateCursorAndReadouts(here, settings, data, view);
    EXPECT_EQ(view.frame, (CursorFrame { 48, 0, 48, 48 }));
    EXPECT_EQ(view.label4, "ID:1, Data:0000");
}
