// What the user sees, checked on screen: the window's backing store after the paint cycle, not a
// fresh rendering. The canvas shows its image with the frame on the square under the pointer,
// the read-outs show their captions whole, and a canvas larger than the window can be reached.
#include "tests/uitest.h"

#include "bitmapfile/bitmapfile.h"
#include "ui/captions.h"
#include "ui/editorfont.h"
#include "ui/form2.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QScrollArea>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTranslator>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

// Checks that the screen shows the canvas's image with the frame over it, and each read-out as
// its caption reads.
void expectScreenShowsTheEditor(EditorDriver &editor, const char *after)
{
    SCOPED_TRACE(after);
    const QImage screen = onScreen(editor.form);
    const QRect canvas = editor.canvasInWindow();
    const QRect frame = editor.canvas()->Shape1();
    const QImage &image = editor.canvas()->Image();
    // The part of the canvas in view and not under the buttons, in canvas pixels.
    QRegion visible = editor.canvas()->visibleRegion();
    for (const char *button : { "cmdSave", "Command1" }) {
        const QWidget *over = editor.button(button);
        visible -= QRect(editor.canvas()->mapFrom(&editor.form, over->pos()), over->size());
    }
    int wrong = 0;
    QPoint first;
    const QRect bounds = visible.boundingRect();
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            if (!visible.contains(QPoint(x, y)))
                continue;
            const bool onFrame = frame.contains(x, y)
                    && (x == frame.left() || x == frame.right() || y == frame.top()
                        || y == frame.bottom());
            const QRgb expected = onFrame ? qRgb(255, 0, 0) : image.pixel(x, y);
            if (screen.pixel(canvas.topLeft() + QPoint(x, y)) != expected && wrong++ == 0)
                first = QPoint(x, y);
        }
    }
    EXPECT_EQ(wrong, 0) << "canvas pixels differ from the image and frame, first at " << first.x()
                        << "," << first.y();
    for (const char *name : { "Label1", "Label2", "Label4" }) {
        // The part of the label no other control covers (Label2 lies over Label1's end).
        QWidget *label = editor.label(name);
        const QRect shown = label->visibleRegion().boundingRect();
        const QImage fresh = label->grab(shown).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(screen.copy(shown.translated(label->pos())), fresh)
                << name << " does not show \"" << editor.caption(name).toStdString() << "\"";
    }
}

// A wheel turned over the canvas: the canvas leaves it to the scrolling area's viewport.
void sendWheel(EditorDriver &editor, QPoint angle, Qt::KeyboardModifiers modifiers = {})
{
    QWidget *widget = editor.form.findChild<QScrollArea *>()->viewport();
    const QPointF at(10, 10);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

// A translation whose size hints are the widest text of both windows.
class WideHints : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "Form2") == 0 && qstrcmp(source, "%1 to %2") == 0)
            return QStringLiteral("%1 bis einschließlich %2");
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

