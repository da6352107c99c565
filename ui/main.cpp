// Starts the editor: the main window alone, until the user opens the settings with "Command1".
// `passages --help` and `passages --version` answer on the terminal without opening a window.
#include "ui/accessibility.h"
#include "ui/form1.h"

#include "bitmapfile/bitmapfile.h"
#include "render/paintthreads.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLocale>
#include <QRegularExpression>
#include <QThreadPool>
#include <QTranslator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// The editor's own options: --help and --version, nothing else. Not Qt's stock help option,
// which also offers --help-all, the help with Qt's own options, which the editor cannot list
// before its application has a display.
struct Options
{
    QCommandLineParser parser;
    QCommandLineOption help { { QStringLiteral("h"), QStringLiteral("help") },
                              QCoreApplication::translate("main", "Displays this help.") };
    QCommandLineOption version = parser.addVersionOption();

    Options()
    {
        parser.addOption(help);
        parser.setApplicationDescription(QCoreApplication::translate(
                "main", "Draw connected passages on a grid of squares."));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    }
};

// Says what is wrong with the command line; the program then ends with status 2.
void complain(const QString &error)
{
    std::fprintf(stderr, "passages: %s\n%s\n", qPrintable(error),
                 qPrintable(QCoreApplication::translate(
                         "main", "Try 'passages --help' for more information.")));
}

// Writes the answer to --help or --version and ends the program: with status 0 once it is
// written, with 1 and the reason on standard error when it cannot be (a full disk, a closed
// output). QCommandLineParser's own showHelp() and showVersion() end with 0 either way.
[[noreturn]] void answer(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout)
                    == std::size_t(bytes.size())
            && std::fflush(stdout) == 0;
    if (!written) {
        const int error = errno;
        std::fprintf(stderr, "passages: %s\n",
                     qPrintable(QCoreApplication::translate("main",
                                                            "The answer could not be written: %1")
                                        .arg(QString::fromLocal8Bit(std::strerror(error)))));
        std::exit(1);
    }
    std::exit(0);
}

// Answers --help or --version, if asked for anywhere on the line, under a core application,
// which needs no display; the other arguments may be Qt's own, which only the editor's
// application can tell, so only the editor's own options are judged here: one given a value
// (--version=1) is refused. Returns when neither was asked for.
void answerHelpOrVersion(int argc, char **argv)
{
    // The usage line names the program, not the path it was started by.
    std::vector<char *> arguments(argv, argv + argc);
    char name[] = "passages";
    arguments.at(0) = name;
    int count = argc;
    QCoreApplication commandLine(count, arguments.data());
    Options options;
    QStringList ours { QCoreApplication::arguments().constFirst() };
    static const QRegularExpression dashes(QStringLiteral("^--?"));
    for (const QString &argument : QCoreApplication::arguments().mid(1)) {
        const QString option = argument.section(QLatin1Char('='), 0, 0).remove(dashes);
        if (argument.startsWith(QLatin1Char('-'))
            && (options.help.names().contains(option) || options.version.names().contains(option)))
            ours.append(argument);
    }
    if (!options.parser.parse(ours)) {
        complain(options.parser.errorText());
        std::exit(2);
    }
    if (options.parser.isSet(options.help))
        answer(options.parser.helpText());
    if (options.parser.isSet(options.version))
        answer(QCoreApplication::applicationName() + QLatin1Char(' ')
               + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
}

// False, after saying why, when anything is left on the command line once QApplication and its
// platform plugin have taken their options.
bool onlyQtOptions()
{
    Options options;
    if (options.parser.parse(QCoreApplication::arguments())
        && options.parser.positionalArguments().isEmpty())
        return true;
    complain(options.parser.positionalArguments().isEmpty()
                     ? options.parser.errorText()
                     : QCoreApplication::translate("main", "Unexpected argument '%1'.")
                               .arg(options.parser.positionalArguments().constFirst()));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
#ifdef __GLIBC__
    // Every thread allocates from the one heap: a heap of its own would reserve 64 MiB of
    // address space per thread, which under an address-space limit the canvas could not have.
    mallopt(M_ARENA_MAX, 1);
#endif
    QCoreApplication::setApplicationName(QStringLiteral("passages"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PASSAGES_VERSION));
    if (argc > 0)
        answerHelpOrVersion(argc, argv);

    // QApplication takes the options of Qt and of its platform plugin out of argc and argv
    // (-platform, -style, xcb's -visual...); whatever is left is the editor's to read.
    QApplication app(argc, argv);
    if (!onlyQtOptions())
        return 2;
    QApplication::setDesktopFileName(QStringLiteral("org.passages.Passages"));
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("passages"), QStringLiteral("_"),
                        QStringLiteral(":/i18n")))
        QApplication::installTranslator(&translator);

    if (!startEveryThread(*QThreadPool::globalInstance()) || !startEveryThread(saveThreadPool())) {
        std::fprintf(stderr, "passages: %s\n",
                     qPrintable(QCoreApplication::translate(
                             "main", "There is not enough memory to start the editor.")));
        return 1;
    }
    installAccessibleInterfaces();
    Form1 form1;
    form1.show();
    return app.exec();
}
