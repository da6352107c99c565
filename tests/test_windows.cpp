// The main window, the settings dialog and the flow between them, as a user meets them.
#include "tests/uitest.h"

#include "bitmapfile/bitmapfile.h"
#include "input/numbertext.h"
#include "render/retainedimage.h"
#include "ui/accessibility.h"
#include "ui/errorreport.h"

#include <QAccessible>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWindow>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <gtest/gtest.h>

#include <limits>

namespace {

using Texts = std::array<QString, 3>;

Texts textsOf(Form2 &dialog)
{
    return { EditorDriver::box(dialog, "txtSizeX")->text(),
             EditorDriver::box(dialog, "txtSizeY")->text(),
             EditorDriver::box(dialog, "txtPixel")->text() };
}

} // namespace

TEST(MainWindow, HasItsDesignLayout)
{
    EditorDriver editor;
    EXPECT_EQ(editor.form.windowTitle(), "Form1");
    EXPECT_EQ(editor.form.size(), QSize(688, 528));
    const struct
    {
        const char *name;
        QRect geometry;
        const char *text;
    } labels[] = { { "Label1", QRect(32, 8, 105, 17), "Label1" },
                   { "Label2", QRect(128, 8, 121, 17), "Label2" },
                   { "Label4", QRect(256, 8, 89, 17), "Label4" } };
    for (const auto &l : labels) {
        EXPECT_EQ(editor.label(l.name)->geometry(), l.geometry) << l.name;
        EXPECT_EQ(editor.caption(l.name), l.text);
    }
    EXPECT_EQ(editor.form.findChild<QWidget *>("Label3"), nullptr);
    EXPECT_EQ(editor.button("cmdSave")->geometry(), QRect(560, 408, 113, 33));
    EXPECT_EQ(editor.button("cmdSave")->text(), "Save");
    EXPECT_EQ(editor.button("Command1")->geometry(), QRect(560, 448, 113, 33));
    EXPECT_EQ(editor.button("Command1")->text(), "Command1");
    EXPECT_FALSE(editor.button("cmdSave")->isDefault());
    EXPECT_FALSE(editor.button("Command1")->isDefault());
    // Focus: the canvas first, then "Save", then "Command1".
    EXPECT_EQ(QApplication::focusWidget(), editor.canvas());
    EXPECT_EQ(EditorDriver::nextFocusable(editor.canvas()), editor.button("cmdSave"));
    EXPECT_EQ(EditorDriver::nextFocusable(editor.button("cmdSave")), editor.button("Command1"));
    EXPECT_EQ(EditorDriver::nextFocusable(editor.button("Command1")), editor.canvas());

    // Made as small as it goes, the window still shows both buttons whole, and the scroll bars of
    // a canvas larger than the window can be used to both their ends.
    editor.setUp(100, 100, 16);
    editor.form.resize(1, 1);
    QApplication::processEvents();
    const QRect buttons
            = editor.button("cmdSave")->geometry().united(editor.button("Command1")->geometry());
    EXPECT_TRUE(editor.form.rect().contains(buttons)) << "a button is cut off";
    const auto *view = editor.form.findChild<QScrollArea *>();
    for (QScrollBar *bar : { view->horizontalScrollBar(), view->verticalScrollBar() }) {
        ASSERT_TRUE(bar->isVisible());
        const QRect place(bar->mapTo(&editor.form, QPoint()), bar->size());
        for (const QPoint end : { place.topLeft(), place.bottomRight() })
            EXPECT_EQ(editor.form.childAt(end), bar)
                    << (bar->orientation() == Qt::Horizontal ? "horizontal" : "vertical")
                    << " scroll bar's end at " << end.x() << "," << end.y();
    }
}

TEST(MainWindow, IgnoresTheCanvasUntilSettingsExist)
{
    EditorDriver editor;
    editor.press(QPoint(60, 60));
    editor.moveTo(QPoint(100, 100));
    editor.release(QPoint(100, 100));
    editor.moveTo(QPoint(20, 20));
    EXPECT_EQ(editor.caption("Label1"), "Label1");
    EXPECT_EQ(editor.caption("Label2"), "Label2");
    EXPECT_EQ(editor.caption("Label4"), "Label4");
    EXPECT_EQ(editor.canvas()->Shape1(), QRect(0, 0, 49, 49));
    EXPECT_TRUE(editor.form.grid().SquareData().empty());
    EXPECT_EQ(errorBox(&editor.form), nullptr);
}

