#include "buttontesthost.h"
#include "designfonts.h"
#include "fonts.h"
#include "surfacepixels.h"
#include "twips.h"

#include <QTest>

namespace {

// The colours of each look, written out from the design's table.
struct Look
{
    OleColor outline;
    OleColor ring1, ring2, ring3, ring4;
    OleColor sidesTop, sidesBottom;
    OleColor dark, light, diagonal;
};

constexpr OleColor Unused = 0xFF00FF;
constexpr OleColor Background = rgbColour(212, 208, 200);
constexpr OleColor FaceTop = rgbColour(252, 252, 251);
constexpr OleColor FaceBottom = rgbColour(236, 235, 230);
constexpr OleColor DisabledCaption = rgbColour(161, 161, 146);
constexpr OleColor Red = rgbColour(255, 0, 0);

const Look Looks[] = {
    // Disabled
    {rgbColour(201, 199, 186), Unused, Unused, Unused, Unused, Unused, Unused, rgbColour(196, 177, 140),
     rgbColour(206, 199, 189), rgbColour(196, 177, 140)},
    // Normal
    {rgbColour(0, 60, 116), rgbColour(255, 255, 255), rgbColour(254, 254, 254), rgbColour(226, 223, 214),
     rgbColour(214, 208, 197), rgbColour(252, 252, 251), rgbColour(236, 235, 230), rgbColour(33, 85, 132),
     rgbColour(123, 150, 173), rgbColour(82, 125, 165)},
    // Focused
    {rgbColour(0, 60, 116), rgbColour(206, 231, 255), rgbColour(189, 215, 247), rgbColour(140, 174, 231),
     rgbColour(107, 130, 239), rgbColour(189, 211, 247), rgbColour(140, 174, 231), rgbColour(33, 85, 132),
     rgbColour(123, 150, 173), rgbColour(82, 125, 165)},
    // Hot
    {rgbColour(0, 60, 116), rgbColour(255, 243, 206), rgbColour(255, 219, 140), rgbColour(255, 178, 49),
     rgbColour(230, 150, 0), rgbColour(225, 223, 156), rgbColour(255, 182, 48), rgbColour(33, 85, 132),
     rgbColour(123, 150, 173), rgbColour(82, 125, 165)},
    // Pressed
    {rgbColour(0, 60, 116), Unused, Unused, Unused, Unused, Unused, Unused, rgbColour(33, 85, 132),
     rgbColour(123, 150, 173), rgbColour(82, 125, 165)},
};

const Look &lookOf(ButtonState state)
{
    return Looks[int(state)];
}

DrawingSurface paint(QSize size, ButtonState state, const ButtonCaption &caption = {QString()})
{
    DrawingSurface surface;
    surface.resize(size);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(8.25);
    surface.setFont(font);
    ButtonPainter::drawBody(surface, state, ButtonPainter::designColours());
    ButtonPainter::drawCaption(surface, state, caption);
    return surface;
}

QString at(int x, int y)
{
    return QStringLiteral("at (%1, %2)").arg(x).arg(y);
}

#define COMPARE_PIXEL(surface, x, y, expected)                                                                          \
    QVERIFY2((surface).pixel((x), (y)) == (expected),                                                                  \
             qPrintable(at((x), (y)) + QStringLiteral(": %1 instead of %2")                                            \
                                           .arg((surface).pixel((x), (y)), 6, 16, QLatin1Char('0'))                  \
                                           .arg((expected), 6, 16, QLatin1Char('0'))))

void addStateAndSizeRows(const QList<ButtonState> &states, const QList<QSize> &sizes)
{
    QTest::addColumn<ButtonState>("state");
    QTest::addColumn<QSize>("size");
    for (const QSize size : sizes) {
        for (const ButtonState state : states) {
            const QString name = QStringLiteral("%1 %2x%3").arg(QLatin1String(stateName(state))).arg(size.width()).arg(size.height());
            QTest::newRow(qPrintable(name)) << state << size;
        }
    }
}

const QList<ButtonState> AllStates = {ButtonState::Disabled, ButtonState::Normal, ButtonState::Focused, ButtonState::Hot,
                                      ButtonState::Pressed};
const QList<ButtonState> RingStates = {ButtonState::Normal, ButtonState::Focused, ButtonState::Hot};
const QList<QSize> DesignSizes = {QSize(89, 81), QSize(81, 33)};

} // namespace

