// The canvas widget inside the real main window: retained image, cursor frame, pointer capture,
// and repainting only what a movement changed.
#include "editordriver.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
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

QImage onScreen(QWidget *widget, const QRect &rect)
{
    return widget->grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
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
    EXPECT_EQ(editor.canvas()->ScaleWidth(), 161.0f);
    EXPECT_EQ(editor.canvas()->ScaleHeight(), 193.0f);
    EXPECT_EQ(editor.canvas()->Image().size(), QSize(161, 193));
    EXPECT_EQ(editor.canvas()->Shape1(), (CursorFrame { 0, 0, 49, 49 }));
    const QImage corner = onScreen(editor.canvas(), QRect(0, 0, 49, 49));
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
    EXPECT_TRUE(hasRed(onScreen(editor.canvas(), QRect(64, 32, 32, 32))));
    editor.moveTo(editor.centre(8, 8)); // and away again
    EXPECT_EQ(editor.canvas()->Image(), before);
    EXPECT_EQ(onScreen(editor.canvas(), QRect(64, 32, 64, 32)), tileBefore);
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
    EXPECT_EQ(moves[0][0].value<std::int16_t>(), 1);
    EXPECT_EQ(moves[0][2].toFloat(), -20.0f);
    EXPECT_EQ(moves[1][2].toFloat(), 400.0f);
    EXPECT_EQ(moves[1][3].toFloat(), -10.0f);
    // The frame stayed on edge squares.
    EXPECT_EQ(editor.canvas()->Shape1(), (CursorFrame { 128, 0, 32, 32 }));
    editor.release(QPoint(400, -10));
}

TEST(Canvas, ReportsThePixelUnderAFractionalPosition)
{
    EditorDriver editor;
    editor.setUp(100, 100, 96);
    QSignalSpy moves(editor.canvas(), &PictureBox::mouseMove);
    // As a scaled screen reports it: just below the boundary between rows 67 and 68.
    const QPointF at(3483.0, 6550.508);
    QMouseEvent event(QEvent::MouseMove, at, editor.canvas()->mapToGlobal(at), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    editor.press(QPoint(3483 - 96, 6550));
    QApplication::sendEvent(editor.canvas(), &event);
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves[0][2].toFloat(), 3483.0f);
    EXPECT_EQ(moves[0][3].toFloat(), 6550.0f);
    // The square linked is the square painted: column 36, row 68 (index 6836).
    EXPECT_EQ(editor.form.squareData().at(6836), "1000");
    EXPECT_EQ(editor.form.squareData().at(6835), "0010");
    EXPECT_EQ(editor.form.squareData().at(6834), "0000");
    EXPECT_EQ(PictureBox::pixelUnder(QPointF(-0.25, 7.999)), QPointF(-1, 7));
}

TEST(Canvas, AStrokeStepRepaintsOnlyItsTilesAndTheFrame)
{
    EditorDriver editor;
    editor.setUp(100, 100, 96); // a 9600 x 9600 canvas
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

TEST(Canvas, TallExposedAreasShowTheImageExactly)
{
    EditorDriver editor;
    editor.setUp(6, 5, 96);
    editor.drag({ { 0, 0 }, { 0, 1 }, { 0, 2 }, { 1, 2 } });
    editor.moveTo(QPoint(5 * 96 + 10, 4 * 96 + 10)); // the frame out of the way
    const QRect tall(0, 0, 200, 300); // drawn in several strips
    EXPECT_EQ(onScreen(editor.canvas(), tall), editor.canvas()->Image().copy(tall));
}

TEST(Readouts, LabelsDrawTheirCaptionInsideTheirBox)
{
    EditorDriver editor;
    ReadoutLabel *label = editor.label("Label1");
    auto inkColumns = [&](const QString &text) {
        label->setText(text);
        const QImage shot = onScreen(label, label->rect());
        const QRgb background = shot.pixel(shot.width() - 1, 0);
        int columns = 0;
        for (int x = 0; x < shot.width(); ++x) {
            for (int y = 0; y < shot.height(); ++y) {
                if (qGray(shot.pixel(x, y)) < qGray(background) - 60) {
                    ++columns;
                    break;
                }
            }
        }
        return columns;
    };
    EXPECT_EQ(inkColumns(QString()), 0);
    const int short_ = inkColumns(QStringLiteral("X:3"));
    const int long_ = inkColumns(QStringLiteral("X:3,Y:1,ID:13"));
    EXPECT_GT(short_, 3);
    EXPECT_GT(long_, 2 * short_);
    EXPECT_GT(inkColumns(QStringLiteral("Größe ÅÄÖ")), 3); // beyond ASCII: Qt's own layout
    // A caption wider than the label is cut off at its edge, and the text still reads back.
    const QString wide = QStringLiteral("X:100,Y:100,ID:10100 and more and more");
    EXPECT_LE(inkColumns(wide), label->width());
    EXPECT_EQ(label->text(), wide);
}