TEST(MainWindow, ALargeCanvasLiesUnderTheButtons)
{
    EditorDriver editor;
    editor.setUpLargest();
    EXPECT_EQ(editor.canvasInWindow(), QRect(24, 32, 9600, 9600));
    EXPECT_EQ(editor.form.size(), QSize(688, 528));
    const QPoint onSave = editor.button("cmdSave")->geometry().center();
    EXPECT_EQ(editor.form.childAt(onSave), editor.button("cmdSave"));
}

TEST(SettingsDialog, HasItsDesignLayout)
{
    EditorDriver editor;
    editor.withDialog([&](Form2 &dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Form2");
        EXPECT_EQ(dialog.size(), QSize(385, 285));
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
        EXPECT_TRUE(dialog.isModal());
        EXPECT_EQ(dialog.parent(), nullptr);
        EXPECT_EQ(dialog.windowHandle()->transientParent(), editor.form.windowHandle());
        const struct
        {
            const char *name;
            QRect geometry;
            const char *text;
        } controls[] = {
            { "txtSizeX", QRect(112, 16, 105, 19), "10" },
            { "Label1", QRect(16, 16, 121, 17), "Square Size X:" },
            { "Label2", QRect(16, 40, 81, 17), "Square Size Y:" },
            { "txtSizeY", QRect(112, 40, 105, 19), "10" },
            { "txtPixel", QRect(112, 64, 105, 21), "32" },
            { "Label3", QRect(16, 64, 97, 17), "Pixels Per Square:" },
            { "Command1", QRect(272, 248, 105, 25), "OK" },
            { "Command2", QRect(176, 248, 89, 25), "Cancel" },
            { "Label4_0", QRect(232, 16, 89, 17), "3 to 100" },
            { "Label4_1", QRect(232, 40, 89, 17), "3 to 100" },
            { "Label4_2", QRect(232, 64, 89, 17), "8 to 96" },
        };
        for (const auto &c : controls) {
            QWidget *widget = dialog.findChild<QWidget *>(c.name);
            ASSERT_NE(widget, nullptr) << c.name;
            EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
            const QString text = widget->property("text").toString();
            EXPECT_EQ(text, c.text) << c.name;
            const bool hint = QByteArray(c.name).startsWith("Label4_");
            EXPECT_EQ(widget->font().bold(), hint) << c.name;
            EXPECT_EQ(widget->font().pixelSize(), 11) << c.name;
        }
        auto *ok = dialog.findChild<QPushButton *>("Command1");
        EXPECT_TRUE(ok->isDefault());
        // Focus order: the three boxes, "OK", "Cancel"; the first box has the focus.
        QWidget *x = EditorDriver::box(dialog, "txtSizeX");
        EXPECT_EQ(dialog.focusWidget(), x);
        const char *order[] = { "txtSizeY", "txtPixel", "Command1", "Command2" };
        QWidget *current = x;
        for (const char *next : order) {
            current = EditorDriver::nextFocusable(current);
            EXPECT_EQ(current->objectName(), next);
        }
        // "Square Size X:" reaches under its box; the box is on top.
        EXPECT_EQ(dialog.childAt(QPoint(130, 24)), x);
        EditorDriver::click(dialog, "Command2");
    });
}

// GNOME Shell gives the keyboard to the main window clicked while the dialog blocks it.
TEST(SettingsDialog, TakesTheKeyboardBackFromTheWindowItBlocks)
{
    EditorDriver editor;
    editor.withDialog([&](Form2 &dialog) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QSignalSpy activations(qApp, &QGuiApplication::focusWindowChanged);
        editor.form.windowHandle()->requestActivate();
        EXPECT_TRUE(QTest::qWaitFor(
                [&] { return activations.count() >= 2 && dialog.isActiveWindow(); }));
        dialog.reject();
    });
}