class tst_ButtonPainting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void outlineAndCorners_data();
    void outlineAndCorners();
    void ringAndGradientFace_data();
    void ringAndGradientFace();
    void flatFace_data();
    void flatFace();
    void workedExampleRingSides();
    void gradientRows_data();
    void gradientRows();
    void gradientWithoutRows_data();
    void gradientWithoutRows();
    void smallHeights_data();
    void smallHeights();
    void captionColour_data();
    void captionColour();
    void focusRectangle_data();
    void focusRectangle();

    void init();
    void cleanup();
    void paintLockKeepsPictureAndState();
    void shapeCutsTheFourCorners();
    void minimumSizeIsEnforcedThenPainted();
    void resizeWhileLockedByCreationDoesNotPaint();

private:
    ButtonTestHost *m_host = nullptr;
};

void tst_ButtonPainting::initTestCase()
{
    installDesignFonts();
}

void tst_ButtonPainting::init()
{
    m_host = new ButtonTestHost;
}

void tst_ButtonPainting::cleanup()
{
    delete m_host;
    m_host = nullptr;
}

void tst_ButtonPainting::outlineAndCorners_data()
{
    addStateAndSizeRows(AllStates, {QSize(89, 81), QSize(81, 33), QSize(20, 6), QSize(20, 5)});
}

void tst_ButtonPainting::outlineAndCorners()
{
    QFETCH(ButtonState, state);
    QFETCH(QSize, size);
    const DrawingSurface s = paint(size, state);
    const Look &look = lookOf(state);
    const int w = size.width();
    const int h = size.height();

    // outline, stopping three pixels short of each corner
    for (int x = 3; x < w - 3; ++x) {
        COMPARE_PIXEL(s, x, 0, look.outline);
        COMPARE_PIXEL(s, x, h - 1, look.outline);
    }
    for (int y = 3; y < h - 3; ++y) {
        COMPARE_PIXEL(s, 0, y, look.outline);
        COMPARE_PIXEL(s, w - 1, y, look.outline);
    }

    // corners: the extreme pixels keep the background
    for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        COMPARE_PIXEL(s, corner.x(), corner.y(), Background);
    const struct
    {
        int dx, dy;
        OleColor colour;
    } shaded[] = {{0, 1, look.light}, {0, 2, look.dark}, {1, 0, look.light}, {1, 1, look.diagonal}, {2, 0, look.dark}};
    for (const auto &pixel : shaded) {
        COMPARE_PIXEL(s, pixel.dx, pixel.dy, pixel.colour);
        COMPARE_PIXEL(s, w - 1 - pixel.dx, pixel.dy, pixel.colour);
        COMPARE_PIXEL(s, pixel.dx, h - 1 - pixel.dy, pixel.colour);
        COMPARE_PIXEL(s, w - 1 - pixel.dx, h - 1 - pixel.dy, pixel.colour);
    }
}

void tst_ButtonPainting::ringAndGradientFace_data()
{
    addStateAndSizeRows(RingStates, DesignSizes);
}

