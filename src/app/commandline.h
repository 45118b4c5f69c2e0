#pragma once

#include "pictureexport.h"

#include <QString>

#include <vector>

// The program's command line, read before any display is opened: our own
// options, one file, and Qt's documented options with their values, which
// are set apart to be handed to the application and to nothing else.
struct CommandLine
{
    enum class Action { Run, ShowHelp, ShowVersion, Render, Refuse };

    Action action = Action::Run;
    // Why the command line is refused (Refuse): one line, without the usage.
    QString problem;
    // Whether the usage follows the problem: not when the command line has
    // the right shape and only a value of it is wrong.
    bool showUsage = true;

    // Render: the chart drawn without a window, and where its picture goes.
    struct Render
    {
        QString input;  // a chart file or a table; "-" for standard input
        QString output; // "-" for standard output
        PictureExport::Format format = PictureExport::Format::Png;
        // The picture at this many times its size at 96 dpi: drawn for a
        // screen of scale x 96 dpi.
        double scale = 1;
    };
    Render render;
    // The one positional argument, empty when none is given.
    QString file;
    // The windowing platform, X display and widget style asked for with
    // -platform, -display and -style, empty when not given.
    QString platform;
    QString display;
    QString style;
    // argv[0] and Qt's own options with their values, ended by a null
    // pointer, as QApplication takes them; they point into the argv read.
    std::vector<char *> qtArguments;
    int qtArgumentCount = 0;
};

// Reads argv. Whatever is neither ours nor Qt's refuses the command line.
CommandLine parseCommandLine(int argc, char *argv[]);

// Answers a command line that does not start the program: the help or the
// version on standard output, or a refusal with the usage on standard error.
// Returns the exit status: 0, 1 when standard output cannot be written, 2
// for a refused command line.
int answerCommandLine(const CommandLine &commandLine);

// What is written when no display can be opened: one line that says how to
// choose one. Reads DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM.
QString noDisplayMessage(const CommandLine &commandLine);

// While it lives, a failure to open the display ends the program with
// noDisplayMessage and exit status 1, instead of Qt's abort; the messages
// Qt writes meanwhile are held back, and passed on when the display opens.
class DisplayOpening
{
public:
    explicit DisplayOpening(const CommandLine &commandLine);
    ~DisplayOpening();
    DisplayOpening(const DisplayOpening &) = delete;
    DisplayOpening &operator=(const DisplayOpening &) = delete;
};