TEST(SettingsDialog, AcceptsTheRangesAndRoundsHalfToEven)
{
    const struct
    {
        const char *x, *y, *pixels;
        Settings stored;
    } accepted[] = {
        { "3", "100", "7", { 3, 100, 7 } },      { "100", "3", "96", { 100, 3, 96 } },
        { "3.5", "10", "32", { 4, 10, 32 } },    { "4.5", "10", "32", { 4, 10, 32 } },
        { "99.5", "10", "7.5", { 100, 10, 8 } }, { " 12 ", "+5", "8.4", { 12, 5, 8 } },
    };
    for (const auto &c : accepted) {
        EditorDriver editor;
        editor.withDialog([&](Form2 &dialog) {
            EditorDriver::fill(dialog, c.x, c.y, c.pixels);
            EditorDriver::click(dialog, "Command1");
        });
        EXPECT_EQ(editor.settings(), c.stored) << c.x << " " << c.y << " " << c.pixels;
        EXPECT_EQ(editor.canvas()->size(),
                  QSize(c.stored.SizeX * c.stored.PixelsPerSquare,
                        c.stored.SizeY * c.stored.PixelsPerSquare));
    }
}

TEST(SettingsDialog, AcceptsTheLocalesOwnDigits)
{
    const QLocale before;
    const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
    QLocale::setDefault(QLocale(QStringLiteral("ar_EG")));
    EditorDriver editor;
    editor.withDialog([&](Form2 &dialog) {
        // 3.5, 100 and 96 in Arabic-Indic digits, with the Arabic decimal separator.
        EditorDriver::fill(dialog, QStringLiteral("\u0663\u066b\u0665"),
                           QStringLiteral("\u0661\u0660\u0660"), QStringLiteral("\u0669\u0666"));
        EditorDriver::click(dialog, "Command1");
    });
    EXPECT_EQ(editor.settings(), (Settings { 4, 100, 96 }));
    // Two sets of digits in one number are refused.
    editor.withDialog([&](Form2 &dialog) {
        EditorDriver::fill(dialog, QStringLiteral("1\u0660"), QStringLiteral("10"),
                           QStringLiteral("32"));
        EditorDriver::click(dialog, "Command1");
        EXPECT_TRUE(dialog.isVisible());
        EditorDriver::click(dialog, "Command2");
    });
    EXPECT_EQ(editor.settings(), (Settings { 4, 100, 96 }));
}

TEST(SettingsDialog, RefusesEntriesSilently)
{
    const Texts refused[] = {
        { "2.9", "10", "32" },   { "100.5", "10", "32" }, { "101", "10", "32" },
        { "0", "10", "32" },     { "-5", "10", "32" },    { "2.5", "10", "32" },
        { "10", "2.9", "32" },   { "10", "101", "32" },   { "10", "10", "6.9" },
        { "10", "10", "96.1" },  { "", "10", "32" },      { "10", "abc", "32" },
        { "10", "10", "12a" },   { "1e1", "10", "32" },   { "10", "10", "0x20" },
        { "1,000", "10", "32" }, { "10", "10", "96.5" },  { "2.5000001", "10", "32" },
    };
    EditorDriver editor;
    editor.setUp(20, 15, 48);
    const Settings before = editor.settings();
    for (const Texts &texts : refused) {
        editor.withDialog([&](Form2 &dialog) {
            EditorDriver::fill(dialog, texts[0], texts[1], texts[2]);
            EditorDriver::click(dialog, "Command1");
            EXPECT_TRUE(dialog.isVisible())
                    << texts[0].toStdString() << " " << texts[1].toStdString() << " "
                    << texts[2].toStdString();
            EXPECT_EQ(textsOf(dialog), texts); // the entries stay as typed
            EditorDriver::click(dialog, "Command2");
        });
        EXPECT_EQ(editor.settings(), before);
    }
    EXPECT_EQ(editor.canvas()->size(), QSize(20 * 48, 15 * 48));
    EXPECT_EQ(errorBox(&editor.form), nullptr);
}

TEST(SettingsDialog, EnterPressesOkAndEscapeDoesNothing)
{
    EditorDriver editor;
    editor.withDialog([](Form2 &dialog) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        EditorDriver::fill(dialog, "5", "6", "20");
        QTest::keyClick(EditorDriver::box(dialog, "txtSizeY"), Qt::Key_Return);
    });
    EXPECT_EQ(editor.settings(), (Settings { 5, 6, 20 }));
}

