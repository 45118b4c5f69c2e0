#include "drawingsurface.h"
#include "designfonts.h"
#include "fonts.h"
#include "surfacepixels.h"

#include <QPainter>
#include <QTest>

namespace {

constexpr OleColor White = 0xFFFFFF;
constexpr OleColor Red = 0x0000FF;
constexpr OleColor Blue = 0xFF0000;

} // namespace

class tst_DrawingSurface : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void line_data();
    void line();
    void fillRect_data();
    void fillRect();
    void focusRectInvertsEveryOtherOutlinePixel();
    void focusRectTwiceRemovesIt();
    void focusRectDegenerate_data();
    void focusRectDegenerate();
    void textIsClippedToItsRectangle();
    void textTakesTheCurrentColourAndFont();
    void mnemonicUnderlinesTheNextCharacter();
    void doubledAmpersandShowsOne();
    void copiesKeepTheirPicture();
    void roundedShapeLeavesOutTheCorners();

private:
    DrawingSurface m_surface;
};

void tst_DrawingSurface::initTestCase()
{
    installDesignFonts();
}

void tst_DrawingSurface::init()
{
    m_surface = DrawingSurface();
    m_surface.resize(QSize(10, 8));
    m_surface.clear(White);
    m_surface.setFont(QFont(QStringLiteral("Verdana"), 8));
}

void tst_DrawingSurface::line_data()
{
    QTest::addColumn<QLine>("line");
    QTest::addColumn<QList<QPoint>>("covered");
    QTest::newRow("left to right: start drawn, end not") << QLine(2, 1, 5, 1)
                                                         << QList<QPoint>{{2, 1}, {3, 1}, {4, 1}};
    QTest::newRow("right to left: start drawn, end not") << QLine(5, 1, 2, 1)
                                                         << QList<QPoint>{{3, 1}, {4, 1}, {5, 1}};
    QTest::newRow("downwards") << QLine(0, 3, 0, 5) << QList<QPoint>{{0, 3}, {0, 4}};
    QTest::newRow("upwards from 3 to 2 draws row 3 only") << QLine(9, 3, 9, 2) << QList<QPoint>{{9, 3}};
    QTest::newRow("zero length draws nothing") << QLine(4, 4, 4, 4) << QList<QPoint>{};
    QTest::newRow("clipped at the right edge") << QLine(8, 0, 20, 0) << QList<QPoint>{{8, 0}, {9, 0}};
    QTest::newRow("clipped at the left edge") << QLine(-5, 7, 1, 7) << QList<QPoint>{{0, 7}};
    QTest::newRow("outside the picture") << QLine(0, 8, 5, 8) << QList<QPoint>{};
    QTest::newRow("slanted draws nothing") << QLine(0, 0, 5, 5) << QList<QPoint>{};
}

void tst_DrawingSurface::line()
{
    QFETCH(QLine, line);
    QFETCH(QList<QPoint>, covered);
    m_surface.drawLine(line.x1(), line.y1(), line.x2(), line.y2(), Red);
    QCOMPARE(pixelsOf(m_surface, Red), covered);
}

void tst_DrawingSurface::fillRect_data()
{
    QTest::addColumn<QRect>("rect"); // left, top, right, bottom as x, y, x2, y2 of a QRect
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QPoint>("first");
    QTest::newRow("right and bottom exclusive") << QRect(QPoint(1, 2), QPoint(4, 5)) << 9 << QPoint(1, 2);
    QTest::newRow("clipped to the picture") << QRect(QPoint(-3, -3), QPoint(2, 1)) << 2 << QPoint(0, 0);
    QTest::newRow("right equal to left is empty") << QRect(QPoint(3, 1), QPoint(3, 6)) << 0 << QPoint();
    QTest::newRow("inverted is empty") << QRect(QPoint(5, 5), QPoint(2, 2)) << 0 << QPoint();
}

void tst_DrawingSurface::fillRect()
{
    QFETCH(QRect, rect);
    QFETCH(int, pixels);
    QFETCH(QPoint, first);
    m_surface.fillRect({rect.left(), rect.top(), rect.right(), rect.bottom()}, Red);
    const QList<QPoint> filled = pixelsOf(m_surface, Red);
    QCOMPARE(filled.size(), pixels);
    if (pixels > 0)
        QCOMPARE(filled.first(), first);
}

void tst_DrawingSurface::focusRectInvertsEveryOtherOutlinePixel()
{
    m_surface.fillRect({0, 0, 10, 8}, 0x336699);
    m_surface.drawFocusRect({1, 1, 9, 7});
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool onOutline = (x == 1 || x == 8 || y == 1 || y == 6) && x >= 1 && x <= 8 && y >= 1 && y <= 6;
            const bool dot = onOutline && (x + y) % 2 == 0;
            QCOMPARE(m_surface.pixel(x, y), dot ? OleColor(0xCC9966) : OleColor(0x336699));
        }
    }
}

void tst_DrawingSurface::focusRectTwiceRemovesIt()
{
    m_surface.drawLine(0, 3, 10, 3, Red);
    const QImage before = m_surface.image();
    m_surface.drawFocusRect({2, 2, 8, 6});
    QVERIFY(m_surface.image() != before);
    m_surface.drawFocusRect({2, 2, 8, 6});
    QCOMPARE(m_surface.image(), before);
}

void tst_DrawingSurface::focusRectDegenerate_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::newRow("empty rectangle") << QRect(QPoint(3, 3), QPoint(3, 6));
    QTest::newRow("inverted rectangle") << QRect(QPoint(3, 3), QPoint(7, 2));
    QTest::newRow("one row: top and bottom strips cancel") << QRect(QPoint(2, 4), QPoint(8, 5));
}

