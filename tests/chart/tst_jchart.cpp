#include "controlsite.h"
#include "designfonts.h"
#include "jchart.h"
#include "propertybag.h"
#include "runtimeerror.h"
#include "twips.h"

#include <QGuiApplication>
#include <QImage>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <tuple>

namespace {

// The chart of the main window: 15330 x 4935 twips at 96 dpi.
constexpr int ChartWidth = 1022;
constexpr int ChartHeight = 329;
constexpr float LineHeight = 195; // one line of MS Sans Serif 8 pt

std::optional<ErrorKind> errorOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const RuntimeError &error) {
        return error.kind();
    }
    return std::nullopt;
}

// Everything the chart would draw, in drawing order.
using ElementState = std::tuple<int, float, float, float, float, bool, QString, OleColor, OleColor>;
QList<ElementState> picture(const jChart &chart)
{
    QList<ElementState> states;
    for (const ChartElement *e : chart.scene().drawingOrder()) {
        states.append({int(e->kind()), e->left(), e->top(), e->width(), e->height(), e->isVisible(),
                       e->caption(), e->fillColour(), e->textColour()});
    }
    return states;
}

std::unique_ptr<jChart> newChart(QSize pixels = {ChartWidth, ChartHeight})
{
    auto chart = std::make_unique<jChart>();
    chart->Initialize();
    chart->resize(pixels);
    chart->layOut();
    return chart;
}

} // namespace

class tst_jChart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void workedExample_data();
    void workedExample();
    void hundredColumns();
    void singleColumn_data();
    void singleColumn();
    void valueOutOfRangeDrawsLikeItsBound_data();
    void valueOutOfRangeDrawsLikeItsBound();
    void smallControlDrawsNothingStale_data();
    void smallControlDrawsNothingStale();
    void capacity();
    void clear_data();
    void clear();
    void reuseAfterClear();
    void relayoutChangesNothing();
    void overflow_data();
    void overflow();
    void resizeEventLaysOut_data();
    void resizeEventLaysOut();
    void backColorPersistence_data();
    void backColorPersistence();
    void backColorNotifiesAndRepaints();
    void rendering();

private:
    void fill(int count);
    void addWorkedExample();

    std::unique_ptr<jChart> chart;
};

void tst_jChart::initTestCase()
{
    installDesignFonts();
    // Every figure below is in twips at 96 dpi, the primary screen's.
    QCOMPARE(Resolution::of(QGuiApplication::primaryScreen()).twipsPerPixelX(), 15.0);
    QCOMPARE(Resolution::of(QGuiApplication::primaryScreen()).twipsPerPixelY(), 15.0);
}

void tst_jChart::init()
{
    chart = newChart();
}

void tst_jChart::fill(int count)
{
    for (int i = 0; i < count; ++i)
        chart->AddItem(QString::number(i), std::int16_t(i), rgbColour(i, 0, 0), rgbColour(0, i, 0));
}

void tst_jChart::addWorkedExample()
{
    chart->AddItem(QStringLiteral("Apples"), 50, rgbColour(255, 160, 0), rgbColour(0, 0, 255));
    chart->AddItem(QStringLiteral("Pears"), 95, rgbColour(0, 160, 0), rgbColour(255, 255, 0));
    chart->AddItem(QStringLiteral("Plums"), 0, rgbColour(160, 0, 160), rgbColour(255, 0, 0));
}

void tst_jChart::workedExample_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("labelLeft"); // the floats nearest 503.96..., 5580.96..., 10657.96...
    QTest::addColumn<bool>("labelInside");

    QTest::newRow("value 50: label above") << 0 << 50.f << 2400.f << 2485.f << 503.96429443359375f << false;
    QTest::newRow("value 95: label inside, in front") << 1 << 5127.f << 4560.f << 325.f << 5580.96435546875f << true;
    QTest::newRow("value 0: flat on the baseline") << 2 << 10204.f << 0.f << 4885.f << 10657.9638671875f << false;
}