void tst_ButtonPainting::ringAndGradientFace()
{
    QFETCH(ButtonState, state);
    QFETCH(QSize, size);
    const DrawingSurface s = paint(size, state);
    const Look &look = lookOf(state);
    const int w = size.width();
    const int h = size.height();

    // ring rows, between the corner pixels
    for (int x = 2; x < w - 2; ++x) {
        COMPARE_PIXEL(s, x, 1, look.ring1);
        COMPARE_PIXEL(s, x, h - 2, look.ring4);
    }
    for (int x = 1; x < w - 1; ++x) {
        COMPARE_PIXEL(s, x, 2, look.ring2);
        COMPARE_PIXEL(s, x, h - 3, look.ring3);
    }

    // ring sides: two columns each side, one colour per row, top row in the top colour
    COMPARE_PIXEL(s, 1, 3, look.sidesTop);
    for (int y = 3; y < h - 3; ++y) {
        const OleColor side = s.pixel(1, y);
        COMPARE_PIXEL(s, 2, y, side);
        COMPARE_PIXEL(s, w - 3, y, side);
        COMPARE_PIXEL(s, w - 2, y, side);
    }

    // face: one colour per row, from the top colour down towards the bottom colour
    for (int y = 3; y < h - 3; ++y) {
        const OleColor row = s.pixel(3, y);
        for (int x = 3; x < w - 3; ++x)
            COMPARE_PIXEL(s, x, y, row);
    }
    COMPARE_PIXEL(s, 3, 3, FaceTop);
    QVERIFY(s.pixel(3, h - 4) != FaceTop);
}

void tst_ButtonPainting::flatFace_data()
{
    QTest::addColumn<ButtonState>("state");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<OleColor>("face");
    for (const QSize size : DesignSizes) {
        const QString suffix = QStringLiteral(" %1x%2").arg(size.width()).arg(size.height());
        QTest::newRow(qPrintable(QStringLiteral("Disabled") + suffix)) << ButtonState::Disabled << size << rgbColour(245, 244, 234);
        QTest::newRow(qPrintable(QStringLiteral("Pressed") + suffix)) << ButtonState::Pressed << size << rgbColour(231, 227, 222);
    }
}

void tst_ButtonPainting::flatFace()
{
    QFETCH(ButtonState, state);
    QFETCH(QSize, size);
    QFETCH(OleColor, face);
    const DrawingSurface s = paint(size, state);
    const int w = size.width();
    const int h = size.height();
    const QList<QPoint> diagonals = {{1, 1}, {w - 2, 1}, {1, h - 2}, {w - 2, h - 2}};
    for (int y = 1; y < h - 1; ++y) {
        for (int x = 1; x < w - 1; ++x) {
            if (!diagonals.contains(QPoint(x, y)))
                COMPARE_PIXEL(s, x, y, face);
        }
    }
}

void tst_ButtonPainting::workedExampleRingSides()
{
    // A Focused button of 81 x 33: the ring-side gradient's rows 3 to 29 show
    // at x = 1, 2, 78 and 79.
    const DrawingSurface s = paint(QSize(81, 33), ButtonState::Focused);
    const struct
    {
        int y;
        OleColor colour;
    } rows[] = {
        {29, rgbColour(144, 177, 232)}, // red 143.5 rounds to the even 144
        {25, rgbColour(150, 182, 234)}, // red 150.5 rounds to the even 150
        {3, rgbColour(189, 211, 247)},
    };
    for (const auto &row : rows) {
        for (const int x : {1, 2, 78, 79})
            COMPARE_PIXEL(s, x, row.y, row.colour);
    }
}

