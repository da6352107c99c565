// Drives the real main window and settings dialog the way a user does: mouse events on the
// canvas, clicks on buttons, and the modal dialog answered from inside its event loop.
#pragma once

#include <form1.h>
#include <form2.h>
#include <picturebox.h>
#include <readoutlabel.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

struct EditorDriver
{
    EditorDriver()
        : form(settings)
    {
        form.setBitmapPath(dir.filePath(QStringLiteral("test.bmp")));
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
    }

    PictureBox *canvas() const { return form.canvas(); }
    // The canvas's place in the main window (it scrolls when it is larger than the window).
    QRect canvasInWindow() const
    {
        return QRect(canvas()->mapTo(&form, QPoint()), canvas()->size());
    }
    ReadoutLabel *label(const char *name) const { return form.findChild<ReadoutLabel *>(name); }
    QString caption(const char *name) const { return label(name)->text(); }
    QPushButton *button(const char *name) const { return form.findChild<QPushButton *>(name); }

    // Presses "Command1" and runs `answer` on the dialog while it is open; `answer` must close
    // it. Returns whether the dialog was gone afterwards.
    bool withDialog(const std::function<void(Form2 &)> &answer)
    {
        QPointer<Form2> seen;
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<Form2 *>(QApplication::activeModalWidget());
            if (!seen) {
                ADD_FAILURE() << "no modal settings dialog";
                return;
            }
            answer(*seen);
            // A dialog the answer left open would block the test forever.
            if (seen && seen->isVisible()) {
                ADD_FAILURE() << "dialog left open";
                seen->reject();
            }
        });
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        return seen.isNull();
    }

    // The next widget that takes the focus with Tab.
    static QWidget *nextFocusable(QWidget *widget)
    {
        do
            widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus);
        return widget;
    }

    static QLineEdit *box(Form2 &dialog, const char *name)
    {
        return dialog.findChild<QLineEdit *>(name);
    }
    static void fill(Form2 &dialog, const QString &x, const QString &y, const QString &pixels)
    {
        box(dialog, "txtSizeX")->setText(x);
        box(dialog, "txtSizeY")->setText(y);
        box(dialog, "txtPixel")->setText(pixels);
    }
    static void click(Form2 &dialog, const char *name)
    {
        QTest::mouseClick(dialog.findChild<QPushButton *>(name), Qt::LeftButton);
    }

    void setUp(int x, int y, int pixels)
    {
        withDialog([&](Form2 &dialog) {
            fill(dialog, QString::number(x), QString::number(y), QString::number(pixels));
            click(dialog, "Command1");
        });
    }

    // The centre of a square, in canvas coordinates.
    QPoint centre(int column, int row) const
    {
        const int p = settings.PixelsPerSquare;
        return QPoint(column * p + p / 2, row * p + p / 2);
    }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(canvas(), button, {}, at);
    }
    void moveTo(QPoint at) { QTest::mouseMove(canvas(), at); }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(canvas(), button, {}, at);
    }
    // A drag through the centres of the given squares.
    void drag(std::initializer_list<QPoint> squares, Qt::MouseButton button = Qt::LeftButton)
    {
        QPoint last;
        bool first = true;
        for (QPoint square : squares) {
            last = centre(square.x(), square.y());
            if (first)
                press(last, button);
            else
                moveTo(last);
            first = false;
        }
        release(last, button);
    }

    QTemporaryDir dir;
    Settings settings;
    Form1 form;
};
