// A canvas larger than the window, scrolled while a stroke is drawn: whatever moves the view
// (auto-scroll past an edge, the wheel, Shift+wheel, a tilting wheel), the drag draws one
// unbroken passage, on screen and in the saved bitmap; and the line around the canvas is shown
// where the canvas is, and nowhere else.
#include "tests/uitest.h"

#include "bitmapfile/bitmapfile.h"

#include "ui/canvasview.h"
#include "tests/support/tileshown.h"

#include <QImageReader>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

#include <vector>

namespace {

struct View
{
    explicit View(EditorDriver &editor)
        : area(editor.form.findChild<CanvasView *>())
        , across(area->horizontalScrollBar())
        , down(area->verticalScrollBar())
    { }
    QWidget *viewport() const { return area->viewport(); }
    CanvasView *area;
    QScrollBar *across;
    QScrollBar *down;
};

// The code a square of a passage must have: open towards the squares before and after it.
std::string expectedCode(const std::vector<QPoint> &path, std::size_t i)
{
    std::string code = "0000";
    auto openTowards = [&](QPoint other) {
        const QPoint d = other - path[i];
        code[d.x() < 0 ? 0 : d.y() > 0 ? 1 : d.x() > 0 ? 2 : 3] = '1';
    };
    if (i > 0)
        openTowards(path[i - 1]);
    if (i + 1 < path.size())
        openTowards(path[i + 1]);
    return code;
}

// The squares from `from` to `to` along one column or one row.
void extend(std::vector<QPoint> &path, QPoint to)
{
    QPoint at = path.back();
    while (at != to) {
        at += QPoint(to.x() > at.x() ? 1 : to.x() < at.x() ? -1 : 0,
                     to.x() == at.x() ? (to.y() > at.y() ? 1 : -1) : 0);
        path.push_back(at);
    }
}

// Checks that the squares of `path` form one passage drawn with the left button: in the codes,
// on screen where they are in view, and in the bitmap "Save" writes.
void expectOnePassage(EditorDriver &editor, const std::vector<QPoint> &path)
{
    const int p = editor.settings().PixelsPerSquare;
    const QImage screen = onScreen(editor.form);
    // The squares wholly in view and not under a button.
    QRegion inView = editor.canvas()->visibleRegion();
    for (const char *button : { "cmdSave", "Command1" }) {
        const QWidget *over = editor.button(button);
        inView -= QRect(editor.canvas()->mapFrom(&editor.form, over->pos()), over->size());
    }
    ASSERT_TRUE(editor.save());
    const QImage saved = QImageReader(defaultBitmapPath()).read();
    ASSERT_EQ(saved.size(), editor.canvas()->size());
    int onScreenChecked = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const QRect square(path[i] * p, QSize(p, p));
        const std::string code = expectedCode(path, i);
        SCOPED_TRACE("square " + std::to_string(path[i].x()) + "," + std::to_string(path[i].y())
                     + " of " + std::to_string(path.size()));
        ASSERT_EQ(editor.code(path[i].y() * editor.settings().SizeX + path[i].x()), code);
        ASSERT_EQ(tileShown(saved, square), code + " left");
        // The frame's red lies over the walls of the square it marks.
        if (QRegion(square).subtracted(inView).isEmpty() && square != editor.canvas()->Shape1()) {
            ++onScreenChecked;
            const QRect shown = square.translated(editor.canvasInWindow().topLeft());
            ASSERT_EQ(tileShown(screen, shown), code + " left");
        }
    }
    EXPECT_GT(onScreenChecked, 1);
    // The frame and the read-outs end on the last square.
    const QPoint end = path.back();
    EXPECT_EQ(editor.canvas()->Shape1(), QRect(end * p, QSize(p, p)));
    EXPECT_EQ(editor.caption("Label1"),
              QStringLiteral("X:%1,Y:%2,ID:%3")
                      .arg(end.x())
                      .arg(end.y())
                      .arg(end.y() * editor.settings().SizeX + end.x()));
}

} // namespace

// A drag held 40 pixels past the bottom or the right edge of the view, at 7 and 16 pixels a
// square: the view moves along that axis only, and the stroke walks every square it carries the
// pointer over.
class AutoScroll : public ::testing::TestWithParam<std::tuple<int, bool>>
{ };

// A point `past` pixels beyond the last visible pixel row (or column) of the view, in the canvas,
// level with the middle of square 3.
static QPoint pastTheEdge(EditorDriver &editor, bool downwards, int past)
{
    QWidget *viewport = View(editor).viewport();
    const int middle = 3 * editor.settings().PixelsPerSquare
            + editor.settings().PixelsPerSquare / 2;
    const QPoint at = downwards ? QPoint(middle, viewport->height() - 1 + past)
                                : QPoint(viewport->width() - 1 + past, middle);
    return editor.canvas()->mapFrom(viewport, at);
}