void tst_ButtonPainting::gradientRows_data()
{
    QTest::addColumn<QRect>("rect"); // left, top, right, bottom
    QTest::addColumn<OleColor>("top");
    QTest::addColumn<OleColor>("bottom");
    QTest::addColumn<int>("y");
    QTest::addColumn<OleColor>("colour");
    const QRect sides(QPoint(1, 3), QPoint(80, 31));
    const OleColor sidesTop = rgbColour(189, 211, 247);
    const OleColor sidesBottom = rgbColour(140, 174, 231);
    QTest::newRow("ring sides row 31: the bottom colour") << sides << sidesTop << sidesBottom << 31 << sidesBottom;
    QTest::newRow("ring sides row 30") << sides << sidesTop << sidesBottom << 30 << rgbColour(142, 175, 232);
    QTest::newRow("ring sides row 29: 143.5 goes to 144") << sides << sidesTop << sidesBottom << 29 << rgbColour(144, 177, 232);
    QTest::newRow("ring sides row 25: 150.5 goes to 150") << sides << sidesTop << sidesBottom << 25 << rgbColour(150, 182, 234);
    QTest::newRow("ring sides row 3: the top colour") << sides << sidesTop << sidesBottom << 3 << sidesTop;
    const QRect face(QPoint(3, 3), QPoint(78, 30));
    QTest::newRow("face row 30") << face << FaceTop << FaceBottom << 30 << FaceBottom;
    QTest::newRow("face row 16") << face << FaceTop << FaceBottom << 16 << rgbColour(244, 244, 241);
    QTest::newRow("face row 3") << face << FaceTop << FaceBottom << 3 << FaceTop;
    const QRect twoRows(QPoint(1, 3), QPoint(19, 4));
    QTest::newRow("two rows: bottom row 4") << twoRows << FaceTop << FaceBottom << 4 << FaceBottom;
    QTest::newRow("two rows: top row 3") << twoRows << FaceTop << FaceBottom << 3 << FaceTop;
}

void tst_ButtonPainting::gradientRows()
{
    QFETCH(QRect, rect);
    QFETCH(OleColor, top);
    QFETCH(OleColor, bottom);
    QFETCH(int, y);
    QFETCH(OleColor, colour);
    DrawingSurface s;
    s.resize(QSize(81, 33));
    s.clear(Background);
    ButtonPainter::drawGradient(s, {rect.left(), rect.top(), rect.right(), rect.bottom()}, top, bottom);
    // A line from left to right: right is exclusive.
    COMPARE_PIXEL(s, rect.left(), y, colour);
    COMPARE_PIXEL(s, rect.right() - 1, y, colour);
    COMPARE_PIXEL(s, rect.right(), y, Background);
}

void tst_ButtonPainting::gradientWithoutRows_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::newRow("top equals bottom: division by zero, nothing drawn") << QRect(QPoint(1, 3), QPoint(19, 3));
    QTest::newRow("bottom above top: no row") << QRect(QPoint(3, 3), QPoint(17, 2));
}

void tst_ButtonPainting::gradientWithoutRows()
{
    QFETCH(QRect, rect);
    DrawingSurface s;
    s.resize(QSize(20, 6));
    s.clear(Background);
    ButtonPainter::drawGradient(s, {rect.left(), rect.top(), rect.right(), rect.bottom()}, FaceTop, FaceBottom);
    QCOMPARE(pixelsOf(s, Background).size(), 20 * 6);
}

void tst_ButtonPainting::smallHeights_data()
{
    QTest::addColumn<int>("h");
    QTest::newRow("h = 5: ring-side gradient of one row draws nothing") << 5;
    QTest::newRow("h = 6: face gradient draws nothing, ring rows cover the sides") << 6;
}

void tst_ButtonPainting::smallHeights()
{
    QFETCH(int, h);
    const DrawingSurface s = paint(QSize(20, h), ButtonState::Hot);
    const Look &hot = lookOf(ButtonState::Hot);
    // ring row 1 at y = 1; ring row 3 at y = h - 3 (over ring row 2 when h = 5); ring row 4 at y = h - 2
    for (int x = 2; x < 18; ++x) {
        COMPARE_PIXEL(s, x, 1, hot.ring1);
        COMPARE_PIXEL(s, x, h - 3, hot.ring3);
        COMPARE_PIXEL(s, x, h - 2, hot.ring4);
    }
    for (const OleColor gradient : {hot.sidesTop, hot.sidesBottom, FaceTop, FaceBottom})
        QVERIFY(pixelsOf(s, gradient).isEmpty());
}

