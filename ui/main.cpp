// Starts the editor: the main window alone, until the user opens the settings with "Command1".
// `passages --help` and `passages --version` answer on the terminal without opening a window.
#include "form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

// The options Qt's own start-up takes (-platform, -style...), passed on to QApplication.
void acceptQtOptions(QCommandLineParser &parser)
{
    for (const char *name : { "platform", "platformpluginpath", "platformtheme", "plugin", "style",
                              "stylesheet", "qwindowgeometry", "qwindowtitle", "qwindowicon",
                              "display", "session", "name", "title" }) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : { "reverse", "widgetcount", "nograb", "dograb", "sync" }) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("passages"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PASSAGES_VERSION));

    // The command line is read by a core application, which needs no display; the editor's
    // application comes after it.
    auto commandLine = std::make_unique<QCoreApplication>(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QCoreApplication::translate("main", "Draw connected passages on a grid of squares."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    acceptQtOptions(parser);
    if (!parser.parse(QCoreApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.positionalArguments().isEmpty()
                ? parser.errorText()
                : QCoreApplication::translate("main", "Unexpected argument '%1'.")
                          .arg(parser.positionalArguments().constFirst());
        std::fprintf(stderr, "passages: %s\n%s\n", qPrintable(error),
                     qPrintable(QCoreApplication::translate(
                             "main", "Try 'passages --help' for more information.")));
        return 2;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all")))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
    commandLine.reset();

    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("org.passages.Passages"));
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("passages"), QStringLiteral("_"),
                        QStringLiteral(":/i18n")))
        QApplication::installTranslator(&translator);

    Form1 form1;
    form1.show();
    return app.exec();
}