TEST_P(AutoScroll, WalksEverySquareTheViewCarriesThePointerOver)
{
    const auto [pixels, downwards] = GetParam();
    EditorDriver editor;
    editor.setUp(100, 100, pixels); // larger than the view both ways
    QApplication::processEvents();
    View view(editor);
    QScrollBar *along = downwards ? view.down : view.across;
    QSignalSpy sideways(downwards ? view.across : view.down, &QScrollBar::valueChanged);
    // By hand into the square at the last visible pixel, then out in steps of less than a square.
    const QPoint edge = pastTheEdge(editor, downwards, 0);
    const QPoint last(edge.x() / pixels, edge.y() / pixels);
    const QPoint before = last - (downwards ? QPoint(0, 1) : QPoint(1, 0));
    editor.press(editor.centre(before.x(), before.y()));
    editor.moveTo(editor.centre(last.x(), last.y()));
    for (int past = 0; past < 40; past += pixels - 1)
        editor.moveTo(pastTheEdge(editor, downwards, past));
    editor.moveTo(pastTheEdge(editor, downwards, 40));
    ASSERT_TRUE(QTest::qWaitFor([&] { return along->value() == along->maximum(); }, 60000));
    editor.release(pastTheEdge(editor, downwards, 40));
    EXPECT_EQ(sideways.count(), 0) << "the view moved along the other axis too";

    std::vector<QPoint> path { before };
    extend(path, downwards ? QPoint(before.x(), 99) : QPoint(99, before.y()));
    expectOnePassage(editor, path);
}

INSTANTIATE_TEST_SUITE_P(Scrolling, AutoScroll,
                         ::testing::Combine(::testing::Values(7, 16), ::testing::Bool()));

// Past each of the four edges: resting on the last visible pixel scrolls nothing, one pixel
// further moves the view by the smallest step, and far out every tick moves it by the largest.
TEST(Scrolling, AutoScrollStepsStayInTheirBounds)
{
    EditorDriver editor;
    editor.setUp(100, 100, 16);
    QApplication::processEvents();
    View view(editor);
    const struct
    {
        const char *name;
        bool vertical;
        int outwards;
    } edges[] = { { "bottom", true, 1 }, { "top", true, -1 }, { "right", false, 1 },
                  { "left", false, -1 } };
    for (const auto &edge : edges) {
        SCOPED_TRACE(edge.name);
        QScrollBar *bar = edge.vertical ? view.down : view.across;
        bar->setValue(bar->maximum() / 2); // room to move either way
        const int start = bar->value();
        // `past` pixels beyond the edge's last visible pixel, half-way along it, in the canvas.
        const auto beyond = [&](int past) {
            const QSize size = view.viewport()->size();
            const int extent = edge.vertical ? size.height() : size.width();
            const int last = edge.outwards < 0 ? 0 : extent - 1;
            const int along = last + edge.outwards * past;
            return editor.canvas()->mapFrom(view.viewport(),
                                            edge.vertical ? QPoint(size.width() / 2, along)
                                                          : QPoint(along, size.height() / 2));
        };
        editor.press(beyond(-8));
        editor.moveTo(beyond(0));
        QTest::qWait(5 * CanvasView::AutoScrollInterval); // nothing may happen here
        EXPECT_EQ(bar->value(), start) << "resting on the last visible pixel scrolls nothing";

        editor.moveTo(beyond(1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() != start; }, 60000));
        EXPECT_EQ(bar->value(), start + edge.outwards * CanvasView::SlowestStep)
                << "one pixel past the edge";

        int previous = bar->value();
        QSignalSpy steps(bar, &QScrollBar::valueChanged);
        editor.moveTo(beyond(500));
        ASSERT_TRUE(QTest::qWaitFor([&] { return steps.count() >= 3; }, 60000));
        editor.release(beyond(500));
        for (const QList<QVariant> &step : steps) {
            EXPECT_EQ(step.at(0).toInt() - previous, edge.outwards * CanvasView::FastestStep);
            previous = step.at(0).toInt();
        }
    }
}

