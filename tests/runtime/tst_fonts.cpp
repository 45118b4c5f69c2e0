#include "designfonts.h"
#include "fonts.h"
#include "screens.h"
#include "twips.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>
#include <QTextLayout>

class tst_Fonts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void bitmapFaceAtItsStrikesOnly_data();
    void bitmapFaceAtItsStrikesOnly();
    void controlTextIsShapedAsTyped_data();
    void controlTextIsShapedAsTyped();
};

void tst_Fonts::initTestCase()
{
    installDesignFonts();
}

void tst_Fonts::bitmapFaceAtItsStrikesOnly_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<bool>("strike"); // drawn with a bitmap strike rather than a stand-in
    QTest::addColumn<int>("line");    // pixels
    const QString sansSerif = QStringLiteral("MS Sans Serif");
    QTest::newRow("8 pt at 96 dpi: the 13 px strike") << sansSerif << 8.0 << 96 << true << 13;
    QTest::newRow("8 pt at 120 dpi: the 16 px strike") << sansSerif << 8.0 << 120 << true << 16;
    QTest::newRow("8 pt at 144 dpi: the 20 px strike") << sansSerif << 8.0 << 144 << true << 20;
    QTest::newRow("8 pt at 192 dpi: no 26 px strike") << sansSerif << 8.0 << 192 << false << 26;
    QTest::newRow("10 pt at 96 dpi: the 16 px strike") << sansSerif << 10.0 << 96 << true << 16;
    QTest::newRow("12 pt at 96 dpi: the 20 px strike") << sansSerif << 12.0 << 96 << true << 20;
    QTest::newRow("9 pt at 96 dpi: no 15 px strike") << sansSerif << 9.0 << 96 << false << 15;
    QTest::newRow("scalable Tahoma is left as asked") << QStringLiteral("Tahoma") << 8.25 << 144 << false << 0;
}

void tst_Fonts::bitmapFaceAtItsStrikesOnly()
{
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(int, dpi);
    QFETCH(bool, strike);
    QFETCH(int, line);
    QFont asked(family);
    asked.setPointSizeF(points);
    const QFont drawn = deviceFont(asked, Resolution(dpi, dpi));
    QVERIFY(isDrawnAtNativeSize(drawn));
    const QFontInfo info(drawn);
    if (line == 0) {
        QCOMPARE(drawn, asked);
        return;
    }
    QCOMPARE(info.family() == family, strike);
    if (strike) {
        QCOMPARE(info.pixelSize(), line);
        QCOMPARE(QFontMetrics(drawn).height(), line);
    } else {
        QVERIFY(QFontDatabase::isSmoothlyScalable(info.family(), info.styleName()));
        QVERIFY2(std::abs(QFontMetrics(drawn).height() - line) <= 1, qPrintable(info.family()));
    }
}

// The glyphs a text is drawn with, in the order they are drawn.
static QList<quint32> glyphs(const QFont &font, const QString &text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QList<quint32> indexes;
    for (const QGlyphRun &run : layout.glyphRuns())
        indexes += run.glyphIndexes();
    return indexes;
}

void tst_Fonts::controlTextIsShapedAsTyped_data()
{
    addDpiColumns();
    for (const int dpi : ScreenDpis)
        newDpiRow(dpi);
}

// Latin letters stay as typed: MS Sans Serif has ligatures for "TM" (a
// trademark sign) and "...". Arabic letters join: a seen between two others
// takes other forms than a seen on its own.
void tst_Fonts::controlTextIsShapedAsTyped()
{
    QFETCH(int, dpi);
    const QFont font = defaultControlFont(Resolution(dpi, dpi));
    QCOMPARE(glyphs(font, QStringLiteral("HTML...")).size(), 7);
    const QList<quint32> word = glyphs(font, QStringLiteral("\u0633\u0633\u0633"));
    const quint32 alone = glyphs(font, QStringLiteral("\u0633")).value(0);
    QCOMPARE(word.size(), 3);
    for (const quint32 glyph : word)
        QVERIFY2(glyph != alone, qPrintable(QStringLiteral("unjoined: %1 alone, %2 in the word").arg(alone).arg(glyph)));
}

QTEST_MAIN(tst_Fonts)
#include "tst_fonts.moc"
