// plinthos --render of a 3-column table to PNG, the whole process from its
// start to its end, against gnuplot drawing the same 3 bars with pngcairo at
// the same 1131 x 509 pixels, in the same run; and --render of 100 columns
// against 3. Wall time, and peak resident memory as the kernel counts it for
// the ended process. No display is needed.

#include <QByteArray>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

struct Finished
{
    double seconds = 0;
    long peakKiB = 0;
};

// Runs the program to its end with its output thrown away; nothing when it
// could not be started or did not succeed.
std::optional<Finished> runToEnd(const QString &program, const QStringList &arguments)
{
    std::vector<QByteArray> bytes{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        bytes.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return std::nullopt;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return Finished{elapsed.count(), usage.ru_maxrss};
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray table(int columns)
{
    static const char *const Fruit[] = {"Apples", "Pears", "Plums"};
    QByteArray csv;
    for (int i = 0; i < columns; ++i)
        csv += (columns == 3 ? QByteArray(Fruit[i]) : "Column " + QByteArray::number(i)) + ','
            + QByteArray::number(30 + i * 37 % 70) + '\n';
    return csv;
}

// The same bars as a gnuplot script draws them, at the picture's size.
QByteArray gnuplotScript(const QString &data, const QString &picture)
{
    return "set terminal pngcairo size 1131,509\n"
           "set output '" + QFile::encodeName(picture) + "'\n"
           "set datafile separator ','\n"
           "set style data histograms\n"
           "set style fill solid 1.0 border -1\n"
           "set yrange [0:*]\n"
           "plot '" + QFile::encodeName(data) + "' using 2:xtic(1) notitle\n";
}

// Each repetition runs gnuplot, then --render of 3 columns and of 100, so
// that all meet the same machine; the time reported is that of --render of
// 3 columns, the counters give all three and their ratios.
void BM_RenderAgainstGnuplot(benchmark::State &state)
{
    const QString gnuplot = QStandardPaths::findExecutable(QStringLiteral("gnuplot"));
    const QTemporaryDir folder;
    const QString three = folder.filePath(QStringLiteral("three.csv"));
    const QString hundred = folder.filePath(QStringLiteral("hundred.csv"));
    const QString script = folder.filePath(QStringLiteral("three.gp"));
    if (gnuplot.isEmpty()) {
        state.SkipWithError("gnuplot is not installed; scripts/bench installs it");
        return;
    }
    if (!writeFile(three, table(3)) || !writeFile(hundred, table(100))
        || !writeFile(script, gnuplotScript(three, folder.filePath(QStringLiteral("gnuplot.png"))))) {
        state.SkipWithError("the input files could not be written");
        return;
    }
    const auto render = [&folder](const QString &input) {
        return runToEnd(QStringLiteral(PLINTHOS_EXECUTABLE),
                        {QStringLiteral("--render"), input, QStringLiteral("-o"), folder.filePath(QStringLiteral("plinthos.png"))});
    };
    for (auto _ : state) {
        const auto byGnuplot = runToEnd(gnuplot, {script});
        const auto byPlinthos = render(three);
        const auto ofHundred = render(hundred);
        if (!byGnuplot || !byPlinthos || !ofHundred) {
            state.SkipWithError("a program did not draw its picture");
            return;
        }
        state.SetIterationTime(byPlinthos->seconds);
        state.counters["gnuplot_ms"] = byGnuplot->seconds * 1000;
        state.counters["plinthos_ms"] = byPlinthos->seconds * 1000;
        state.counters["time_ratio"] = byPlinthos->seconds / byGnuplot->seconds;
        state.counters["gnuplot_KiB"] = double(byGnuplot->peakKiB);
        state.counters["plinthos_KiB"] = double(byPlinthos->peakKiB);
        state.counters["memory_ratio"] = double(byPlinthos->peakKiB) / double(byGnuplot->peakKiB);
        state.counters["hundred_ms"] = ofHundred->seconds * 1000;
        state.counters["hundred_ratio"] = ofHundred->seconds / byPlinthos->seconds;
    }
}
BENCHMARK(BM_RenderAgainstGnuplot)
    ->UseManualTime()->Iterations(1)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
