#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void print(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

} // namespace

std::optional<int> answerCommandLine(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("plinthos"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PLINTHOS_VERSION));

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws a column chart by hand: type a label and a value, pick the colours and add the "
                       "column.\nRight-click the chart to copy the picture or save it as PNG, BMP, SVG or PDF."));
    // Qt's own help option would add --help-all, which lists Qt's options
    // and so needs the application that is not made here.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and ends."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    // Anything else, Qt's own options among it, is left to the application.
    parser.parse(arguments);
    if (!parser.isSet(help) && !parser.isSet(version))
        return std::nullopt;

    // The help text names the program from the application's arguments; a
    // core application needs no display.
    QCoreApplication core(argc, argv);
    if (parser.isSet(help))
        print(parser.helpText());
    else
        print(QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n');
    return 0;
}
