#include "commandline.h"

#include <QByteArray>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QtGlobal>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

namespace {

constexpr int WriteFailedStatus = 1;
constexpr int RefusedStatus = 2;
constexpr int NoDisplayStatus = 1;

// Qt's documented options (QGuiApplication, QApplication and the X11
// platform), which Qt takes after one dash or two. An option with a value
// takes it as the next argument; a few also as -option=value.
struct QtOption
{
    const char *name;
    bool takesValue;
    bool takesJoinedValue;
};

constexpr QtOption QtOptions[] = {
    {"platform", true, false},     {"platformpluginpath", true, false}, {"platformtheme", true, false},
    {"plugin", true, false},       {"qwindowgeometry", true, false},    {"qwindowicon", true, false},
    {"qwindowtitle", true, false}, {"session", true, false},            {"reverse", false, false},
    {"testability", false, false}, {"qmljsdebugger", true, true},       {"style", true, true},
    {"stylesheet", true, true},    {"widgetcount", false, false},
    // X11
    {"display", true, false},      {"geometry", true, false},           {"title", true, false},
    {"icon", true, false},         {"name", true, false},               {"visual", true, false},
    {"nograb", false, false},      {"dograb", false, false},
};

// The program's own options, in the order the help lists them. An option
// with a valueName takes a value, as the next argument or as --name=value.
// The options of --render have no apply: their values are read together.
struct Option
{
    const char *shortName; // may be null
    const char *longName;
    const char *valueName;
    const char *description;
    void (*apply)(CommandLine &commandLine, const QString &value);
};

constexpr const char *RenderOption = "render";
constexpr double MinScale = 1;
constexpr double MaxScale = 8;

const Option Options[] = {
    {"h", "help", nullptr, "Displays this help and ends.",
     [](CommandLine &commandLine, const QString &) { commandLine.action = CommandLine::Action::ShowHelp; }},
    {"v", "version", nullptr, "Displays the version and ends.",
     [](CommandLine &commandLine, const QString &) {
         if (commandLine.action != CommandLine::Action::ShowHelp)
             commandLine.action = CommandLine::Action::ShowVersion;
     }},
    {nullptr, RenderOption, "INPUT",
     "Draws the chart in INPUT, a chart file or a CSV or TSV table (- reads standard input), without a "
     "window, and saves its picture; then ends.",
     nullptr},
    {"o", "output", "FILE", "With --render: the picture's file (- writes standard output).", nullptr},
    {nullptr, "format", "TYPE", "With --render: png, bmp, svg or pdf; else FILE's extension says.", nullptr},
    {nullptr, "scale", "S", "With --render: the picture at S times its size at 96 dpi, S from 1 to 8 (default 1).",
     nullptr},
};

// An argument that starts with a dash, without its one or two dashes and
// split at its first '='.
struct Spelling
{
    QString name;
    QString joinedValue;
    bool joined = false;
};

Spelling spell(const QString &argument)
{
    const QString bare = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = bare.indexOf(u'=');
    if (equals < 0)
        return {bare, {}, false};
    return {bare.left(equals), bare.mid(equals + 1), true};
}

const QtOption *findQtOption(const Spelling &spelling)
{
    for (const QtOption &option : QtOptions) {
        if (spelling.name == QLatin1String(option.name) && (!spelling.joined || option.takesJoinedValue))
            return &option;
    }
    return nullptr;
}

const Option *findOption(const Spelling &spelling)
{
    for (const Option &option : Options) {
        if ((option.shortName && spelling.name == QLatin1String(option.shortName))
            || spelling.name == QLatin1String(option.longName))
            return spelling.joined && !option.valueName ? nullptr : &option;
    }
    return nullptr;
}

constexpr const char *UsageLine = "Usage: plinthos [options] [FILE]\n";

// The description after the name, its words wrapped within 79 columns and
// its further lines under its first.
QString wrapped(const QString &name, const QString &description)
{
    constexpr qsizetype Width = 79;
    QString text = name;
    qsizetype lineStart = 0;
    for (const QString &word : description.split(u' ')) {
        if (text.size() - lineStart + 1 + word.size() > Width && text.size() > name.size()) {
            lineStart = text.size() + 1;
            text += u'\n' + QString(name.size(), u' ');
        } else if (text.size() > name.size()) {
            text += u' ';
        }
        text += word;
    }
    return text + u'\n';
}

// The picture type named by --format, or by the extension of the output.
std::optional<PictureExport::Format> pictureFormat(const QString &name)
{
    for (const PictureExport::FileType &type : PictureExport::fileTypes()) {
        if (name.compare(QLatin1String(type.extension), Qt::CaseInsensitive) == 0)
            return type.format;
    }
    return std::nullopt;
}

// Why the values of --render and its options make no picture; empty when
// they do, and commandLine.render is set.
QString readRender(CommandLine &commandLine, const QHash<QString, QString> &values)
{
    CommandLine::Render &render = commandLine.render;
    render.input = values.value(QLatin1String(RenderOption));
    render.output = values.value(QStringLiteral("output"));
    if (render.output.isEmpty())
        return QStringLiteral("--render needs -o FILE, the file to save the picture in (- for standard output)");
    const QString formatName = values.value(QStringLiteral("format"));
    const QString typeList = QStringLiteral("png, bmp, svg or pdf");
    if (!formatName.isEmpty()) {
        const auto format = pictureFormat(formatName);
        if (!format)
            return QStringLiteral("unknown picture type \"%1\"; choose %2").arg(formatName, typeList);
        render.format = *format;
    } else if (render.output == u'-') {
        return QStringLiteral("-o - writes to standard output and needs --format %1").arg(typeList);
    } else if (const auto format = pictureFormat(QFileInfo(render.output).suffix())) {
        render.format = *format;
    } else {
        return QStringLiteral("the picture type of \"%1\" is not known by its extension; end the name in .png, "
                              ".bmp, .svg or .pdf, or give --format %2")
            .arg(render.output, typeList);
    }
    if (values.contains(QStringLiteral("scale"))) {
        const QString scaleText = values.value(QStringLiteral("scale"));
        bool isNumber = false;
        render.scale = scaleText.toDouble(&isNumber);
        if (!isNumber || !(render.scale >= MinScale && render.scale <= MaxScale)) {
            return QStringLiteral("the scale must be a number from %1 to %2, not \"%3\"")
                .arg(MinScale)
                .arg(MaxScale)
                .arg(scaleText);
        }
    }
    return {};
}

// The options the program takes, as the help lists them.
QString optionsText()
{
    QString text = QStringLiteral("\nOptions:\n");
    QStringList names;
    qsizetype width = 0;
    for (const Option &option : Options) {
        QString name = option.shortName ? QStringLiteral("-%1, ").arg(QLatin1String(option.shortName)) : QStringLiteral("    ");
        name += QStringLiteral("--") + QLatin1String(option.longName);
        if (option.valueName)
            name += u' ' + QLatin1String(option.valueName);
        width = qMax(width, name.size());
        names << name;
    }
    for (qsizetype i = 0; i < names.size(); ++i)
        text += wrapped(QStringLiteral("  %1  ").arg(names[i].leftJustified(width)), QLatin1String(Options[i].description));
    return text + QStringLiteral("\nQt's own options, such as -platform NAME, -display DISPLAY, -style NAME and\n"
                                 "-reverse, are passed on to Qt.\n");
}

QString helpText()
{
    return QLatin1String(UsageLine)
        + QStringLiteral("Draws a column chart by hand: type a label and a value, pick the colours and add the "
                         "column.\nRight-click the chart to copy the picture or save it as PNG, BMP, SVG or PDF.\n"
                         "FILE, a chart saved by Plinthos (*.plinthos) or a CSV or TSV table, opens at start.\n"
                         "With --render, no window opens and no display is needed: the picture that Save Graph\n"
                         "gives is saved, e.g. plinthos --render sales.csv -o sales.png --scale 2\n")
        + optionsText();
}

// Writes all of text and flushes it; false, with errno set, when it fails.
bool writeAll(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream) == std::size_t(bytes.size());
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

int writeOutput(const QString &text)
{
    if (writeAll(stdout, text))
        return 0;
    const int error = errno;
    writeAll(stderr, QStringLiteral("plinthos: cannot write to standard output: %1\n")
                         .arg(QString::fromLocal8Bit(std::strerror(error))));
    return WriteFailedStatus;
}

} // namespace