TEST(SettingsDialog, ReopeningShowsTheStoredSettings)
{
    EditorDriver editor;
    Texts shown;
    auto look = [&](Form2 &dialog) {
        shown = textsOf(dialog);
        EditorDriver::fill(dialog, "77", "77", "77"); // edits that Cancel throws away
        EditorDriver::click(dialog, "Command2");
    };
    editor.withDialog(look);
    EXPECT_EQ(shown, (Texts { "10", "10", "32" }));
    editor.withDialog(look);
    EXPECT_EQ(shown, (Texts { "10", "10", "32" }));
    EXPECT_FALSE(editor.settings().isSetUp());

    editor.setUp(20, 15, 48);
    editor.withDialog(look);
    EXPECT_EQ(shown, (Texts { "20", "15", "48" }));

    editor.withDialog([](Form2 &dialog) {
        EditorDriver::box(dialog, "txtSizeX")->setText("3.5");
        EditorDriver::click(dialog, "Command1");
    });
    editor.withDialog(look);
    EXPECT_EQ(shown, (Texts { "4", "15", "48" }));
}

TEST(WindowFlow, OkAtOnceSetsUpTheDefaultGridAndDestroysTheDialog)
{
    EditorDriver editor;
    EXPECT_EQ(QApplication::topLevelWidgets().count(), 1);
    const bool gone
            = editor.withDialog([](Form2 &dialog) { EditorDriver::click(dialog, "Command1"); });
    EXPECT_TRUE(gone);
    EXPECT_EQ(editor.settings(), (Settings { 10, 10, 32 }));
    EXPECT_EQ(editor.canvasInWindow(), QRect(24, 32, 320, 320));
    EXPECT_EQ(editor.form.grid().SquareData().size(), 10u * 10u + 1u);
    EXPECT_TRUE(editor.form.isVisible());
}

TEST(WindowFlow, CancelAndClosingTheDialogChangeNothing)
{
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    editor.drag({ { 1, 1 }, { 2, 1 }, { 2, 2 } });
    const QImage image = editor.canvas()->Image();
    const auto codes = editor.form.grid().SquareData();

    EXPECT_TRUE(editor.withDialog([](Form2 &dialog) {
        EditorDriver::fill(dialog, "50", "50", "50");
        EditorDriver::click(dialog, "Command2");
    }));
    EXPECT_TRUE(editor.withDialog([](Form2 &dialog) { dialog.close(); }));
    EXPECT_EQ(editor.settings(), (Settings { 10, 10, 32 }));
    EXPECT_EQ(editor.canvas()->Image(), image);
    EXPECT_EQ(editor.form.grid().SquareData(), codes);
}

TEST(WindowFlow, AcceptingUnchangedValuesRunsTheSetUpAgainWithoutLosingAnything)
{
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    editor.drag({ { 1, 1 }, { 2, 1 } });
    const QImage image = editor.canvas()->Image();
    const auto codes = editor.form.grid().SquareData();
    editor.setUp(10, 10, 32);
    EXPECT_EQ(editor.canvas()->Image(), image);
    EXPECT_EQ(editor.form.grid().SquareData(), codes);

    editor.setUp(5, 5, 32); // smaller: codes past the new last index are dropped
    EXPECT_EQ(editor.form.grid().SquareData().size(), 5u * 5u + 1u);
    EXPECT_EQ(editor.canvas()->Image().copy(0, 0, 160, 160), image.copy(0, 0, 160, 160));
}

