#include "charteditor.h"
#include "documentcontroller.h"
#include "frmmain.h"
#include "jchart.h"
#include "qtbenchmain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUndoStack>

#include <memory>

namespace {

// 100 columns whose labels differ from one set to the other, so that every
// open or paste measures its labels anew.
QList<ChartColumn> hundredColumns(const QString &name)
{
    QList<ChartColumn> columns;
    for (int i = 0; i < ChartCapacity; ++i)
        columns.append({QStringLiteral("%1 %2").arg(name).arg(i), std::int16_t(i), 0x0000FF, 0x000000});
    return columns;
}

QString tabSeparated(const QList<ChartColumn> &columns)
{
    QString text;
    for (const ChartColumn &column : columns)
        text += column.label + u'\t' + QString::number(column.value) + u'\n';
    return text;
}

std::unique_ptr<frmMain> makeWindow()
{
    auto window = std::make_unique<frmMain>();
    window->move(benchmarkScreen(96)->geometry().topLeft());
    return window;
}

// Reading a chart file of 100 columns and showing it: texts, columns and
// the chart's layout.
void BM_Open100ColumnDocument(benchmark::State &state)
{
    auto window = makeWindow();
    QTemporaryDir folder;
    QStringList paths;
    for (const QString &name : {QStringLiteral("North"), QStringLiteral("South")}) {
        ChartDocument document;
        document.columns = hundredColumns(name);
        paths << folder.filePath(name + QStringLiteral(".plinthos"));
        QFile file(paths.last());
        if (!file.open(QIODevice::WriteOnly) || file.write(document.toJson()) < 0) {
            state.SkipWithError("the documents could not be written");
            return;
        }
    }
    int turn = 0;
    for (auto _ : state)
        window->document()->load(paths[turn++ % 2]);
}
BENCHMARK(BM_Open100ColumnDocument)->Apply(medianOfTen);

// Ctrl+V of 100 rows that a spreadsheet copied, into an empty chart.
void BM_Paste100Rows(benchmark::State &state)
{
    auto window = makeWindow();
    const QStringList texts = {tabSeparated(hundredColumns(QStringLiteral("East"))),
                               tabSeparated(hundredColumns(QStringLiteral("West")))};
    int turn = 0;
    for (auto _ : state) {
        window->document()->editor()->pasteText(texts[turn++ % 2]);
        state.PauseTiming();
        window->document()->history()->undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Paste100Rows)->Apply(medianOfTen);

// Ctrl+Z after Clear Graph on a chart of 100 columns.
void BM_UndoClearGraphOf100Columns(benchmark::State &state)
{
    auto window = makeWindow();
    window->document()->editor()->pasteText(tabSeparated(hundredColumns(QStringLiteral("Column"))));
    for (auto _ : state) {
        state.PauseTiming();
        window->document()->editor()->clearGraph();
        state.ResumeTiming();
        window->document()->history()->undo();
    }
}
BENCHMARK(BM_UndoClearGraphOf100Columns)->Apply(medianOfTen);

} // namespace

PLINTHOS_BENCHMARK_MAIN()
