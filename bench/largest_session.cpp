// One editing session at the largest grid, for measuring peak memory with /usr/bin/time -v:
// set up 100 x 100 squares of 96 pixels, draw a passage across the visible squares, save.
//
//   QT_QPA_PLATFORM=offscreen /usr/bin/time -v largest_session FILE.bmp
#include <canvassetup.h>
#include <form1.h>
#include <picturebox.h>

#include <QApplication>
#include <QMouseEvent>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: largest_session FILE.bmp\n");
        return 2;
    }
    Settings settings { 100, 100, 96 };
    Form1 form(settings);
    form.show();
    form.Sub_Draw();
    QCoreApplication::processEvents();

    QWidget *canvas = form.canvas();
    auto send = [canvas](QEvent::Type type, QPoint at, Qt::MouseButton button) {
        QMouseEvent event(type, QPointF(at), canvas->mapToGlobal(QPointF(at)), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
        QCoreApplication::processEvents();
    };
    send(QEvent::MouseButtonPress, QPoint(48, 48), Qt::LeftButton);
    for (int column = 1; column < 100; ++column)
        send(QEvent::MouseMove, QPoint(column * 96 + 48, 48), Qt::NoButton);
    for (int row = 1; row < 100; ++row)
        send(QEvent::MouseMove, QPoint(99 * 96 + 48, row * 96 + 48), Qt::NoButton);
    send(QEvent::MouseButtonRelease, QPoint(99 * 96 + 48, 99 * 96 + 48), Qt::LeftButton);

    SavePicture(form.canvas()->Image(), QString::fromLocal8Bit(argv[1]));
    return 0;
}
