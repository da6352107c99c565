// Takes the screenshots in docs/: the editor with drawn passages at several square sizes, a
// canvas larger than the window, and the settings dialog. It drives the real windows with mouse
// events, as a user would.
//
//   QT_QPA_PLATFORM=offscreen snapshots DOCS_DIR
#include "tests/support/editordriver.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

namespace {

void drawPaths(EditorDriver &editor)
{
    editor.drag({ { 0, 1 }, { 1, 1 }, { 2, 1 }, { 3, 1 }, { 3, 2 }, { 3, 3 }, { 2, 3 }, { 1, 3 },
                  { 1, 2 }, { 1, 1 } });
    editor.drag({ { 2, 0 }, { 2, 1 }, { 2, 2 }, { 3, 2 }, { 4, 2 }, { 4, 3 } }, Qt::RightButton);
    const int p = editor.settings().PixelsPerSquare;
    editor.moveTo(QPoint(4 * p + 2, 3 * p + 2));
    QApplication::processEvents();
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
        EditorDriver editor;
        if (pixels == 32) {
            editor.withDialog([&](Form2 &dialog) {
                EditorDriver::fill(dialog, QStringLiteral("6"), QStringLiteral("5"),
                                   QStringLiteral("32"));
                dialog.grab().save(docs + QStringLiteral("/settings-dialog.png"));
                EditorDriver::click(dialog, "Command1");
            });
        } else {
            editor.setUp(6, 5, pixels);
        }
        drawPaths(editor);
        if (pixels == 32)
            editor.form.grab().save(docs + QStringLiteral("/editor.png"));
        editor.canvas()->grab().save(docs + QStringLiteral("/canvas-p%1.png").arg(pixels));
    }
    EditorDriver editor; // a canvas larger than the window, which scrolls
    editor.setUp(30, 20, 32);
    drawPaths(editor);
    editor.form.grab().save(docs + QStringLiteral("/editor-scrolling.png"));
    return 0;
}