// Run twice: with the system's fonts, and with a font configuration that offers DejaVu only, so
// that a wider font stands in for the chosen one.
TEST(Display, EveryCaptionAndReadoutFitsItsControl)
{
    const QFontInfo chosen(editorFont());
    if (chosen.family() == QLatin1String(EditorFontFamily)) {
        EXPECT_EQ(chosen.pixelSize(), EditorFontPixels) << "the chosen font at its design size";
    }
    EXPECT_EQ(chosen.pixelSize(), fittingPixelSize());
    EditorDriver editor;
    Form2 dialog(Settings {});
    // The widest text each control can show, in the font it shows it in, and the room it has
    // (ui/captions.h): every fixed caption as its control shows it, and the widest read-outs,
    // direction words and hints.
    struct Case
    {
        QFont font;
        QString text;
        int room;
    };
    std::vector<Case> cases;
    const auto add = [&](const QWidget *window, const char *name, const QString &text, int room) {
        cases.push_back({ window->findChild<QWidget *>(QLatin1String(name))->font(), text, room });
    };
    // A caption's room lies within its control, and no control stacked above it covers any of it.
    const auto addShown = [&](const QWidget *window, const char *name, int room) {
        const QWidget *shown = window->findChild<QWidget *>(QLatin1String(name));
        EXPECT_LE(room, shown->width()) << name;
        const QObjectList &stack = window->children(); // from the bottom up
        for (auto above = stack.begin() + stack.indexOf(shown) + 1; above != stack.end(); ++above) {
            const auto *other = qobject_cast<const QWidget *>(*above);
            EXPECT_FALSE(other
                         && QRect(shown->pos(), QSize(room, shown->height()))
                                    .intersects(other->geometry()))
                    << name << "'s room reaches under " << (*above)->objectName().toStdString();
        }
        add(window, name, shown->property("text").toString(), room);
    };
    for (const Caption &caption : captions::Form1::All)
        addShown(&editor.form, caption.control, caption.room);
    for (const Caption &caption : captions::Form2::All)
        addShown(&dialog, caption.control, caption.room);
    const int readout = captions::Form1::Label1.room;
    add(&editor.form, "Label1", QStringLiteral("X:99,Y:99,ID:9999"), readout);
    add(&editor.form, "Label1", QStringLiteral("X:88,Y:88,ID:8888"), readout);
    add(&editor.form, "Label4", QStringLiteral("ID:9999, Data:1111"), captions::Form1::Label4.room);
    add(&editor.form, "Label4", QStringLiteral("ID:8888, Data:0000"), captions::Form1::Label4.room);
    add(&editor.form, "Label2", QStringLiteral("Right"), captions::Form1::Label2.room);
    addShown(&dialog, "Label4_0", layout::Form2::Label4_0.width());
    addShown(&dialog, "Label4_2", layout::Form2::Label4_2.width());
    for (const auto &c : cases)
        EXPECT_LE(QFontMetrics(c.font).horizontalAdvance(c.text) + 4, c.room)
                << c.text.toStdString() << " in " << QFontInfo(c.font).family().toStdString()
                << " at " << QFontInfo(c.font).pixelSize() << " px";
}

// Where a translation makes a hint the widest text, the size is the largest at which that hint
// fits in bold, the weight the dialog shows it in.
TEST(Display, TheFontIsTheLargestAtWhichABoldHintFits)
{
    WideHints wide;
    ASSERT_TRUE(QCoreApplication::installTranslator(&wide));
    const auto remove = qScopeGuard([&] { QCoreApplication::removeTranslator(&wide); });
    const QString hint = Form2::hints()[1];
    const int pixels = fittingPixelSize();
    ASSERT_LT(pixels, EditorFontPixels) << "the hint should not fit at the design size";
    const auto roomLeft = [&](int size, QFont::Weight weight) {
        QFont font = editorFont();
        font.setPixelSize(size);
        font.setWeight(weight);
        return layout::Form2::Label4_1.width() - EditorFontSpare
                - QFontMetrics(font).horizontalAdvance(hint);
    };
    EXPECT_GE(roomLeft(pixels, QFont::Bold), 0) << pixels << " px";
    EXPECT_LT(roomLeft(pixels + 1, QFont::Bold), 0) << pixels + 1 << " px fits as well";
}

TEST(Display, TheScreenShowsTilesFrameAndReadoutsAsTheyAre)
{
    EditorDriver editor;
    editor.setUp(7, 4, 40); // not square
    expectScreenShowsTheEditor(editor, "set-up");
    editor.moveTo(editor.centre(3, 2));
    editor.moveTo(editor.centre(5, 1));
    expectScreenShowsTheEditor(editor, "hovering");
    editor.press(editor.centre(1, 1));
    editor.moveTo(editor.centre(2, 1));
    editor.moveTo(editor.centre(2, 2));
    expectScreenShowsTheEditor(editor, "steps");
    editor.moveTo(editor.centre(5, 2)); // a jump
    editor.moveTo(editor.centre(6, 3)); // a diagonal
    editor.release(editor.centre(6, 3));
    expectScreenShowsTheEditor(editor, "a jump and a diagonal");

    editor.setUp(7, 4, 24); // the square size changes under the drawing
    editor.drag({ { 0, 3 }, { 1, 3 }, { 1, 2 } }, Qt::RightButton);
    editor.press(editor.centre(4, 0), Qt::RightButton);
    editor.moveTo(editor.centre(6, 0));
    editor.release(editor.centre(6, 0), Qt::RightButton);
    expectScreenShowsTheEditor(editor, "new square size");
    EXPECT_EQ(editor.caption("Label1"), "X:6,Y:0,ID:6");
}