void tst_jChart::workedExample()
{
    QFETCH(int, column);
    QFETCH(float, left);
    QFETCH(float, height);
    QFETCH(float, top);
    QFETCH(float, labelLeft);
    QFETCH(bool, labelInside);

    // QCOMPARE is fuzzy for floats; the layout's figures must match exactly.
    addWorkedExample();
    QCOMPARE(chart->usableWidth(), 15230);
    QCOMPARE(chart->columnPitch(), 5077);

    const ChartElement *item = chart->item(column);
    QVERIFY(item && item->isVisible());
    QCOMPARE_EQ(item->left(), left);
    QCOMPARE_EQ(item->width(), 2538.5f);
    QCOMPARE_EQ(item->height(), height);
    QCOMPARE_EQ(item->top(), top);

    const ChartElement *label = chart->label(column);
    QVERIFY(label && label->isVisible());
    QCOMPARE_EQ(label->height(), LineHeight);
    QCOMPARE_EQ(label->left(), labelLeft);
    QCOMPARE_EQ(label->top(), labelInside ? top + 30 : top - LineHeight);
    QCOMPARE(chart->scene().drawingOrder().back() == label, labelInside);
}

void tst_jChart::hundredColumns()
{
    fill(jChart::Capacity);
    QCOMPARE(chart->columnPitch(), 152);
    for (int i = 0; i < jChart::Capacity; ++i) {
        const ChartElement *item = chart->item(i);
        QCOMPARE_EQ(item->left(), float(50 + 152 * i));
        QCOMPARE_EQ(item->width(), 76.f);
        QCOMPARE_EQ(item->top(), 4885.f - 48 * i);
    }
    QCOMPARE_EQ(chart->item(99)->left(), 15098.f);
    // Values 94 to 99 have their labels inside, brought forward in turn.
    const auto &order = chart->scene().drawingOrder();
    for (int i = 94; i < jChart::Capacity; ++i)
        QCOMPARE(order[order.size() - 100 + i], chart->label(i));
    QCOMPARE(order[order.size() - 7], &chart->border());
}

void tst_jChart::singleColumn_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("labelTop");
    QTest::addColumn<bool>("inFront");

    QTest::newRow("0 lies on the baseline, label above it") << 0 << 0.f << 4885.f - LineHeight << false;
    QTest::newRow("93 keeps its label above") << 93 << 4464.f << 421.f - LineHeight << false;
    QTest::newRow("94 takes its label inside, in front") << 94 << 4512.f << 403.f << true;
    QTest::newRow("100 stops 85 below the top") << 100 << 4800.f << 115.f << true;
    QTest::newRow("150 is drawn like 100") << 150 << 4800.f << 115.f << true;
}

void tst_jChart::singleColumn()
{
    QFETCH(int, value);
    QFETCH(float, height);
    QFETCH(float, labelTop);
    QFETCH(bool, inFront);

    const OleColor fill = rgbColour(0, 0, 200);
    chart->AddItem(QStringLiteral("Value"), std::int16_t(value), fill, 0);
    QCOMPARE_EQ(chart->columns()[0].value, value);
    const ChartElement *item = chart->item(0);
    QVERIFY(item->isVisible());
    QCOMPARE_EQ(item->left(), 50.f);
    QCOMPARE_EQ(item->width(), 7615.f); // one column takes the whole pitch
    QCOMPARE_EQ(item->height(), height);
    QCOMPARE_EQ(item->top(), 4885.f - height);
    QCOMPARE_EQ(chart->label(0)->top(), labelTop);
    QCOMPARE(chart->scene().drawingOrder().back() == chart->label(0), inFront);

    // Row 324 lies just above the baseline outline, row 1 just below the frame.
    const QImage image = chart->grab().toImage();
    QCOMPARE(image.pixel(250, 324) == toQColor(fill).rgb(), height > 0);
    QCOMPARE(image.pixel(250, 1) == toQColor(fill).rgb(), height > 4885);
}