CommandLine parseCommandLine(int argc, char *argv[])
{
    CommandLine commandLine;
    commandLine.qtArguments.push_back(argv[0]);
    const auto refuse = [&commandLine](const QString &problem) {
        commandLine.action = CommandLine::Action::Refuse;
        commandLine.problem = problem;
        return commandLine;
    };

    // The values of --render and of its options, and the first of these
    // options as given.
    QHash<QString, QString> renderValues;
    QString renderArgument;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !argument.startsWith(u'-') || argument == QLatin1String("-")) {
            if (!commandLine.file.isEmpty()) {
                return refuse(QStringLiteral("only one file can be given, not \"%1\" and \"%2\"")
                                  .arg(commandLine.file, argument));
            }
            commandLine.file = argument;
            continue;
        }

        const Spelling spelling = spell(argument);
        if (const QtOption *qtOption = findQtOption(spelling)) {
            commandLine.qtArguments.push_back(argv[i]);
            if (!qtOption->takesValue)
                continue;
            QString value = spelling.joinedValue;
            if (!spelling.joined) {
                if (i + 1 == argc)
                    return refuse(QStringLiteral("the option %1 needs a value").arg(argument));
                commandLine.qtArguments.push_back(argv[++i]);
                value = QString::fromLocal8Bit(argv[i]);
            }
            if (spelling.name == QLatin1String("platform"))
                commandLine.platform = value;
            else if (spelling.name == QLatin1String("display"))
                commandLine.display = value;
            else if (spelling.name == QLatin1String("style"))
                commandLine.style = value;
            continue;
        }
        const Option *option = findOption(spelling);
        if (!option)
            return refuse(QStringLiteral("unknown option %1").arg(argument));
        QString value = spelling.joinedValue;
        if (option->valueName && !spelling.joined) {
            if (i + 1 == argc)
                return refuse(QStringLiteral("the option %1 needs a value").arg(argument));
            value = QString::fromLocal8Bit(argv[++i]);
        }
        if (option->apply) {
            option->apply(commandLine, value);
            continue;
        }
        if (renderValues.contains(QLatin1String(option->longName)))
            return refuse(QStringLiteral("the option %1 is given twice").arg(argument));
        renderValues.insert(QLatin1String(option->longName), value);
        if (renderArgument.isEmpty())
            renderArgument = argument;
    }
    const bool rendering = renderValues.contains(QLatin1String(RenderOption));
    if (!renderArgument.isEmpty() && commandLine.action == CommandLine::Action::Run) {
        if (!rendering)
            return refuse(QStringLiteral("the option %1 is taken only with --render").arg(renderArgument));
        if (!commandLine.file.isEmpty())
            return refuse(QStringLiteral("--render draws its INPUT; the file \"%1\" is one too many").arg(commandLine.file));
        if (commandLine.qtArguments.size() > 1) {
            return refuse(QStringLiteral("Qt's option %1 is not taken with --render")
                              .arg(QString::fromLocal8Bit(commandLine.qtArguments[1])));
        }
        if (const QString problem = readRender(commandLine, renderValues); !problem.isEmpty()) {
            refuse(problem);
            commandLine.showUsage = false;
            return commandLine;
        }
        commandLine.action = CommandLine::Action::Render;
    }
    commandLine.qtArgumentCount = int(commandLine.qtArguments.size());
    commandLine.qtArguments.push_back(nullptr);
    return commandLine;
}

