#include "windowicon.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTest>

class tst_WindowIcon : public QObject
{
    Q_OBJECT

private slots:
    void iconSizes_data();
    void iconSizes();
};

namespace {

QString colourName(Qt::GlobalColor colour)
{
    return QColor(colour).name();
}

// The colours met on a straight line through the image, each run once.
QStringList colourRuns(const QImage &image, QPoint from, QPoint step)
{
    QStringList runs;
    for (QPoint at = from; image.rect().contains(at); at += step) {
        const QString name = QColor(image.pixel(at)).name();
        if (runs.isEmpty() || runs.last() != name)
            runs << name;
    }
    return runs;
}

} // namespace

void tst_WindowIcon::iconSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("margin"); // of the icon theme's icon
    for (const auto &[size, margin] : {std::pair{16, 1}, {32, 2}, {48, 3}, {64, 4}, {128, 8}, {256, 16}})
        QTest::addRow("%d pixels", size) << size << margin;
}

void tst_WindowIcon::iconSizes()
{
    QFETCH(int, size);
    QFETCH(int, margin);
    const QImage icon = WindowIcon::image(size);
    QCOMPARE(icon.size(), QSize(size, size));

    // The theme's icon: the icon drawn inside the margin, on a transparent ground.
    QImage themed(size, size, QImage::Format_ARGB32_Premultiplied);
    themed.fill(Qt::transparent);
    QPainter(&themed).drawImage(margin, margin, WindowIcon::image(size - 2 * margin));
    QCOMPARE(WindowIcon::themeImage(size), themed);

    if (size % WindowIcon::Size == 0) {
        // Each pixel of the design becomes a square of pixels.
        QCOMPARE(icon, WindowIcon::image().scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        return;
    }
    // Drawn from the design: corner to corner the bevel, the yellow line and
    // the field, and on one row the three columns in their order.
    const QStringList diagonal = colourRuns(icon, QPoint(0, 0), QPoint(1, 1));
    QStringList frame{colourName(Qt::lightGray), colourName(Qt::yellow), colourName(Qt::cyan)};
    QCOMPARE(diagonal.mid(0, 3), frame);
    frame << colourName(Qt::darkGray);
    QCOMPARE(diagonal.mid(diagonal.size() - 2), (QStringList{colourName(Qt::yellow), colourName(Qt::darkGray)}));
    const QStringList bars{colourName(Qt::red), colourName(Qt::magenta), colourName(Qt::darkBlue)};
    bool barsFound = false;
    for (int y = 0; y < size && !barsFound; ++y) {
        QStringList row = colourRuns(icon, QPoint(0, y), QPoint(1, 0));
        row.removeIf([&frame](const QString &name) { return frame.contains(name); });
        barsFound = row == bars;
    }
    QVERIFY(barsFound);
}

QTEST_MAIN(tst_WindowIcon)
#include "tst_windowicon.moc"