void tst_jChart::valueOutOfRangeDrawsLikeItsBound_data()
{
    QTest::addColumn<QList<int>>("earlier"); // values added before the one under test
    QTest::addColumn<bool>("cleared");       // and cleared again
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("bound"); // the value it is drawn like
    QTest::newRow("-5 on a fresh chart, whose Item 0 is 495 high") << QList<int>{} << false << -5 << 0;
    QTest::newRow("-5 after eight columns of 50 and Clear") << QList<int>(8, 50) << true << -5 << 0;
    QTest::newRow("-5 after columns of 50 and 95") << QList<int>{50, 95} << false << -5 << 0;
    QTest::newRow("-32768 after a column of 100 and Clear") << QList<int>{100} << true << -32768 << 0;
    QTest::newRow("101 on a fresh chart") << QList<int>{} << false << 101 << 100;
    QTest::newRow("150 after columns of 50 and 95") << QList<int>{50, 95} << false << 150 << 100;
    QTest::newRow("32767 after a column of 0 and Clear") << QList<int>{0} << true << 32767 << 100;
}

void tst_jChart::valueOutOfRangeDrawsLikeItsBound()
{
    QFETCH(QList<int>, earlier);
    QFETCH(bool, cleared);
    QFETCH(int, value);
    QFETCH(int, bound);
    const auto build = [&](jChart &target, int last) {
        for (int v : earlier)
            target.AddItem(QStringLiteral("Before"), std::int16_t(v), rgbColour(0, 0, 200), 0);
        if (cleared)
            target.Clear();
        target.AddItem(QStringLiteral("Last"), std::int16_t(last), rgbColour(200, 0, 0), rgbColour(0, 200, 0));
    };
    build(*chart, value);
    const auto bounded = newChart();
    build(*bounded, bound);

    const int last = chart->ItemCount() - 1;
    const float height = bound == 0 ? 0.f : 4800.f;
    QCOMPARE_EQ(chart->columns()[last].value, value);
    QCOMPARE_EQ(chart->item(last)->height(), height);
    QCOMPARE_EQ(chart->item(last)->top(), 4885.f - height);
    QCOMPARE_EQ(chart->label(last)->top(), bound == 0 ? 4885.f - LineHeight : 115.f);
    QVERIFY(picture(*chart) == picture(*bounded));
    QCOMPARE(chart->grab().toImage(), bounded->grab().toImage());
}

void tst_jChart::smallControlDrawsNothingStale_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("pitch");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height"); // of a column of 50
    QTest::newRow("15 twips wide, one column") << QSize(1, ChartHeight) << 1 << -85 << 0.f << 2400.f;
    QTest::newRow("75 twips wide, three columns") << QSize(5, ChartHeight) << 3 << -8 << 0.f << 2400.f;
    QTest::newRow("90 twips wide, a full chart") << QSize(6, ChartHeight) << 100 << 0 << 0.f << 2400.f;
    QTest::newRow("30 twips high, unit height -1") << QSize(ChartWidth, 2) << 3 << 5077 << 2538.5f << 0.f;
}

void tst_jChart::smallControlDrawsNothingStale()
{
    QFETCH(QSize, pixels);
    QFETCH(int, count);
    QFETCH(int, pitch);
    QFETCH(float, width);
    QFETCH(float, height);
    const OleColor fill = rgbColour(0, 0, 200);
    const auto build = [&](jChart &target) {
        for (int i = 0; i < count; ++i)
            target.AddItem(QString::number(i), 50, fill, 0);
    };
    // Laid out at full size first, then made small: the picture is the one
    // a chart made small draws, with nothing left of the first layout.
    build(*chart);
    chart->resize(pixels);
    chart->layOut();
    const auto small = newChart(pixels);
    build(*small);

    QCOMPARE(chart->columnPitch(), pitch);
    for (int i = 0; i < count; ++i) {
        QCOMPARE_EQ(chart->item(i)->left(), float(50 + i * pitch));
        QCOMPARE_EQ(chart->item(i)->width(), width);
        QCOMPARE_EQ(chart->item(i)->height(), height);
    }
    QVERIFY(picture(*chart) == picture(*small));
    const QImage image = chart->grab().toImage();
    QCOMPARE(image, small->grab().toImage());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY(image.pixel(x, y) != toQColor(fill).rgb());
}