void tst_DrawingSurface::focusRectDegenerate()
{
    QFETCH(QRect, rect);
    const QImage before = m_surface.image();
    m_surface.drawFocusRect({rect.left(), rect.top(), rect.right(), rect.bottom()});
    QCOMPARE(m_surface.image(), before);
}

void tst_DrawingSurface::textIsClippedToItsRectangle()
{
    m_surface.resize(QSize(60, 30));
    m_surface.clear(White);
    m_surface.setTextColour(Red);
    const SurfaceRect rect{20, 10, 40, 20};
    m_surface.drawText(rect, QStringLiteral("WWWWWWWWWWWW"));
    const QList<QPoint> ink = pixelsOf(m_surface, Red);
    QVERIFY(!ink.isEmpty());
    for (const QPoint &p : ink)
        QVERIFY2(p.x() >= 20 && p.x() < 40 && p.y() >= 10 && p.y() < 20, qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    // Only the text's own colour and the background: text is drawn without anti-aliasing.
    QCOMPARE(pixelsOf(m_surface, Red).size() + pixelsOf(m_surface, White).size(), 60 * 30);
}

void tst_DrawingSurface::textTakesTheCurrentColourAndFont()
{
    m_surface.resize(QSize(80, 30));
    const SurfaceRect rect{0, 0, 80, 30};
    m_surface.clear(White);
    m_surface.setTextColour(Red);
    m_surface.drawText(rect, QStringLiteral("Ab"));
    const QList<QPoint> red = pixelsOf(m_surface, Red);

    m_surface.clear(White);
    m_surface.setTextColour(Blue);
    m_surface.drawText(rect, QStringLiteral("Ab"));
    QCOMPARE(pixelsOf(m_surface, Blue), red);

    m_surface.clear(White);
    m_surface.drawText(rect, QStringLiteral("Ac"));
    QVERIFY(pixelsOf(m_surface, Blue) != red);

    m_surface.clear(White);
    m_surface.setFont(QFont(QStringLiteral("Verdana"), 14));
    m_surface.drawText(rect, QStringLiteral("Ab"));
    QVERIFY(pixelsOf(m_surface, Blue).size() > red.size());
}

void tst_DrawingSurface::mnemonicUnderlinesTheNextCharacter()
{
    m_surface.resize(QSize(80, 30));
    const SurfaceRect rect{0, 0, 80, 30};
    m_surface.setTextColour(Red);
    m_surface.clear(White);
    m_surface.drawText(rect, QStringLiteral("OK"));
    const QList<QPoint> plain = pixelsOf(m_surface, Red);
    m_surface.clear(White);
    m_surface.drawText(rect, QStringLiteral("&OK"));
    const QList<QPoint> marked = pixelsOf(m_surface, Red);

    // The same glyphs at the same place, and a line under the first letter only.
    int left = 80, right = 0, bottom = 0;
    for (const QPoint &p : plain) {
        QVERIFY(marked.contains(p));
        left = qMin(left, p.x());
        right = qMax(right, p.x());
        bottom = qMax(bottom, p.y());
    }
    const int middle = (left + right) / 2;
    int underline = 0;
    for (const QPoint &p : marked) {
        if (plain.contains(p))
            continue;
        ++underline;
        QVERIFY(p.y() > bottom - 3);
        QVERIFY(p.x() <= middle);
    }
    QVERIFY(underline >= 3);
}

void tst_DrawingSurface::doubledAmpersandShowsOne()
{
    m_surface.resize(QSize(80, 30));
    const SurfaceRect rect{0, 0, 80, 30};
    m_surface.setTextColour(Red);
    m_surface.clear(White);
    m_surface.drawText(rect, QStringLiteral("A&&B"));
    const QList<QPoint> doubled = pixelsOf(m_surface, Red);

    // What "A&B" looks like with the ampersand taken literally.
    QImage reference(80, 30, QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    painter.setFont(m_surface.drawnFont());
    painter.setPen(Qt::red);
    painter.drawText(QRect(0, 0, 80, 30), Qt::TextSingleLine | Qt::AlignCenter, QStringLiteral("A&B"));
    painter.end();
    QList<QPoint> literal;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 80; ++x) {
            if (reference.pixel(x, y) == qRgb(255, 0, 0))
                literal.append(QPoint(x, y));
        }
    }
    QCOMPARE(doubled, literal);
}

void tst_DrawingSurface::copiesKeepTheirPicture()
{
    const QImage copy = m_surface.image();
    m_surface.drawLine(0, 0, 10, 0, Red);
    m_surface.fillRect({0, 2, 10, 4}, Red);
    m_surface.setPixel(5, 6, Red);
    QCOMPARE(copy.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(copy.pixel(3, 3), qRgb(255, 255, 255));
    QCOMPARE(copy.pixel(5, 6), qRgb(255, 255, 255));
}

void tst_DrawingSurface::roundedShapeLeavesOutTheCorners()
{
    const QRegion shape = DrawingSurface::roundedShape(QSize(89, 81));
    for (const QPoint corner : {QPoint(0, 0), QPoint(88, 0), QPoint(0, 80), QPoint(88, 80)})
        QVERIFY(!shape.contains(corner));
    for (const QPoint inside : {QPoint(1, 0), QPoint(0, 1), QPoint(87, 0), QPoint(88, 1), QPoint(0, 79), QPoint(1, 80),
                                QPoint(88, 79), QPoint(87, 80), QPoint(44, 40)})
        QVERIFY(shape.contains(inside));
    QCOMPARE(shape.boundingRect(), QRect(0, 0, 89, 81));
}

QTEST_MAIN(tst_DrawingSurface)
#include "tst_drawingsurface.moc"
