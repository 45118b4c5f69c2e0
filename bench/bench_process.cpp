// Start-up to the first painted frame and peak memory of the program, measured
// from outside against a bare Qt window with as many child widgets, in the
// same run. Needs an X display
// (scripts/bench starts one); both windows are centred on it, and the first
// frame is there when the middle of the window's right-hand side, white in
// both, shows on the screen.

#include "chartdocument.h"
#include "frmmain.h"
#include "qtbenchmain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <optional>

namespace {

constexpr unsigned long ProbePauseUs = 200;

// The window's place on the screen, and a pixel of its background right of
// the chart, from the design's twips at the screen's resolution.
QPoint probePoint()
{
    const Resolution resolution = Resolution::of(QGuiApplication::primaryScreen());
    QRect window(0, 0, resolution.toPixelsX(16965), resolution.toPixelsY(9660));
    window.moveCenter(QGuiApplication::primaryScreen()->geometry().center());
    return window.topLeft() + QPoint(resolution.toPixelsX(16650), resolution.toPixelsY(4500));
}

bool isWhite(QPoint at)
{
    const QImage pixel = QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage();
    return !pixel.isNull() && (pixel.pixel(0, 0) & 0xFFFFFF) == 0xFFFFFF;
}

// Peak resident memory of a running process, in KiB.
qint64 peakMemory(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

struct Launch
{
    double seconds = 0; // to the first painted frame
    qint64 peakKiB = -1;
};

// Starts the program, waits for its first frame, lets it settle, reads its
// peak memory and ends it.
std::optional<Launch> launch(const QString &program, const QStringList &arguments)
{
    const QPoint probe = probePoint();
    if (isWhite(probe))
        return std::nullopt;
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForStarted())
        return std::nullopt;
    // The probe looks every 0.2 ms: polling without a pause would keep one
    // of the machine's cores, and the X server, busy answering it, and take
    // them from the program it times.
    while (!isWhite(probe)) {
        if (timer.elapsed() > 10000)
            return std::nullopt;
        QThread::usleep(ProbePauseUs);
    }
    Launch result;
    result.seconds = timer.nsecsElapsed() / 1e9;
    QThread::msleep(300);
    result.peakKiB = peakMemory(process.processId());
    process.kill();
    process.waitForFinished();
    while (isWhite(probe))
        QThread::usleep(ProbePauseUs);
    return result;
}

// A chart file of 100 columns in the folder, for the program to start with;
// empty when it could not be written.
QString writeDocument(const QTemporaryDir &folder)
{
    ChartDocument document;
    for (int i = 0; i < ChartCapacity; ++i)
        document.columns.append({QStringLiteral("Column %1").arg(i), std::int16_t(i), 0x0000FF, 0x000000});
    QFile file(folder.filePath(QStringLiteral("hundred.plinthos")));
    const bool written = file.open(QIODevice::WriteOnly) && file.write(document.toJson()) > 0 && file.flush();
    return written ? file.fileName() : QString();
}

// Each repetition starts the bare window, the program, and the program with
// a chart file of 100 columns named on its command line, so that all meet
// the same machine; the time reported is the program's, the counters give
// all three and their ratios.
void BM_StartUpAndPeakMemory(benchmark::State &state)
{
    const QString children = QString::number(frmMain().findChildren<QWidget *>().size());
    const QTemporaryDir folder;
    const QString document = writeDocument(folder);
    state.SetLabel(QStringLiteral("%1 dpi").arg(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY())).toStdString());
    for (auto _ : state) {
        const auto bare = launch(QStringLiteral(BARE_WINDOW_EXECUTABLE), {children});
        const auto plinthos = launch(QStringLiteral(PLINTHOS_EXECUTABLE), {});
        const auto withDocument = launch(QStringLiteral(PLINTHOS_EXECUTABLE), {document});
        if (!bare || !plinthos || !withDocument || document.isEmpty()) {
            state.SkipWithError("a window did not show where it was expected");
            return;
        }
        state.SetIterationTime(plinthos->seconds);
        state.counters["bare_ms"] = bare->seconds * 1000;
        state.counters["plinthos_ms"] = plinthos->seconds * 1000;
        state.counters["startup_ratio"] = plinthos->seconds / bare->seconds;
        state.counters["bare_KiB"] = double(bare->peakKiB);
        state.counters["plinthos_KiB"] = double(plinthos->peakKiB);
        state.counters["memory_ratio"] = double(plinthos->peakKiB) / double(bare->peakKiB);
        state.counters["document_ms"] = withDocument->seconds * 1000;
        state.counters["document_ratio"] = withDocument->seconds / plinthos->seconds;
    }
}
BENCHMARK(BM_StartUpAndPeakMemory)
    ->UseManualTime()->Iterations(1)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

} // namespace

PLINTHOS_BENCHMARK_MAIN()