void tst_jChart::capacity()
{
    fill(jChart::Capacity);
    QCOMPARE(chart->ItemCount(), 100);
    // Stored as given, in the order given.
    QVERIFY(chart->columns()[57] == (ChartColumn{QStringLiteral("57"), 57, rgbColour(57, 0, 0), rgbColour(0, 57, 0)}));
    const QList<ChartColumn> columnsBefore = chart->columns();
    const auto pictureBefore = picture(*chart);

    QCOMPARE(errorOf([this] { chart->AddItem(QStringLiteral("101"), 1, 1, 1); }), ErrorKind::IndexOutOfRange);
    QCOMPARE(chart->ItemCount(), 100);
    QVERIFY(chart->columns() == columnsBefore);
    QVERIFY(picture(*chart) == pictureBefore);
}

void tst_jChart::clear_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("empty chart") << 0;
    QTest::newRow("three columns") << 3;
    QTest::newRow("full chart") << 100;
}

void tst_jChart::clear()
{
    QFETCH(int, count);
    fill(count);
    QList<ElementState> expected = picture(*chart);
    for (ElementState &state : expected)
        std::get<5>(state) = std::get<0>(state) == int(ChartElement::Kind::Frame);

    chart->Clear();
    QCOMPARE(chart->ItemCount(), 0);
    // Only visibility changes: no layout, Border untouched.
    QVERIFY(picture(*chart) == expected);
    // Nothing of the former columns is kept.
    QVERIFY(chart->columns().isEmpty());
}

void tst_jChart::reuseAfterClear()
{
    addWorkedExample();
    const ChartElement *item0 = chart->item(0);
    const auto elementCount = chart->scene().drawingOrder().size();
    chart->Clear();
    chart->AddItem(QStringLiteral("Again"), 20, 0, 0);

    QCOMPARE(chart->item(0), item0);
    QCOMPARE(chart->scene().drawingOrder().size(), elementCount);
    QVERIFY(chart->item(0)->isVisible() && chart->label(0)->isVisible());
    for (int i : {1, 2})
        QVERIFY(!chart->item(i)->isVisible() && !chart->label(i)->isVisible());
    QCOMPARE(chart->label(0)->caption(), QStringLiteral("Again"));
}

void tst_jChart::relayoutChangesNothing()
{
    addWorkedExample();
    const auto before = picture(*chart);
    chart->layOut();
    QVERIFY(picture(*chart) == before);
}

void tst_jChart::overflow_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("overflows");
    QTest::addColumn<float>("columnWidth"); // 1215: element 0's width, kept
    QTest::newRow("32865 twips fit") << 2191 << false << 16382.5f;
    QTest::newRow("32880 twips overflow") << 2192 << true << 1215.f;
}

void tst_jChart::overflow()
{
    QFETCH(int, pixels);
    QFETCH(bool, overflows);
    QFETCH(float, columnWidth);
    chart->resize(pixels, ChartHeight);

    const auto error = errorOf([this] { chart->AddItem(QStringLiteral("Wide"), 50, 0, 0); });
    QCOMPARE(error.has_value(), overflows);
    if (overflows)
        QCOMPARE(*error, ErrorKind::Overflow);
    QCOMPARE(chart->ItemCount(), 1);
    QCOMPARE_EQ(chart->columns()[0].value, 50);
    QCOMPARE_EQ(chart->border().width(), float(pixels * 15));
    QCOMPARE(chart->item(0)->isVisible(), !overflows);
    QCOMPARE_EQ(chart->item(0)->width(), columnWidth);
    // A column stored without a layout is cleared without fault.
    chart->Clear();
    QCOMPARE(chart->ItemCount(), 0);
}

void tst_jChart::resizeEventLaysOut_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<float>("columnWidth");
    QTest::newRow("narrower: columns follow") << 511 << 3782.5f;
    QTest::newRow("too wide: columns stay") << 2192 << 7615.f;
}

void tst_jChart::resizeEventLaysOut()
{
    QFETCH(int, pixels);
    QFETCH(float, columnWidth);
    chart->AddItem(QStringLiteral("One"), 50, 0, 0);
    chart->show();
    QVERIFY(QTest::qWaitForWindowExposed(chart.get()));

    chart->resize(pixels, ChartHeight);
    QCOMPARE_EQ(chart->border().width(), float(pixels * 15));
    QCOMPARE_EQ(chart->item(0)->width(), columnWidth);
}

