#include "commandline.h"
#include "designfonts.h"
#include "documentcontroller.h"
#include "formpicture.h"
#include "frmmain.h"
#include "screens.h"

#include <QApplication>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The command line as it is read, and as the built program answers it:
// with a window, or drawing a chart's picture with no display at all.
class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parse_data();
    void parse();
    void program_data();
    void program();
    void render_data();
    void render();
    void renderIsSaveGraphsPicture_data();
    void renderIsSaveGraphsPicture();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

using Action = CommandLine::Action;

namespace {

// The files the program is given, in the folder it runs in.
const QHash<QString, QByteArray> Inputs = {
    {"three.csv", "Label,Value,Colour\nApples,60,red\n\"Pears, green\",95,#00FF00\nPlums,30,dull purple\n"},
    {"chart.plinthos", R"({"format": "plinthos-chart", "version": 1, "heading": "Fruit sold in May",
                           "yAxisTitle": "Share ", "xAxisTitle": "Fruit ", "columns": [
                           {"label": "Apples", "value": 60, "colour": "#FF0000", "labelColour": "#0000FF"},
                           {"label": "Pears", "value": -5, "colour": "#00FF00", "labelColour": "#000000"}]})"},
    {"bad.csv", "Apples,60\nPears,lots\n"},
    {"kept.png", "a picture that a failed run leaves as it was"},
};

struct Finished
{
    int status = -1;
    QByteArray output;
    QString errors;
};

// A shell runs the command with the program as $0, in the folder.
Finished runShell(const QString &command, const QString &folder = QString())
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command, QStringLiteral(PLINTHOS_EXECUTABLE)});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), QString::fromLocal8Bit(process.readAllStandardError())};
}

bool matchesWhole(const QString &pattern, const QString &text)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
}

// What --render reads from the command line, in a few words; the file
// types are listed in the order of their formats.
QString renderRead(const CommandLine::Render &render)
{
    const char *type = PictureExport::fileTypes()[std::size_t(render.format)].extension;
    return QStringLiteral("%1 to %2 as %3 at %4").arg(render.input, render.output, QLatin1String(type)).arg(render.scale);
}

// With no environment at all: no display, no Qt settings, no home. Only the
// settings of a build with sanitizers pass.
const QString Bare = QStringLiteral("env -i PATH=/usr/bin:/bin ASAN_OPTIONS=\"$ASAN_OPTIONS\" LSAN_OPTIONS=\"$LSAN_OPTIONS\" "
                                    "UBSAN_OPTIONS=\"$UBSAN_OPTIONS\" \"$0\" --render ");

} // namespace

void tst_CommandLine::initTestCase()
{
    // As the program draws its window.
    QApplication::setStyle(QStringLiteral("Fusion"));
    installDesignFonts();
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    for (auto input = Inputs.cbegin(); input != Inputs.cend(); ++input) {
        QFile file(m_folder->filePath(input.key()));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(input.value()) == input.value().size());
    }
}