TEST(WindowFlow, ClosingTheMainWindowEndsTheProgram)
{
    EditorDriver editor;
    QTimer::singleShot(0, &editor.form, [&] { editor.form.close(); });
    // Only if it never ends; tied to the window, so that it cannot fire in a later test.
    QTimer::singleShot(5000, &editor.form, [] { QApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST(Session, StrokesReadOutsAndTheSavedFileMatchTheCanvas)
{
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    editor.press(editor.centre(2, 1));
    editor.moveTo(editor.centre(3, 1));
    EXPECT_EQ(editor.caption("Label2"), "Right");
    EXPECT_EQ(editor.caption("Label1"), "X:3,Y:1,ID:13");
    EXPECT_EQ(editor.caption("Label4"), "ID:13, Data:1000");
    EXPECT_EQ(editor.canvas()->Shape1(), QRect(96, 32, 32, 32));
    editor.moveTo(editor.centre(3, 2));
    editor.release(editor.centre(3, 2));
    EXPECT_EQ(editor.code(13), "1100");

    // Hover: frame and read-outs follow, the direction stays.
    editor.moveTo(editor.centre(7, 7));
    EXPECT_EQ(editor.caption("Label1"), "X:7,Y:7,ID:77");
    EXPECT_EQ(editor.caption("Label2"), "Down");

    // The right button retraces in the second tile set.
    editor.drag({ { 2, 1 }, { 3, 1 } }, Qt::RightButton);
    const QRgb wall = editor.canvas()->Image().pixel(64 + 16, 32 + 1);
    EXPECT_GT(qBlue(wall), qRed(wall));

    // Left and right held together draw nothing.
    const auto codes = editor.form.grid().SquareData();
    editor.press(editor.centre(5, 5), Qt::LeftButton);
    editor.press(editor.centre(5, 5), Qt::RightButton);
    editor.moveTo(editor.centre(6, 5));
    editor.moveTo(editor.centre(6, 6));
    editor.release(editor.centre(6, 6), Qt::RightButton);
    editor.release(editor.centre(6, 6), Qt::LeftButton);
    EXPECT_EQ(editor.form.grid().SquareData(), codes);

    ASSERT_TRUE(editor.save());
    ASSERT_EQ(errorBox(&editor.form), nullptr);
    QImageReader reader(defaultBitmapPath(), "bmp");
    const QImage saved = reader.read();
    ASSERT_FALSE(saved.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(saved.size(), QSize(320, 320));
    EXPECT_EQ(saved.depth(), 32); // read back from a 24-bit file as RGB32
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), editor.canvas()->Image());
    QFile file(defaultBitmapPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(30).mid(28, 2), QByteArray("\x18\x00", 2)); // 24 bits per pixel

    // A second save replaces the first.
    editor.drag({ { 0, 0 }, { 0, 1 } });
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(QImage(defaultBitmapPath()).convertToFormat(QImage::Format_RGB32),
              editor.canvas()->Image());
}

TEST(Session, SavingBeforeSetUpWritesTheDesignSizeCanvas)
{
    EditorDriver editor;
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(QImage(defaultBitmapPath()).size(), QSize(161, 193));
}

TEST(Session, TheLargestGridSetsUpDrawsAndSaves)
{
    EditorDriver editor;
    editor.setUpLargest();
    EXPECT_EQ(editor.form.grid().SquareData().size(), 100u * 100u + 1u);
    editor.drag({ { 0, 0 }, { 1, 0 }, { 1, 1 } });
    editor.press(editor.centre(98, 99));
    editor.moveTo(QPoint(20000, 20000));
    editor.release(QPoint(20000, 20000));
    EXPECT_EQ(editor.code(9999), "1000");
    EXPECT_EQ(editor.code(10000), "0000");
    ASSERT_TRUE(editor.save());
    ASSERT_EQ(errorBox(&editor.form), nullptr);
    QImageReader reader(defaultBitmapPath());
    EXPECT_EQ(reader.size(), QSize(9600, 9600));
    EXPECT_EQ(QFileInfo(defaultBitmapPath()).size(), 54 + 9600LL * 9600 * 3);
}

namespace {

// Sides that open onto the edge of the canvas: the left side of a square in the first column,
// the bottom side of one in the last row, and so on.
int edgeOpenings(const EditorDriver &editor)
{
    const Settings &s = editor.settings();
    int found = 0;
    for (int row = 0; row < s.SizeY; ++row) {
        for (int column = 0; column < s.SizeX; ++column) {
            const std::string &code = editor.code(row * s.SizeX + column);
            found += (column == 0 && code[0] == '1') + (row == s.SizeY - 1 && code[1] == '1')
                    + (column == s.SizeX - 1 && code[2] == '1') + (row == 0 && code[3] == '1');
        }
    }
    return found;
}

} // namespace

TEST(Strokes, APressOffTheCanvasIsHeldToTheGrid)
{
    // Left pressed in column 0 of row 1, dragged out to the left; right pressed out there, left
    // released, and back in with right held.
    const int offsets[] = { -60, 320 + 60 };
    for (int x : offsets) {
        EditorDriver editor;
        editor.setUp(10, 10, 32);
        const QPoint start = editor.centre(x < 0 ? 0 : 9, 1);
        editor.press(start);
        editor.moveTo(QPoint(x, 48));
        editor.press(QPoint(x, 48), Qt::RightButton);
        editor.release(QPoint(x, 48));
        editor.moveTo(start);
        editor.moveTo(editor.centre(x < 0 ? 0 : 9, 2));
        editor.release(editor.centre(x < 0 ? 0 : 9, 2), Qt::RightButton);
        EXPECT_EQ(edgeOpenings(editor), 0) << "x = " << x;
        EXPECT_EQ(editor.code(x < 0 ? 9 : 20), "0000");
        EXPECT_EQ(editor.code(100), "0000"); // the spare entry
    }
}

TEST(Strokes, ASmallerGridAcceptedDuringADragKeepsTheStrokeOnIt)
{
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    editor.press(editor.centre(9, 9)); // held while the settings change
    editor.setUp(5, 5, 32);
    // The left button is still down when the pointer moves on.
    const QPointF at = editor.centre(2, 4); // the last row: a step from (9, 9) would be "Up"
    QMouseEvent move(QEvent::MouseMove, at, editor.canvas()->mapToGlobal(at), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.canvas(), &move);
    EXPECT_EQ(edgeOpenings(editor), 0);
    EXPECT_EQ(editor.code(22), "0010"); // "Left" from the held (4, 4)
    EXPECT_EQ(editor.code(23), "1000");
}

namespace {
// What the canvas tells assistive tools of the square under the pointer: its value and the
// name of what labels it.
std::pair<int, QString> toldByCanvas(PictureBox *canvas)
{
    QAccessibleInterface *told = QAccessible::queryAccessibleInterface(canvas);
    const auto labels = told->relations(QAccessible::Label);
    return { told->valueInterface()->currentValue().toInt(),
             labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name) };
}
} // namespace

namespace {
// What reaches a screen reader: the canvas's value changes, as the accessibility bridge is sent
// them.
std::vector<int> toldValues;
void keepValueChanges(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::ValueChanged)
        toldValues.push_back(static_cast<QAccessibleValueChangeEvent *>(event)->value().toInt());
}
} // namespace