void tst_jChart::backColorPersistence_data()
{
    QTest::addColumn<OleColor>("colour");
    QTest::addColumn<bool>("stored");
    QTest::newRow("white is not stored") << OleColor(0x00FFFFFF) << false;
    QTest::newRow("red is stored") << rgbColour(255, 0, 0) << true;
    QTest::newRow("window text is stored") << SystemColour::WindowText << true;
}

void tst_jChart::backColorPersistence()
{
    QFETCH(OleColor, colour);
    QFETCH(bool, stored);
    chart->SetBackColor(colour);
    PropertyBag bag;
    chart->WriteProperties(bag);
    QCOMPARE(bag.contains(QStringLiteral("BackColor")), stored);

    jChart restored;
    restored.SetBackColor(rgbColour(1, 2, 3));
    restored.ReadProperties(PropertyBag::fromText(bag.toText()));
    QCOMPARE(restored.BackColor(), colour);
}

void tst_jChart::backColorNotifiesAndRepaints()
{
    FormSite site(chart.get(), QStringLiteral("UserControl11"));
    chart->setSite(&site);
    addWorkedExample();
    const auto before = picture(*chart);

    chart->SetBackColor(rgbColour(10, 20, 30));
    QCOMPARE(site.changedProperties(), QStringList{QStringLiteral("BackColor")});
    QCOMPARE(chart->ItemCount(), 3);
    QVERIFY(picture(*chart) == before);
    QCOMPARE(chart->grab().toImage().pixel(600, 100), qRgb(10, 20, 30));
}

void tst_jChart::rendering()
{
    addWorkedExample();
    const QImage image = chart->grab().toImage();
    QCOMPARE(image.size(), QSize(ChartWidth, ChartHeight));

    // Pixel boxes from the worked example, each edge rounded half to even:
    // 50/15 -> 3, 2588.5/15 -> 173, 2485/15 -> 166, 4885/15 -> 326, ...,
    // 12742.5/15 = 849.5 -> 850. The flat column is one line on row 325.
    struct Column { QRect outline; QRgb fill; QRgb labelColour; QPoint labelAt; };
    const Column columns[] = {
        {QRect(QPoint(3, 166), QPoint(172, 325)), qRgb(255, 160, 0), qRgb(0, 0, 255), {34, 153}},
        {QRect(QPoint(342, 22), QPoint(510, 325)), qRgb(0, 160, 0), qRgb(255, 255, 0), {372, 24}},
        {QRect(QPoint(680, 325), QPoint(849, 325)), qRgb(160, 0, 160), qRgb(255, 0, 0), {711, 313}},
    };
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    const QRect frame = image.rect();
    QRect labelBoxes[3];
    for (int c = 0; c < 3; ++c)
        labelBoxes[c] = QRect(columns[c].labelAt, QSize(qRound(chart->label(c)->width() / 15), 13));

    // Label text is drawn without blending: a pixel is either its label's
    // colour, inside that label's box, or exactly what lies beneath.
    int labelPixels[3] = {};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QPoint p(x, y);
            const QRgb pixel = image.pixel(p);
            const auto label = std::find_if(std::begin(columns), std::end(columns),
                                            [pixel](const Column &c) { return c.labelColour == pixel; });
            if (label != std::end(columns)) {
                const auto c = label - std::begin(columns);
                QVERIFY2(labelBoxes[c].contains(p), qPrintable(QStringLiteral("label %1 at %2,%3").arg(c).arg(x).arg(y)));
                ++labelPixels[c];
                continue;
            }
            const auto column = std::find_if(std::begin(columns), std::end(columns),
                                             [p](const Column &c) { return c.outline.contains(p); });
            QRgb expected = white;
            if (x == 0 || y == 0 || x == frame.right() || y == frame.bottom())
                expected = black;
            else if (column != std::end(columns)) {
                const QRect inside = column->outline.adjusted(1, 1, -1, -1);
                expected = inside.isValid() && inside.contains(p) ? column->fill : black;
            }
            QVERIFY2(pixel == expected, qPrintable(QStringLiteral("%1,%2 is %3").arg(x).arg(y).arg(pixel, 0, 16)));
        }
    }
    for (int count : labelPixels)
        QVERIFY2(count > 20, qPrintable(QString::number(count)));
}

QTEST_MAIN(tst_jChart)
#include "tst_jchart.moc"