void tst_CommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("forQt");
    QTest::addColumn<QString>("fileOrProblem");
    const QStringList none;
    QTest::newRow("unknown option") << QStringList{"--nonsense", "-h"} << Action::Refuse << none
                                    << "unknown option --nonsense";
    QTest::newRow("-reverse is Qt's, not -r -e -v") << QStringList{"-reverse", "-v"} << Action::ShowVersion
                                                    << QStringList{"-reverse"} << "";
    QTest::newRow("-stylesheet and its value") << QStringList{"-stylesheet", "f.qss", "--help"} << Action::ShowHelp
                                               << QStringList{"-stylesheet", "f.qss"} << "";
    const QStringList qtOptions{"-platformtheme", "X", "-platformpluginpath", "P", "-display", ":1", "--style=Fusion"};
    QTest::newRow("Qt's options with values") << qtOptions << Action::Run << qtOptions << "";
    QTest::newRow("a value is a value, however it reads") << QStringList{"-qwindowtitle", "--help"} << Action::Run
                                                          << QStringList{"-qwindowtitle", "--help"} << "";
    QTest::newRow("Qt's option without its value") << QStringList{"-style"} << Action::Refuse << none
                                                   << "the option -style needs a value";
    QTest::newRow("one file, after --") << QStringList{"-reverse", "--", "-x"} << Action::Run << QStringList{"-reverse"}
                                        << "-x";
    QTest::newRow("two files") << QStringList{"a", "b"} << Action::Refuse << none
                               << "only one file can be given, not \"a\" and \"b\"";
    QTest::newRow("--render, type and scale given") << QStringList{"--render", "-", "-o", "-", "--format", "SVG", "--scale=2.5"}
                                                    << Action::Render << none << "- to - as svg at 2.5";
    QTest::newRow("--render, the type by the extension") << QStringList{"--render=in.csv", "--output", "Out.PDF"}
                                                         << Action::Render << none << "in.csv to Out.PDF as pdf at 1";
    QTest::newRow("--render, a scale out of range") << QStringList{"--render", "a", "-o", "a.png", "--scale", "8.01"}
                                                    << Action::Refuse << none
                                                    << "the scale must be a number from 1 to 8, not \"8.01\"";
    QTest::newRow("--render, -o - without --format") << QStringList{"--render", "a", "-o", "-"} << Action::Refuse << none
                                                     << "-o - writes to standard output and needs --format png, bmp, svg or pdf";
    QTest::newRow("--render, an unknown type") << QStringList{"--render", "a", "-o", "a.gif"} << Action::Refuse << none
                                               << "the picture type of \"a.gif\" is not known by its extension; end the "
                                                  "name in .png, .bmp, .svg or .pdf, or give --format png, bmp, svg or pdf";
    QTest::newRow("-o without --render") << QStringList{"-o", "a.png"} << Action::Refuse << none
                                         << "the option -o is taken only with --render";
}

void tst_CommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QStringList, forQt);
    QFETCH(QString, fileOrProblem);
    QList<QByteArray> bytes{"plinthos"};
    std::vector<char *> argv;
    for (const QString &argument : arguments)
        bytes << argument.toLocal8Bit();
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());

    const CommandLine commandLine = parseCommandLine(int(argv.size()), argv.data());
    QCOMPARE(commandLine.action, action);
    QCOMPARE(action == Action::Refuse   ? commandLine.problem
             : action == Action::Render ? renderRead(commandLine.render)
                                        : commandLine.file,
             fileOrProblem);
    QStringList givenToQt;
    for (int i = 1; i < commandLine.qtArgumentCount; ++i)
        givenToQt << QString::fromLocal8Bit(commandLine.qtArguments[i]);
    QCOMPARE(givenToQt, forQt);
    if (action != Action::Refuse)
        QCOMPARE(commandLine.qtArguments.at(commandLine.qtArgumentCount), nullptr);
}

void tst_CommandLine::program_data()
{
    // A shell runs the program as $0; without a display unless one is named.
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors"); // a pattern for all of standard error
    const QString noDisplay = QStringLiteral("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"$0\"");
    QTest::newRow("unknown option: one line and the usage, before a display")
        << noDisplay + " --nonsense" << 2 << ""
        << "plinthos: unknown option --nonsense\nUsage: plinthos \\[options\\] \\[FILE\\]\n\nOptions:\n(.+\n|\n)+";
    QTest::newRow("Qt's -platform offscreen --version") << "\"$0\" -platform offscreen --version" << 0
                                                        << "plinthos " PLINTHOS_VERSION "\n" << "";
    QTest::newRow("--help into a full device") << "\"$0\" --help >/dev/full" << 1 << ""
                                               << "plinthos: cannot write to standard output: No space left on device\n";
    QTest::newRow("--version into a closed output") << "\"$0\" --version >&-" << 1 << ""
                                                    << "plinthos: cannot write to standard output: Bad file descriptor\n";
    QTest::newRow("no display: one line, status 1")
        << noDisplay << 1 << "" << "plinthos: no display could be opened: DISPLAY is not set; [^\n]+ -display :0\n";
    QTest::newRow("Qt's -display naming an unreachable display")
        << noDisplay + " -display :65000" << 1 << ""
        << "plinthos: no display could be opened at :65000; check that it is running[^\n]+\n";
}

void tst_CommandLine::program()
{
    QFETCH(QString, command);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    const Finished finished = runShell(command);
    QCOMPARE(finished.status, status);
    QCOMPARE(QString::fromLocal8Bit(finished.output), output);
    QVERIFY2(matchesWhole(errors, finished.errors), qPrintable(finished.errors));
}

