#include "commandline.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

// The command line as it is read, and as the built program answers it.
class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void program_data();
    void program();
};

using Action = CommandLine::Action;

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
    QCOMPARE(action == Action::Refuse ? commandLine.problem : commandLine.file, fileOrProblem);
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
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command, QStringLiteral(PLINTHOS_EXECUTABLE)});
    QVERIFY2(process.waitForFinished(30000), "the program did not end");
    const QString error = QString::fromLocal8Bit(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardOutput()), output);
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(errors)).match(error).hasMatch(), qPrintable(error));
}

QTEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
