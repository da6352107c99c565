// Starts the editor: the main window alone, until the user opens the settings with "Command1".
#include "form1.h"
#include "module1.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Passages"));
    QApplication::setDesktopFileName(QStringLiteral("org.passages.Passages"));

    Form1 form1(Module1::settings());
    form1.show();
    return app.exec();
}