int answerCommandLine(const CommandLine &commandLine)
{
    switch (commandLine.action) {
    case CommandLine::Action::ShowHelp:
        return writeOutput(helpText());
    case CommandLine::Action::ShowVersion:
        return writeOutput(QStringLiteral("plinthos " PLINTHOS_VERSION "\n"));
    case CommandLine::Action::Refuse:
        writeAll(stderr, QStringLiteral("plinthos: ") + commandLine.problem + u'\n'
                             + (commandLine.showUsage ? QLatin1String(UsageLine) + optionsText() : QString()));
        return RefusedStatus;
    case CommandLine::Action::Run:
    case CommandLine::Action::Render:
        break;
    }
    return 0;
}

QString noDisplayMessage(const CommandLine &commandLine)
{
    const QString platform = !commandLine.platform.isEmpty() ? commandLine.platform
                                                             : qEnvironmentVariable("QT_QPA_PLATFORM");
    const QString platformName = platform.section(u':', 0, 0);
    if (platformName.startsWith(QLatin1String("wayland"))) {
        const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
        return wayland.isEmpty()
                   ? QStringLiteral("no display could be opened: WAYLAND_DISPLAY is not set; run it in a Wayland "
                                    "session, or choose X11 with -platform xcb")
                   : QStringLiteral("no display could be opened at WAYLAND_DISPLAY=%1; check that the compositor "
                                    "is running, or choose X11 with -platform xcb")
                         .arg(wayland);
    }
    if (!platformName.isEmpty() && platformName != QLatin1String("xcb")) {
        return QStringLiteral("no display could be opened with the platform \"%1\"; choose one with -platform xcb "
                              "(X11) or -platform wayland")
            .arg(platform);
    }
    const QString display = !commandLine.display.isEmpty() ? commandLine.display : qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) {
        return QStringLiteral("no display could be opened: DISPLAY is not set; run it on a desktop, or choose a "
                              "display with DISPLAY=:0 or -display :0");
    }
    return QStringLiteral("no display could be opened at %1; check that it is running, or choose another with "
                          "DISPLAY=:0 or -display :0")
        .arg(display);
}