TEST(Accessibility, TheCanvasTellsTheSquareWhereThePointerRests)
{
    installAccessibleInterfaces();
    // As a screen reader's bridge would: accessibility on, every update to the handler.
    QPlatformAccessibility *bridge = QGuiApplicationPrivate::platformIntegration()->accessibility();
    ASSERT_NE(bridge, nullptr);
    bridge->setActive(true);
    const auto handler = QAccessible::installUpdateHandler(keepValueChanges);
    const auto restore = qScopeGuard([&] {
        QAccessible::installUpdateHandler(handler);
        bridge->setActive(false);
    });
    toldValues.clear();
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    QAccessibleInterface *canvas = QAccessible::queryAccessibleInterface(editor.canvas());
    EXPECT_EQ(canvas->role(), QAccessible::Canvas);
    EXPECT_EQ(canvas->text(QAccessible::Name), "Canvas");
    EXPECT_EQ(toldByCanvas(editor.canvas()), std::make_pair(0, QString()));
    EXPECT_TRUE(canvas->relations(QAccessible::Label).isEmpty()) << "labelled by nothing yet";
    // A drag (its events sent at once, faster than the settle time): nothing is told until the
    // pointer rests, then the square it rests on, with what the read-outs show.
    editor.drag({ QPoint(1, 1), QPoint(2, 1), QPoint(3, 1) });
    EXPECT_EQ(toldByCanvas(editor.canvas()), std::make_pair(0, QString()));
    const std::pair<int, QString> resting(13, "X:3,Y:1,ID:13, ID:13, Data:1000");
    ASSERT_TRUE(QTest::qWaitFor([&] { return toldByCanvas(editor.canvas()) == resting; }, 60000))
            << toldByCanvas(editor.canvas()).second.toStdString();
    EXPECT_EQ(canvas->valueInterface()->minimumValue().toInt(), 0);
    EXPECT_EQ(canvas->valueInterface()->maximumValue().toInt(), 99);
    // Told once while the pointer rests, not again and again.
    EXPECT_FALSE(QTest::qWaitFor([] { return toldValues.size() > 1; }, 4 * PictureBox::SettleTime));
    // The next square in its turn, drawn on or not.
    editor.moveTo(editor.centre(3, 2));
    const std::pair<int, QString> next(23, "X:3,Y:2,ID:23, ID:23, Data:0000");
    ASSERT_TRUE(QTest::qWaitFor([&] { return toldByCanvas(editor.canvas()) == next; }, 60000))
            << toldByCanvas(editor.canvas()).second.toStdString();
    EXPECT_EQ(toldValues, (std::vector<int> { 13, 23 }));
    // A larger grid: the same index on another square is told again, with the new last square.
    editor.setUp(20, 20, 32);
    editor.moveTo(editor.centre(3, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return toldValues.size() == 3; }, 60000));
    EXPECT_EQ(canvas->valueInterface()->maximumValue().toInt(), 399);
}