namespace {

// One notch of the wheel over the canvas at `at` (canvas pixels), with these buttons held. The
// canvas leaves the wheel to the view it lies in.
void turnWheel(EditorDriver &editor, QPoint at, QPoint angle, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = {})
{
    QWidget *viewport = editor.form.findChild<CanvasView *>()->viewport();
    const QPointF there = editor.canvas()->mapTo(viewport, at);
    QWheelEvent wheel(there, viewport->mapToGlobal(there), QPoint(), angle, buttons, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
}

} // namespace

// The wheel turned during a drag: down, then sideways with Shift and with a tilting wheel.
class WheelDuringADrag : public ::testing::TestWithParam<int>
{ };

TEST_P(WheelDuringADrag, WalksEverySquareTheViewCarriesThePointerOver)
{
    const int pixels = GetParam();
    EditorDriver editor;
    editor.form.resize(1, 1); // as small as it goes: room to scroll both ways at 7 pixels a square
    editor.setUp(100, 100, pixels);
    QApplication::processEvents();
    View view(editor);
    std::vector<QPoint> path { { 2, 2 }, { 3, 2 } };
    editor.drag({ path[0], path[1] }); // the anchor is now (3, 2)
    editor.press(editor.centre(3, 2));
    const QPoint pointer = editor.centre(3, 2); // the pointer stays here on the window

    // A third of a notch at a time, which a fine wheel or a touchpad gives.
    constexpr int turn = 40;
    turnWheel(editor, pointer, QPoint(0, -turn), Qt::LeftButton);
    const int notch = view.down->value();
    EXPECT_GT(notch, pixels) << "a third of a notch carries the pointer over more than a square";
    turnWheel(editor, pointer + QPoint(0, notch), QPoint(0, -turn), Qt::LeftButton,
              Qt::ShiftModifier);
    EXPECT_EQ(view.across->value(), notch) << "Shift+wheel moves as far across as down";
    turnWheel(editor, pointer + QPoint(notch, notch), QPoint(-turn, 0), Qt::LeftButton);
    EXPECT_EQ(view.across->value(), 2 * notch) << "the tilting wheel";
    const QPoint end = pointer + QPoint(2 * notch, notch);
    editor.release(end);
    extend(path, QPoint(3, end.y() / pixels));
    extend(path, QPoint(end.x() / pixels, end.y() / pixels));
    expectOnePassage(editor, path);

    // Held with no button, two buttons or the middle one, the wheel links nothing.
    const auto codes = editor.form.grid().SquareData();
    const Qt::MouseButtons others[]
            = { Qt::NoButton, Qt::MiddleButton, Qt::LeftButton | Qt::RightButton };
    for (const Qt::MouseButtons buttons : others) {
        QPoint at = end;
        if (buttons == Qt::NoButton)
            editor.press(at); // a drag whose release never reaches the canvas
        for (const Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton })
            if (buttons & button)
                editor.press(at, button);
        turnWheel(editor, at, QPoint(0, turn), buttons);
        at -= QPoint(0, notch);
        turnWheel(editor, at, QPoint(0, turn), buttons, Qt::ShiftModifier);
        at -= QPoint(notch, 0);
        for (const Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton })
            if (buttons & button || (buttons == Qt::NoButton && button == Qt::LeftButton))
                editor.release(at, button);
        EXPECT_EQ(editor.form.grid().SquareData(), codes) << buttons;
        // Every button up: the view moves under the still pointer, and the frame and the
        // read-outs stay where the pointer last moved.
        const QRect frame = editor.canvas()->Shape1();
        const QString readouts = editor.caption("Label1") + editor.caption("Label4");
        const QPoint before(view.across->value(), view.down->value());
        turnWheel(editor, at, QPoint(0, -turn), Qt::NoButton);
        turnWheel(editor, at + QPoint(0, notch), QPoint(0, -turn), Qt::NoButton, Qt::ShiftModifier);
        ASSERT_EQ(QPoint(view.across->value(), view.down->value()), before + QPoint(notch, notch));
        EXPECT_EQ(editor.canvas()->Shape1(), frame) << buttons;
        EXPECT_EQ(editor.caption("Label1") + editor.caption("Label4"), readouts) << buttons;
    }
}

// Both buttons pressed, then the right one released where it was pressed, with no movement in
// between: the left one alone is held, and whatever moves the view next (a key, the wheel) is
// walked with it.
TEST(Scrolling, AfterAChordTheButtonStillHeldDrawsWhenTheViewMoves)
{
    EditorDriver editor;
    editor.setUp(100, 100, 16);
    QApplication::processEvents();
    View view(editor);
    std::vector<QPoint> path { { 2, 2 }, { 3, 2 } };
    editor.drag({ path[0], path[1] });
    const QPoint pointer = editor.centre(3, 2); // the pointer stays here on the window
    editor.press(pointer);
    editor.press(pointer, Qt::RightButton);
    editor.release(pointer, Qt::RightButton);
    QTest::keyClick(view.area, Qt::Key_PageDown);
    const int key = view.down->value();
    ASSERT_GT(key, 3 * 16) << "a page carries the pointer over several squares";
    turnWheel(editor, pointer + QPoint(0, key), QPoint(0, -120), Qt::LeftButton);
    const QPoint end = pointer + QPoint(0, view.down->value());
    editor.release(end);
    extend(path, QPoint(3, end.y() / 16));
    expectOnePassage(editor, path);
}

