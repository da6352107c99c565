// The canvas widget inside the real main window: retained image, cursor frame, pointer capture,
// and repainting only what a movement changed.
#include "tests/uitest.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QScreen>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// Records the region of every paint event the canvas receives.
struct PaintRecorder : QObject
{
    QRegion painted;
    int events = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++events;
        }
        return false;
    }
};

// Part of the canvas as the screen shows it, once the repaints asked for have been made.
QImage onScreen(EditorDriver &editor, const QRect &rect)
{
    return onScreen(editor.form).copy(rect.translated(editor.canvasInWindow().topLeft()));
}

bool hasRed(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 0, 0))
                return true;
        }
    }
    return false;
}

} // namespace

TEST(Canvas, StartsAtItsDesignSizeWithTheFrameAtTheCorner)
{
    EditorDriver editor;
    EXPECT_EQ(editor.canvasInWindow(), QRect(24, 32, 161, 193));
    EXPECT_EQ(editor.canvas()->Image().size(), QSize(161, 193));
    EXPECT_EQ(editor.canvas()->Shape1(), QRect(0, 0, 49, 49));
    const QImage corner = onScreen(editor, QRect(0, 0, 49, 49));
    EXPECT_EQ(corner.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(corner.pixel(48, 20), qRgb(255, 0, 0));
    EXPECT_NE(corner.pixel(20, 20), qRgb(255, 0, 0)); // an outline, not a filled square
}

TEST(Canvas, TheFrameNeverChangesTheImage)
{
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    editor.drag({ { 2, 1 }, { 3, 1 } });
    const QImage before = editor.canvas()->Image();
    const QImage tileBefore = before.copy(64, 32, 64, 32);

    editor.moveTo(editor.centre(2, 1)); // the frame over the painted tiles
    EXPECT_TRUE(hasRed(onScreen(editor, QRect(64, 32, 32, 32))));
    editor.moveTo(editor.centre(8, 8)); // and away again
    EXPECT_EQ(editor.canvas()->Image(), before);
    EXPECT_EQ(onScreen(editor, QRect(64, 32, 64, 32)), tileBefore);
}

TEST(Canvas, MovementsKeepComingOutsideWhileAButtonIsHeld)
{
    EditorDriver editor;
    editor.setUp(5, 5, 32);
    QSignalSpy moves(editor.canvas(), &PictureBox::mouseMove);
    editor.press(editor.centre(0, 2));
    editor.moveTo(QPoint(-20, 70));
    editor.moveTo(QPoint(400, -10));
    ASSERT_EQ(moves.count(), 2);
    EXPECT_EQ(moves[0][0].value<Qt::MouseButtons>(), Qt::LeftButton);
    EXPECT_EQ(moves[0][2].toPoint(), QPoint(-20, 70));
    EXPECT_EQ(moves[1][2].toPoint(), QPoint(400, -10));
    // The frame stayed on edge squares.
    EXPECT_EQ(editor.canvas()->Shape1(), QRect(128, 0, 32, 32));
    editor.release(QPoint(400, -10));
}

TEST(Canvas, ReportsThePixelUnderAFractionalPosition)
{
    EditorDriver editor;
    editor.setUpLargest();
    QSignalSpy moves(editor.canvas(), &PictureBox::mouseMove);
    // As a scaled screen reports it: just below the boundary between rows 67 and 68.
    const QPointF at(3483.0, 6550.508);
    QMouseEvent event(QEvent::MouseMove, at, editor.canvas()->mapToGlobal(at), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    editor.press(QPoint(3483 - 96, 6550));
    QApplication::sendEvent(editor.canvas(), &event);
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves[0][2].toPoint(), QPoint(3483, 6550));
    // The square linked is the square painted: column 36, row 68 (index 6836).
    EXPECT_EQ(editor.code(6836), "1000");
    EXPECT_EQ(editor.code(6835), "0010");
    EXPECT_EQ(editor.code(6834), "0000");
    EXPECT_EQ(PictureBox::pixelUnder(QPointF(-0.25, 7.999)), QPoint(-1, 7));
}

TEST(Canvas, AStrokeStepRepaintsOnlyItsTilesAndTheFrame)
{
    EditorDriver editor;
    editor.setUpLargest();
    editor.press(editor.centre(2, 2));
    editor.moveTo(editor.centre(2, 2));
    QApplication::processEvents(); // lay out and paint what the set-up changed
    editor.form.repaint();

    PaintRecorder recorder;
    editor.canvas()->installEventFilter(&recorder);
    editor.moveTo(editor.centre(3, 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.events > 0; }, 2000));

    // The two tiles, and the frame's old and new places, lie in squares (2,2) and (3,2).
    const QRegion allowed(QRect(2 * 96, 2 * 96, 2 * 96, 96));
    EXPECT_TRUE((recorder.painted - allowed).isEmpty())
            << "painted outside: " << (recorder.painted - allowed).boundingRect().x();
    EXPECT_FALSE(recorder.painted.isEmpty());
    editor.release(editor.centre(3, 2));
}

TEST(Canvas, ResizingKeepsTheOldImageAtTheTopLeft)
{
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    editor.drag({ { 0, 0 }, { 1, 0 } });
    const QImage painted = editor.canvas()->Image().copy(0, 0, 64, 32);
    editor.setUp(20, 3, 32);
    EXPECT_EQ(editor.canvas()->size(), QSize(640, 96));
    EXPECT_EQ(editor.canvas()->Image().copy(0, 0, 64, 32), painted);
    EXPECT_EQ(editor.canvas()->Image().pixel(600, 50), qRgb(255, 255, 255));
}
