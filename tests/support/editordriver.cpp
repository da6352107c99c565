#include "tests/support/editordriver.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>

std::function<void(const QString &)> EditorDriver::reportProblem
        = [](const QString &problem) { qWarning("%s", qPrintable(problem)); };

EditorDriver::EditorDriver()
{
    // "Save" writes test.bmp in the home folder: this driver's own.
    qputenv("HOME", QFile::encodeName(dir.path()));
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
}

QRect EditorDriver::canvasInWindow() const
{
    return QRect(canvas()->mapTo(&form, QPoint()), canvas()->size());
}

bool EditorDriver::withDialog(const std::function<void(Form2 &)> &answer)
{
    QPointer<Form2> seen;
    QTimer::singleShot(0, [&] {
        seen = qobject_cast<Form2 *>(QApplication::activeModalWidget());
        if (!seen) {
            reportProblem(QStringLiteral("no modal settings dialog"));
            return;
        }
        answer(*seen);
        // A dialog the answer left open would block the caller forever.
        if (seen && seen->isVisible()) {
            reportProblem(QStringLiteral("dialog left open"));
            seen->reject();
        }
    });
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    return seen.isNull();
}

void EditorDriver::setUp(int x, int y, int pixels)
{
    withDialog([&](Form2 &dialog) {
        fill(dialog, QString::number(x), QString::number(y), QString::number(pixels));
        click(dialog, "Command1");
    });
}

bool EditorDriver::save()
{
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    if (QTest::qWaitFor([this] { return !form.isSaving(); }, 60'000))
        return true;
    reportProblem(QStringLiteral("the save did not end within a minute"));
    return false;
}

void EditorDriver::fill(Form2 &dialog, const QString &x, const QString &y, const QString &pixels)
{
    box(dialog, "txtSizeX")->setText(x);
    box(dialog, "txtSizeY")->setText(y);
    box(dialog, "txtPixel")->setText(pixels);
}

void EditorDriver::click(Form2 &dialog, const char *name)
{
    QTest::mouseClick(dialog.findChild<QPushButton *>(name), Qt::LeftButton);
}

QWidget *EditorDriver::nextFocusable(QWidget *widget)
{
    do
        widget = widget->nextInFocusChain();
    while (widget->focusPolicy() == Qt::NoFocus);
    return widget;
}

QPoint EditorDriver::centre(int column, int row) const
{
    const int p = settings().PixelsPerSquare;
    return QPoint(column * p + p / 2, row * p + p / 2);
}

void EditorDriver::press(QPoint at, Qt::MouseButton button)
{
    QTest::mousePress(canvas(), button, {}, at);
}

void EditorDriver::moveTo(QPoint at)
{
    QTest::mouseMove(canvas(), at);
}

void EditorDriver::release(QPoint at, Qt::MouseButton button)
{
    QTest::mouseRelease(canvas(), button, {}, at);
}

void EditorDriver::drag(std::initializer_list<QPoint> squares, Qt::MouseButton button)
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
