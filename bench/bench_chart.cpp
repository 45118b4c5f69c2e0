#include "designfonts.h"
#include "jchart.h"
#include "qtbenchmain.h"

#include <QImage>

#include <memory>

namespace {

// The main window's chart, 15330 x 4935 twips, on a screen of that resolution.
std::unique_ptr<jChart> makeChart(int dpi)
{
    installDesignFonts();
    auto chart = std::make_unique<jChart>();
    chart->Initialize();
    chart->move(benchmarkScreen(dpi)->geometry().topLeft());
    const Resolution resolution = Resolution::of(benchmarkScreen(dpi));
    chart->resize(resolution.toPixelsX(15330), resolution.toPixelsY(4935));
    return chart;
}

void fill(jChart &chart)
{
    for (int i = 0; i < jChart::Capacity; ++i)
        chart.AddItem(QStringLiteral("Column %1").arg(i), std::int16_t(i), 0x0000FF, 0x000000);
}

void BM_LayOutWith100Columns(benchmark::State &state)
{
    auto chart = makeChart(96);
    fill(*chart);
    for (auto _ : state)
        chart->layOut();
}
BENCHMARK(BM_LayOutWith100Columns)->Apply(medianOfTen);

void BM_Fill100ColumnsByAddItem(benchmark::State &state)
{
    auto chart = makeChart(96);
    for (auto _ : state) {
        chart->Clear();
        fill(*chart);
    }
}
BENCHMARK(BM_Fill100ColumnsByAddItem)->Apply(medianOfTen);

void BM_RepaintWith100Columns(benchmark::State &state)
{
    auto chart = makeChart(int(state.range(0)));
    fill(*chart);
    QImage image(chart->size(), QImage::Format_RGB32);
    for (auto _ : state)
        chart->render(&image);
}
BENCHMARK(BM_RepaintWith100Columns)->Apply(atBothResolutions)->Apply(medianOfTen);

} // namespace

PLINTHOS_BENCHMARK_MAIN()
