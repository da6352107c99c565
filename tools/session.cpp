// One scripted editing session, driven through the real windows as a user would: open the
// settings with "Command1", enter a grid and press "OK", drag with the left and then the right
// button, press "Save". Used to measure peak memory and to run the editor under valgrind.
//
//   QT_QPA_PLATFORM=offscreen session SIZE_X SIZE_Y PIXELS FILE.bmp
#include "bitmapfile/bitmapfile.h"
#include "tests/support/editordriver.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTest>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: session SIZE_X SIZE_Y PIXELS FILE.bmp\n");
        return 2;
    }
    const int x = args[1].toInt();
    const int y = args[2].toInt();
    const int pixels = args[3].toInt();

    EditorDriver editor;
    editor.setUp(x, y, pixels);
    if (editor.settings().PixelsPerSquare != pixels) {
        std::fprintf(stderr, "session: the settings were not accepted\n");
        return 1;
    }

    // Along the top row and down the last column, then back across the middle.
    auto stroke = [&](Qt::MouseButton button, const QList<QPoint> &squares) {
        editor.press(editor.centre(squares.first().x(), squares.first().y()), button);
        for (const QPoint &square : squares)
            editor.moveTo(editor.centre(square.x(), square.y()));
        editor.release(editor.centre(squares.last().x(), squares.last().y()), button);
    };
    QList<QPoint> path;
    for (int column = 0; column < x; ++column)
        path.append(QPoint(column, 0));
    for (int row = 1; row < y; ++row)
        path.append(QPoint(x - 1, row));
    stroke(Qt::LeftButton, path);
    QList<QPoint> across;
    for (int column = x - 1; column >= 0; --column)
        across.append(QPoint(column, y / 2));
    stroke(Qt::RightButton, across);

    // "Save" writes test.bmp in the driver's home folder, which goes with it.
    if (!editor.save())
        return 1;
    if (const auto *box = editor.form.findChild<QMessageBox *>()) {
        std::fprintf(stderr, "session: %s\n", qPrintable(box->text()));
        return 1;
    }
    QFile::remove(args[4]);
    if (!QFile::copy(defaultBitmapPath(), args[4])) {
        std::fprintf(stderr, "session: the bitmap could not be copied to %s\n", qPrintable(args[4]));
        return 1;
    }
    return 0;
}