namespace {

// Sets up a grid whose canvas is beyond the memory allowed and expects the message, with
// settings, canvas and codes as they were, and the editor going on as before.
void expectSetUpRefused(EditorDriver &editor, int x, int y, int pixels, const char *message)
{
    const Settings settings = editor.settings();
    const QImage image = editor.canvas()->Image();
    const auto codes = editor.form.grid().SquareData();

    RetainedImage::setMemoryLimit(100 << 20); // the largest canvas takes 352 MiB
    editor.setUp(x, y, pixels);
    RetainedImage::setMemoryLimit(std::numeric_limits<qint64>::max());
    QMessageBox *box = errorBox(&editor.form);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), message);
    reportError(&editor.form, QStringLiteral("the next")); // one box at a time
    EXPECT_EQ(errorBox(&editor.form), box);
    EXPECT_EQ(box->text(), "the next");
    box->close();
    QApplication::processEvents();
    EXPECT_EQ(editor.settings(), settings);
    EXPECT_EQ(editor.canvas()->Image(), image);
    EXPECT_EQ(editor.canvas()->size(), image.size());
    EXPECT_EQ(editor.form.grid().SquareData(), codes);
}

} // namespace

TEST(SetUp, ACanvasThatCannotBeMadeChangesNothing)
{
    EditorDriver editor;
    editor.setUp(10, 10, 32);
    editor.drag({ { 1, 1 }, { 2, 1 } });
    editor.moveTo(editor.centre(4, 4));
    const QRect frame = editor.canvas()->Shape1();

    // Across, then down: 100 squares of 96 pixels across and 60 down.
    expectSetUpRefused(editor, 100, 60, 96,
                       "There is not enough memory for a canvas of 9600 x 5760 pixels. The "
                       "settings, the canvas and the drawing are kept as they were.");

    // Drawing goes on as before, and the dialog shows the settings in force.
    editor.drag({ { 4, 4 }, { 5, 4 } });
    EXPECT_EQ(editor.code(45), "1000");
    EXPECT_EQ(editor.canvas()->Shape1(), QRect(160, 128, 32, 32));
    EXPECT_NE(editor.canvas()->Shape1(), frame);
    editor.withDialog([](Form2 &dialog) {
        EXPECT_EQ(EditorDriver::box(dialog, "txtPixel")->text(), "32");
        EditorDriver::click(dialog, "Command2");
    });
}

TEST(SetUp, TheFirstSetUpThatCannotBeMadeChangesNothingEither)
{
    EditorDriver editor;
    expectSetUpRefused(editor, 60, 100, 96,
                       "There is not enough memory for a canvas of 5760 x 9600 pixels. The "
                       "settings, the canvas and the drawing are kept as they were.");
    EXPECT_FALSE(editor.form.grid().isSetUp());
    // The canvas is still ignored, and the dialog still offers its defaults.
    editor.drag({ { 0, 0 }, { 1, 0 } });
    EXPECT_TRUE(editor.form.grid().SquareData().empty());
    editor.withDialog([](Form2 &dialog) {
        EXPECT_EQ(EditorDriver::box(dialog, "txtPixel")->text(), "32");
        EditorDriver::click(dialog, "Command2");
    });
    editor.setUp(10, 10, 32);
    EXPECT_EQ(editor.canvas()->size(), QSize(320, 320));
}
