// One scripted editing session, driven through the real windows as a user would: open the
// settings with "Command1", enter a grid and press "OK", drag with the left and then the right
// button, press "Save". Used to measure peak memory and to run the editor under valgrind.
//
//   QT_QPA_PLATFORM=offscreen session SIZE_X SIZE_Y PIXELS FILE.bmp
#include <form1.h>
#include <form2.h>
#include <picturebox.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

void drag(QWidget *canvas, Qt::MouseButton button, const QList<QPoint> &points)
{
    QTest::mousePress(canvas, button, {}, points.first());
    for (const QPoint &at : points)
        QTest::mouseMove(canvas, at);
    QTest::mouseRelease(canvas, button, {}, points.last());
}

} // namespace

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

    Settings settings;
    Form1 form(settings);
    form.setBitmapPath(args[4]);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;

    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<Form2 *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->findChild<QLineEdit *>("txtSizeX")->setText(args[1]);
        dialog->findChild<QLineEdit *>("txtSizeY")->setText(args[2]);
        dialog->findChild<QLineEdit *>("txtPixel")->setText(args[3]);
        QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    });
    QTest::mouseClick(form.findChild<QPushButton *>("Command1"), Qt::LeftButton);
    if (settings.PixelsPerSquare != pixels) {
        std::fprintf(stderr, "session: the settings were not accepted\n");
        return 1;
    }

    // Along the top row and down the last column, then back across the middle.
    auto centre = [pixels](int column, int row) {
        return QPoint(column * pixels + pixels / 2, row * pixels + pixels / 2);
    };
    QList<QPoint> path;
    for (int column = 0; column < x; ++column)
        path.append(centre(column, 0));
    for (int row = 1; row < y; ++row)
        path.append(centre(x - 1, row));
    drag(form.canvas(), Qt::LeftButton, path);
    QList<QPoint> across;
    for (int column = x - 1; column >= 0; --column)
        across.append(centre(column, y / 2));
    drag(form.canvas(), Qt::RightButton, across);

    QTest::mouseClick(form.findChild<QPushButton *>("cmdSave"), Qt::LeftButton);
    if (form.findChild<QMessageBox *>()) {
        std::fprintf(stderr, "session: %s\n", qPrintable(form.findChild<QMessageBox *>()->text()));
        return 1;
    }
    return 0;
}