TEST(Display, ACanvasThatFitsDoesNotScroll)
{
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    QApplication::processEvents();
    auto *view = editor.form.findChild<QScrollArea *>();
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());
    sendWheel(editor, QPoint(0, -1200));
    EXPECT_EQ(editor.canvasInWindow().topLeft(), QPoint(24, 32));
}

TEST(Display, TheFarCornerOfALargeCanvasCanBeReachedAndDrawn)
{
    EditorDriver editor;
    editor.setUp(100, 100, 32);
    QApplication::processEvents();
    auto *view = editor.form.findChild<QScrollArea *>();
    ASSERT_TRUE(view->verticalScrollBar()->isVisible());
    QScrollBar *across = view->horizontalScrollBar();
    QScrollBar *down = view->verticalScrollBar();
    auto turn = [&](QPoint angle, Qt::KeyboardModifiers modifiers = {}) {
        for (int i = 0; i < 100; ++i)
            sendWheel(editor, angle, modifiers);
    };
    turn(QPoint(0, -120), Qt::ShiftModifier); // Shift+wheel: across, not down
    EXPECT_EQ(across->value(), across->maximum());
    EXPECT_EQ(down->value(), 0);
    turn(QPoint(120, 0)); // the tilt wheel, back and forth
    EXPECT_EQ(across->value(), 0);
    turn(QPoint(-120, 0));
    EXPECT_EQ(across->value(), across->maximum());
    turn(QPoint(0, -120));
    EXPECT_EQ(down->value(), down->maximum());

    // The last squares are now in view: a stroke there, then a save.
    const QRect visible(-editor.canvas()->pos(), view->viewport()->size());
    ASSERT_TRUE(visible.contains(editor.centre(98, 99)) && visible.contains(editor.centre(99, 99)));
    editor.drag({ { 98, 99 }, { 99, 99 } });
    EXPECT_EQ(editor.code(9999), "1000");
    expectScreenShowsTheEditor(editor, "scrolled to the far corner");
    ASSERT_TRUE(editor.save());
    const QImage saved = QImageReader(defaultBitmapPath()).read();
    ASSERT_EQ(saved.size(), QSize(3200, 3200));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32).copy(98 * 32, 99 * 32, 64, 32),
              editor.canvas()->Image().copy(98 * 32, 99 * 32, 64, 32));
    EXPECT_NE(saved.pixel(99 * 32 + 30, 99 * 32 + 16), qRgb(255, 255, 255)); // a wall, not blank
}

TEST(Display, ADragPastTheVisibleEdgeScrollsAndTheStrokeGoesOn)
{
    EditorDriver editor;
    editor.setUp(100, 3, 32);
    QApplication::processEvents();
    auto *view = editor.form.findChild<QScrollArea *>();
    const int lastVisible = (view->viewport()->width() - 1) / 32;
    editor.press(editor.centre(lastVisible - 1, 1));
    editor.moveTo(editor.centre(lastVisible, 1));
    // Held 20 pixels past the right edge of the view, the pointer does not move.
    const QPoint outside(view->viewport()->width() + 20, editor.centre(0, 1).y());
    QTest::mouseMove(editor.canvas(), editor.canvas()->mapFrom(view->viewport(), outside));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->horizontalScrollBar()->value() >= 96; }, 5000));
    // The stroke followed, along the middle row, up to the square now under the pointer.
    const int under = editor.canvas()->mapFrom(view->viewport(), outside).x() / 32;
    EXPECT_GT(under, lastVisible + 1);
    EXPECT_EQ(editor.code(100 + under), "1000");
    EXPECT_EQ(editor.code(100 + lastVisible + 1), "1010");
    editor.release(outside);
    const int stopped = view->horizontalScrollBar()->value();
    QTest::qWait(100);
    EXPECT_EQ(view->horizontalScrollBar()->value(), stopped) << "scrolling ends with the drag";
}