INSTANTIATE_TEST_SUITE_P(Scrolling, WheelDuringADrag, ::testing::Values(7, 16));

// A smaller grid accepted while a button is held brings the view back to the canvas's corner:
// the program moved the view, the pointer carried nothing, and nothing is drawn.
TEST(Scrolling, ASetUpThatMovesTheViewDrawsNothing)
{
    EditorDriver editor;
    editor.setUp(100, 100, 16);
    QApplication::processEvents();
    View view(editor);
    view.down->setValue(view.down->maximum());
    view.across->setValue(view.across->maximum());
    const QPoint held = editor.canvas()->mapFrom(view.viewport(), QPoint(100, 100));
    editor.press(held);
    editor.setUp(20, 20, 16);
    ASSERT_EQ(view.down->value(), 0);
    editor.release(editor.canvas()->mapFrom(view.viewport(), QPoint(100, 100)));
    QImage white(editor.canvas()->Image().size(), editor.canvas()->Image().format());
    white.fill(Qt::white);
    EXPECT_EQ(editor.canvas()->Image(), white) << "a tile was drawn";
    EXPECT_EQ(editor.form.grid().SquareData(), std::vector<SquareCode>(20 * 20 + 1, 0));
}

namespace {

// Checks that the window shows the line around the visible part of the canvas, one pixel
// outside it, and nothing of any other line: every pixel of the window outside the canvas and
// its controls is the line's colour exactly where the line lies.
void expectLineAroundTheCanvas(EditorDriver &editor, const char *after)
{
    SCOPED_TRACE(after);
    const QImage screen = onScreen(editor.form);
    auto *view = editor.form.findChild<CanvasView *>();
    const QRect visible = editor.canvasInWindow().intersected(
            QRect(view->viewport()->mapTo(&editor.form, QPoint()), view->viewport()->size()));
    const QRect line = visible.adjusted(-1, -1, 1, 1);
    QRegion elsewhere = QRegion(editor.form.rect()) - visible;
    for (QWidget *child : editor.form.findChildren<QWidget *>()) {
        if (child->isVisible() && child != view && !view->isAncestorOf(child))
            elsewhere -= QRect(child->mapTo(&editor.form, QPoint()), child->size());
    }
    // The scroll bars, and the corner between them, which the view's style paints.
    const auto place = [&](const QWidget *bar) {
        return QRect(bar->mapTo(&editor.form, QPoint()), bar->size());
    };
    const QScrollBar *across = view->horizontalScrollBar();
    const QScrollBar *down = view->verticalScrollBar();
    for (const QScrollBar *bar : { across, down }) {
        if (bar->isVisible())
            elsewhere -= place(bar);
    }
    if (across->isVisible() && down->isVisible())
        elsewhere -= QRect(QPoint(place(down).left(), place(across).top()),
                           QPoint(place(down).right(), place(across).bottom()));
    const QRgb lineColour = editor.form.palette().color(QPalette::Dark).rgb();
    const QRgb background = editor.form.palette().color(QPalette::Window).rgb();
    int wrong = 0;
    QPoint first;
    for (const QRect &r : elsewhere) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                const bool onLine = line.contains(x, y)
                        && (x == line.left() || x == line.right() || y == line.top()
                            || y == line.bottom());
                if (screen.pixel(x, y) != (onLine ? lineColour : background) && wrong++ == 0)
                    first = QPoint(x, y);
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels beside the canvas are not as the line around it, first at "
                        << first.x() << "," << first.y();
}

} // namespace

TEST(CanvasLine, IsShownExactlyAroundTheVisibleCanvas)
{
    EditorDriver editor;
    expectLineAroundTheCanvas(editor, "start");
    editor.setUp(5, 4, 7);
    expectLineAroundTheCanvas(editor, "first set-up");
    editor.setUp(100, 100, 16);
    expectLineAroundTheCanvas(editor, "larger than the window");
    View view(editor);
    view.down->setValue(view.down->maximum());
    view.across->setValue(view.across->maximum() / 2);
    expectLineAroundTheCanvas(editor, "scrolled");
    editor.form.resize(500, 400);
    expectLineAroundTheCanvas(editor, "window made smaller");
    editor.setUp(20, 10, 16);
    expectLineAroundTheCanvas(editor, "shrunk");
    editor.form.resize(688, 528);
    expectLineAroundTheCanvas(editor, "window made larger");
}