namespace {

// What DisplayOpening's message handler holds: Qt's messages while the
// display is being opened, to be passed on only if it opens.
struct HeldMessage
{
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

struct DisplayOpeningState
{
    std::mutex mutex;
    std::vector<HeldMessage> held;
    QtMessageHandler previous = nullptr;
    QByteArray noDisplayLine;
};

DisplayOpeningState &displayOpening()
{
    static DisplayOpeningState state;
    return state;
}

// Qt ends with a fatal message when it cannot open its platform's display;
// the program ends with one line of its own instead. Other threads may log
// meanwhile (the font configuration is read on one).
void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    DisplayOpeningState &state = displayOpening();
    if (type == QtFatalMsg) {
        std::fwrite(state.noDisplayLine.constData(), 1, std::size_t(state.noDisplayLine.size()), stderr);
        std::fflush(stderr);
        std::_Exit(NoDisplayStatus);
    }
    const std::lock_guard lock(state.mutex);
    state.held.push_back({type, context.file, context.line, context.function, context.category, text});
}

} // namespace

DisplayOpening::DisplayOpening(const CommandLine &commandLine)
{
    DisplayOpeningState &state = displayOpening();
    state.noDisplayLine = (QStringLiteral("plinthos: ") + noDisplayMessage(commandLine) + u'\n').toLocal8Bit();
    state.previous = qInstallMessageHandler(holdMessage);
}

DisplayOpening::~DisplayOpening()
{
    DisplayOpeningState &state = displayOpening();
    qInstallMessageHandler(state.previous);
    std::vector<HeldMessage> held;
    {
        const std::lock_guard lock(state.mutex);
        held.swap(state.held);
    }
    for (const HeldMessage &message : held) {
        const QMessageLogContext context(message.file.constData(), message.line, message.function.constData(),
                                         message.category.constData());
        state.previous(message.type, context, message.text);
    }
}
