// Takes the screenshots in docs/: the editor with drawn passages at several square sizes, and
// the settings dialog. It drives the real windows with mouse events, as a user would.
//
//   QT_QPA_PLATFORM=offscreen snapshots DOCS_DIR
#include <form1.h>
#include <form2.h>
#include <picturebox.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

void setUp(Form1 &form, int x, int y, int pixels, const QString &dialogShot = {})
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<Form2 *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->findChild<QLineEdit *>("txtSizeX")->setText(QString::number(x));
        dialog->findChild<QLineEdit *>("txtSizeY")->setText(QString::number(y));
        dialog->findChild<QLineEdit *>("txtPixel")->setText(QString::number(pixels));
        if (!dialogShot.isEmpty())
            dialog->grab().save(dialogShot);
        QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    });
    QTest::mouseClick(form.findChild<QPushButton *>("Command1"), Qt::LeftButton);
}

// Drags through the centres of the listed squares.
void drag(Form1 &form, int pixels, std::initializer_list<QPoint> squares, Qt::MouseButton button)
{
    QWidget *canvas = form.canvas();
    auto centre = [pixels](QPoint s) {
        return QPoint(s.x() * pixels + pixels / 2, s.y() * pixels + pixels / 2);
    };
    bool first = true;
    for (QPoint s : squares) {
        if (first)
            QTest::mousePress(canvas, button, {}, centre(s));
        else
            QTest::mouseMove(canvas, centre(s));
        first = false;
    }
    QTest::mouseRelease(canvas, button, {}, centre(*(squares.end() - 1)));
}

void drawPaths(Form1 &form, int pixels)
{
    drag(form, pixels,
         { { 0, 1 },
           { 1, 1 },
           { 2, 1 },
           { 3, 1 },
           { 3, 2 },
           { 3, 3 },
           { 2, 3 },
           { 1, 3 },
           { 1, 2 },
           { 1, 1 } },
         Qt::LeftButton);
    drag(form, pixels, { { 2, 0 }, { 2, 1 }, { 2, 2 }, { 3, 2 }, { 4, 2 }, { 4, 3 } },
         Qt::RightButton);
    QTest::mouseMove(form.canvas(), QPoint(4 * pixels + 2, 3 * pixels + 2));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: snapshots DOCS_DIR\n");
        return 2;
    }
    const QString docs = QString::fromLocal8Bit(argv[1]);
    for (int pixels : { 7, 32, 48, 96 }) {
        Settings settings;
        Form1 form(settings);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            return 1;
        setUp(form, 6, 5, pixels,
              pixels == 32 ? docs + QStringLiteral("/settings-dialog.png") : QString());
        drawPaths(form, pixels);
        QApplication::processEvents();
        if (pixels == 32)
            form.grab().save(docs + QStringLiteral("/editor.png"));
        form.canvas()->grab().save(docs + QStringLiteral("/canvas-p%1.png").arg(pixels));
    }
    // A canvas larger than the window, which scrolls.
    Settings settings;
    Form1 form(settings);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    setUp(form, 30, 20, 32);
    drawPaths(form, 32);
    QApplication::processEvents();
    form.grab().save(docs + QStringLiteral("/editor-scrolling.png"));
    return 0;
}