void tst_ButtonPainting::captionColour_data()
{
    QTest::addColumn<ButtonState>("state");
    QTest::addColumn<bool>("enabled");
    for (const ButtonState state : AllStates) {
        QTest::newRow(qPrintable(QStringLiteral("%1, Enabled").arg(QLatin1String(stateName(state))))) << state << true;
        QTest::newRow(qPrintable(QStringLiteral("%1, not Enabled").arg(QLatin1String(stateName(state))))) << state << false;
    }
}

void tst_ButtonPainting::captionColour()
{
    QFETCH(ButtonState, state);
    QFETCH(bool, enabled);
    const QSize size(81, 33);
    const ButtonCaption caption{QStringLiteral("Save Graph"), enabled, Red, true, false};
    const DrawingSurface s = paint(size, state, caption);
    const QList<QPoint> red = pixelsOf(s, Red);
    const QList<QPoint> grey = pixelsOf(s, DisabledCaption);
    const QList<QPoint> &ink = enabled ? red : grey;
    QVERIFY(ink.size() > 50);
    QVERIFY((enabled ? grey : red).isEmpty());

    // The caption sits at the same place in every look, inside the text rectangle.
    const QList<QPoint> reference = pixelsOf(paint(size, ButtonState::Normal, {caption.text, true, Red}), Red);
    QCOMPARE(ink, reference);
    for (const QPoint &p : ink)
        QVERIFY(p.x() >= 3 && p.x() < 78 && p.y() >= 3 && p.y() < 30);

    // Everything else is the picture without a caption.
    const DrawingSurface bare = paint(size, state);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            if (!ink.contains(QPoint(x, y)))
                COMPARE_PIXEL(s, x, y, bare.pixel(x, y));
        }
    }
}

void tst_ButtonPainting::focusRectangle_data()
{
    QTest::addColumn<ButtonState>("state");
    QTest::addColumn<bool>("hasFocus");
    QTest::addColumn<bool>("focusRect");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("Focused with the focus") << ButtonState::Focused << true << true << true;
    QTest::newRow("Hot with the focus") << ButtonState::Hot << true << true << true;
    QTest::newRow("Pressed with the focus") << ButtonState::Pressed << true << true << true;
    QTest::newRow("Normal with the focus: never") << ButtonState::Normal << true << true << false;
    QTest::newRow("Disabled with the focus: never") << ButtonState::Disabled << true << true << false;
    QTest::newRow("Focused without the focus (default button)") << ButtonState::Focused << false << true << false;
    QTest::newRow("Pressed without the focus") << ButtonState::Pressed << false << true << false;
    QTest::newRow("Focused with the focus, FocusRect off") << ButtonState::Focused << true << false << false;
    QTest::newRow("Hot with the focus, FocusRect off") << ButtonState::Hot << true << false << false;
}

void tst_ButtonPainting::focusRectangle()
{
    QFETCH(ButtonState, state);
    QFETCH(bool, hasFocus);
    QFETCH(bool, focusRect);
    QFETCH(bool, drawn);
    const QSize size(89, 81);
    const QString text = QStringLiteral("Add Column");
    const DrawingSurface s = paint(size, state, {text, true, 0, focusRect, hasFocus});
    const DrawingSurface without = paint(size, state, {text, true, 0, focusRect, false});

    // The dots sit on the outline of the text rectangle (3, 3, 86, 78): every
    // pixel there whose x + y is even is the inverse of what lies beneath.
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const bool onOutline = (x == 3 || x == 85 || y == 3 || y == 77) && x >= 3 && x <= 85 && y >= 3 && y <= 77;
            const bool dot = drawn && onOutline && (x + y) % 2 == 0;
            COMPARE_PIXEL(s, x, y, dot ? without.pixel(x, y) ^ 0xFFFFFFu : without.pixel(x, y));
        }
    }
}

