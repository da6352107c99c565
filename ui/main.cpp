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

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

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

// A standard descriptor the program was started without is held open on /dev/null the wrong way
// round (standard input for writing, the outputs for reading), so that nothing the program
// opens takes its number and a write to a closed output fails for its own reason, a bad file
// descriptor.
void holdClosedStandardDescriptors()
{
    for (const int descriptor : { STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO }) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int held = open("/dev/null", descriptor == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (held != -1 && held != descriptor) {
            dup2(held, descriptor);
            close(held);
        }
    }
}

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

// Whether an argument asks for --help or --version (-h, -v, --help=all...).
bool asksForAnswer(const Options &options, const QString &argument)
{
    static const QRegularExpression dashes(QStringLiteral("^--?"));
    const QString option = argument.section(QLatin1Char('='), 0, 0).remove(dashes);
    return argument.startsWith(QLatin1Char('-'))
            && (options.help.names().contains(option) || options.version.names().contains(option));
}

// Answers --help or --version, if asked for anywhere on the line. Alone it is answered under a
// core application. Beside it only Qt's own options may stand: an application on the offscreen
// platform, which needs no display, takes them out, and whatever else is on the line is refused
// (exit 2), a platform plugin's own options among it (no other plugin is loaded), as is a value
// given to --help or --version. Returns when neither was asked for.
void answerHelpOrVersion(int argc, char **argv)
{
    Options options;
    if (std::none_of(argv + 1, argv + argc, [&](const char *argument) {
            return asksForAnswer(options, QString::fromLocal8Bit(argument));
        }))
        return;
    // The usage line names the program, not the path it was started by. The offscreen platform
    // comes first, and a -platform of the line's own is given it too, since Qt takes the last.
    char name[] = "passages";
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    const bool alone = argc == 2;
    std::vector<char *> arguments { name };
    if (!alone)
        arguments.insert(arguments.end(), { platformOption, offscreen });
    for (int i = 1; i < argc; ++i) {
        const bool platformValue = i > 1
                && (std::strcmp(argv[i - 1], "-platform") == 0
                    || std::strcmp(argv[i - 1], "--platform") == 0);
        arguments.push_back(platformValue ? offscreen : argv[i]);
    }
    int count = int(arguments.size());
    arguments.push_back(nullptr);
    std::unique_ptr<QCoreApplication> commandLine;
    if (alone) {
        commandLine = std::make_unique<QCoreApplication>(count, arguments.data());
    } else {
        // What Qt notes while it starts (a missing runtime folder, a style it does not know) is
        // not the answer the line asks for; only a fatal error is said.
        const QtMessageHandler said = qInstallMessageHandler(
                [](QtMsgType type, const QMessageLogContext &, const QString &message) {
                    if (type == QtFatalMsg)
                        std::fprintf(stderr, "%s\n", qPrintable(message));
                });
        commandLine = std::make_unique<QApplication>(count, arguments.data());
        qInstallMessageHandler(said);
    }
    QStringList left = QCoreApplication::arguments().mid(1);
    const auto question = std::find_if(left.cbegin(), left.cend(), [&](const QString &argument) {
        return asksForAnswer(options, argument);
    });
    if (question == left.cend())
        return; // the value of one of Qt's options (-style --help)
    if (!options.parser.parse(QCoreApplication::arguments())) {
        complain(options.parser.errorText());
        std::exit(2);
    }
    left.erase(question);
    if (!left.isEmpty()) {
        complain(
                QCoreApplication::translate("main", "Unexpected argument '%1'.").arg(left.first()));
        std::exit(2);
    }
    if (options.parser.isSet(options.help))
        answer(options.parser.helpText());
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
    holdClosedStandardDescriptors();
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
