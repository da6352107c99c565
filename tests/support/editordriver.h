// Drives the real main window and settings dialog the way a user does: mouse events on the
// canvas, clicks on buttons, and the modal dialog answered from inside its event loop. Shared by
// the tests, the tools and the benchmarks.
#pragma once

#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/picturebox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>
#include <initializer_list>
#include <string>

struct EditorDriver
{
    // Called when the driver finds the windows not as a user would (no dialog opened, a dialog
    // left open); tests make it a test failure. Prints a warning unless set.
    static std::function<void(const QString &)> reportProblem;

    EditorDriver();

    PictureBox *canvas() const { return form.canvas(); }
    const Settings &settings() const { return form.grid().settings(); }
    // The code of a square as Label4 shows it ("1000").
    std::string code(int index) const { return squareCodeText(form.grid().code(index)); }
    // The canvas's place in the main window (it scrolls when it is larger than the window).
    QRect canvasInWindow() const;
    QLabel *label(const char *name) const { return form.findChild<QLabel *>(name); }
    QString caption(const char *name) const { return label(name)->text(); }
    QPushButton *button(const char *name) const { return form.findChild<QPushButton *>(name); }

    // Presses "Command1" and runs `answer` on the dialog while it is open; `answer` must close
    // it. Returns whether the dialog was gone afterwards.
    bool withDialog(const std::function<void(Form2 &)> &answer);
    // Presses "Save" and waits, up to a minute, until the save has ended (the file replaced, or
    // the warning shown). Returns whether it ended.
    bool save();
    // The settings dialog answered with these entries and "OK".
    void setUp(int x, int y, int pixels);
    // The largest grid the dialog accepts (9600 x 9600 pixels).
    void setUpLargest()
    {
        setUp(Settings::SizeRange.high, Settings::SizeRange.high,
              Settings::PixelsPerSquareRange.high);
    }

    static QLineEdit *box(Form2 &dialog, const char *name)
    {
        return dialog.findChild<QLineEdit *>(name);
    }
    static void fill(Form2 &dialog, const QString &x, const QString &y, const QString &pixels);
    static void click(Form2 &dialog, const char *name);
    // The next widget that takes the focus with Tab.
    static QWidget *nextFocusable(QWidget *widget);

    // The centre of a square, in canvas pixels.
    QPoint centre(int column, int row) const;
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton);
    void moveTo(QPoint at);
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton);
    // A drag through the centres of the given squares.
    void drag(std::initializer_list<QPoint> squares, Qt::MouseButton button = Qt::LeftButton);

    QTemporaryDir dir;
    Form1 form;
};