void tst_ButtonPainting::paintLockKeepsPictureAndState()
{
    auto *button = new ccXPButton(m_host);
    button->resize(89, 81);
    button->Initialize();
    QVERIFY(button->isPaintLocked());
    button->DrawButton(ButtonState::Hot);
    QCOMPARE(button->paintedState(), ButtonState::Disabled);
    QCOMPARE(button->surface().clearCount(), 0u);

    button->ReadProperties(PropertyBag());
    QVERIFY(!button->isPaintLocked());
    QCOMPARE(button->paintedState(), ButtonState::Normal);
    const QImage normal = button->surface().image();
    QCOMPARE(normal.size(), QSize(89, 81));

    // Painting the same look again repaints everything.
    const quint64 paints = button->surface().clearCount();
    button->DrawButton(ButtonState::Normal);
    QCOMPARE(button->surface().clearCount(), paints + 1);
    QCOMPARE(button->surface().image(), normal);
}

void tst_ButtonPainting::shapeCutsTheFourCorners()
{
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host));
    button->DrawButton(ButtonState::Hot);
    const QRegion shape = button->mask();
    for (const QPoint corner : {QPoint(0, 0), QPoint(88, 0), QPoint(0, 80), QPoint(88, 80)}) {
        QVERIFY(!shape.contains(corner));
        QCOMPARE(button->surface().pixel(corner.x(), corner.y()), Background);
    }
    QVERIFY(shape.contains(QPoint(1, 0)));
    QVERIFY(shape.contains(QPoint(87, 80)));

    // The form shows through the corners.
    QPalette green = m_host->palette();
    green.setColor(QPalette::Window, QColor(0, 128, 0));
    m_host->setPalette(green);
    m_host->setAutoFillBackground(true);
    const QImage screen = m_host->grab().toImage();
    QCOMPARE(screen.pixel(10, 10), qRgb(0, 128, 0));
    QCOMPARE(screen.pixel(98, 90), qRgb(0, 128, 0));
    QCOMPARE(screen.pixel(11, 10), toQColor(lookOf(ButtonState::Hot).light).rgb());
    QCOMPARE(screen.pixel(50, 10), toQColor(lookOf(ButtonState::Hot).outline).rgb());
}

void tst_ButtonPainting::minimumSizeIsEnforcedThenPainted()
{
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXExit"), QRect(10, 10, 89, 81));
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host));
    const quint64 paints = button->surface().clearCount();

    const Resolution resolution = Resolution::of(button);
    button->resize(89, resolution.toPixelsY(50));
    const int minimum = button->height();
    QVERIFY(resolution.toTwipsY(minimum) >= 100);
    QVERIFY(resolution.toTwipsY(minimum - 1) < 100);
    // Painted once, at the new size, and painting goes on afterwards.
    QCOMPARE(button->surface().clearCount(), paints + 1);
    QCOMPARE(button->surface().size(), QSize(89, minimum));
    QVERIFY(!button->isPaintLocked());
    button->SetCaption(QStringLiteral("&Go"));
    QCOMPARE(button->surface().clearCount(), paints + 2);

    button->resize(resolution.toPixelsX(50), resolution.toPixelsY(50));
    QCOMPARE(button->size(), QSize(minimum, minimum));
    QCOMPARE(button->surface().size(), QSize(minimum, minimum));
    QCOMPARE(button->surface().pixel(minimum - 1, 3), lookOf(ButtonState::Normal).outline);
}

void tst_ButtonPainting::resizeWhileLockedByCreationDoesNotPaint()
{
    auto *button = new ccXPButton(m_host);
    button->Initialize();
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host));
    const Resolution resolution = Resolution::of(button);
    button->resize(89, resolution.toPixelsY(50));
    QVERIFY(resolution.toTwipsY(button->height()) >= 100);
    QVERIFY(button->isPaintLocked());
    QCOMPARE(button->surface().clearCount(), 0u);
}

QTEST_MAIN(tst_ButtonPainting)
#include "tst_buttonpainting.moc"
