#include "fonts.h"
#include "jchart.h"
#include "qtbenchmain.h"

#include <QImage>

#include <memory>

namespace {

constexpr QSize ChartSize(1022, 329); // the main window's chart at 96 dpi

std::unique_ptr<jChart> makeChart()
{
    installDesignFonts();
    auto chart = std::make_unique<jChart>();
    chart->Initialize();
    chart->resize(ChartSize);
    return chart;
}

void fill(jChart &chart)
{
    for (int i = 0; i < jChart::Capacity; ++i)
        chart.AddItem(QStringLiteral("Column %1").arg(i), std::int16_t(i), 0x0000FF, 0x000000);
}

void BM_ResizeWith100Columns(benchmark::State &state)
{
    auto chart = makeChart();
    fill(*chart);
    for (auto _ : state)
        chart->Resize();
}
BENCHMARK(BM_ResizeWith100Columns)->Apply(medianOfTen);

void BM_Fill100ColumnsByAddItem(benchmark::State &state)
{
    auto chart = makeChart();
    for (auto _ : state) {
        chart->Clear();
        fill(*chart);
    }
}
BENCHMARK(BM_Fill100ColumnsByAddItem)->Apply(medianOfTen);

void BM_RepaintWith100Columns(benchmark::State &state)
{
    auto chart = makeChart();
    fill(*chart);
    QImage image(ChartSize, QImage::Format_RGB32);
    for (auto _ : state)
        chart->render(&image);
}
BENCHMARK(BM_RepaintWith100Columns)->Apply(medianOfTen);

} // namespace

PLINTHOS_BENCHMARK_MAIN()