void tst_CommandLine::render_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errors"); // a pattern for all of standard error
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QSize>("size"); // none: no picture made there
    QTest::newRow("a CSV table") << Bare + "three.csv -o three.png" << 0 << "" << "three.png" << QSize(1131, 509);
    QTest::newRow("a chart file at scale 2, as a bitmap") << Bare + "chart.plinthos -o chart.bmp --scale 2"
                                                          << 0 << "" << "chart.bmp" << QSize(2262, 1019);
    QTest::newRow("standard input to standard output") << Bare + "- -o - --format bmp <three.csv >out.bmp" << 0 << ""
                                                       << "out.bmp" << QSize(1131, 509);
    QTest::newRow("into a descriptor, not over it") << Bare + "three.csv -o /proc/self/fd/1 --format png >fd.png" << 0
                                                    << "" << "fd.png" << QSize(1131, 509);
    QTest::newRow("after what a log holds, from a pipe")
        << "printf log >log.png && cat three.csv | " + Bare + "/dev/stdin -o /dev/stdout --format png >>log.png && "
           "tail -c +4 log.png >fd.png" << 0 << "" << "fd.png" << QSize(1131, 509);
    QTest::newRow("a bad row: file, line, reason; nothing made")
        << Bare + "bad.csv -o bad.png" << 1 << "plinthos: bad.csv, line 2: the value \"lots\" is not a number.\n"
        << "bad.png" << QSize();
    QTest::newRow("a bad row leaves an existing picture as it was")
        << Bare + "- -o kept.png <bad.csv" << 1
        << "plinthos: standard input, line 2: the value \"lots\" is not a number.\n" << "kept.png" << QSize();
    QTest::newRow("an output that cannot be written")
        << Bare + "three.csv -o missing/three.png" << 1
        << "plinthos: The picture could not be saved as missing/three.png: [^\n]+\\.\n" << "missing/three.png" << QSize();
    QTest::newRow("standard output on a full disk")
        << Bare + "three.csv -o - --format png >/dev/full" << 1
        << "plinthos: the picture could not be written to standard output: No space left on device.\n" << "" << QSize();
}

void tst_CommandLine::render()
{
    QFETCH(QString, command);
    QFETCH(int, status);
    QFETCH(QString, errors);
    QFETCH(QString, picture);
    QFETCH(QSize, size);
    const Finished finished = runShell(command, m_folder->path());
    QCOMPARE(finished.status, status);
    QVERIFY2(matchesWhole(errors, finished.errors), qPrintable(finished.errors));
    if (picture.isEmpty())
        return;
    QFile file(m_folder->filePath(picture));
    if (!size.isValid()) {
        // Not there, or as it was.
        QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), Inputs.value(picture));
        return;
    }
    QImageReader reader(file.fileName());
    QCOMPARE(reader.format(), QFileInfo(picture).suffix().toLatin1());
    QCOMPARE(reader.size(), size);
}

void tst_CommandLine::renderIsSaveGraphsPicture_data()
{
    addDpiColumns();
    QTest::addColumn<QString>("scale");
    newDpiRow(96) << "1";
    newDpiRow(144, ", scale 1.5") << "1.5";
    newDpiRow(192, ", scale 2") << "2";
}

// The window on a screen of that resolution, with the chart opened in it,
// gives the picture that --render gives at the scale, pixel for pixel.
void tst_CommandLine::renderIsSaveGraphsPicture()
{
    QFETCH(int, dpi);
    QFETCH(QString, scale);
    frmMain window;
    window.move(screenAtDpi(dpi)->geometry().topLeft());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.screen(), screenAtDpi(dpi));
    window.document()->load(m_folder->filePath(QStringLiteral("chart.plinthos")));
    const QImage saved = FormPicture::capture(&window).convertToFormat(QImage::Format_RGB32);

    const QString picture = QStringLiteral("chart-%1.png").arg(dpi);
    const Finished finished = runShell(Bare + "chart.plinthos -o " + picture + " --scale " + scale, m_folder->path());
    QCOMPARE(finished.errors, QString());
    QCOMPARE(finished.status, 0);
    const QImage rendered = QImage(m_folder->filePath(picture)).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(rendered.size(), saved.size());
    QVERIFY(rendered == saved);
}

QTEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
