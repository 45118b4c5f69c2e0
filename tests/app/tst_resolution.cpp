// The window at 96, 120, 144 and 192 dpi, and at 96 dpi x 2: laid out,
// painted and saved at the screen's own device pixels, with twips as the one
// unit of the design. At 96 x 2 everything is in the device pixels of 192 dpi.

#include "ccxpbutton.h"
#include "designfonts.h"
#include "fonts.h"
#include "frmmain.h"
#include "jchart.h"
#include "picturebox.h"
#include "screens.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

// Twips to whole pixels, halves to even (the default rounding mode).
int pixels(double twips, int dpi)
{
    return int(std::nearbyint(twips * dpi / 1440.0));
}

constexpr OleColor Red = 0x000000FF;

// A window opened on a screen, as the tests' reference; then what it shows,
// pixel for pixel, whatever its device pixel ratio.
bool showOn(QWidget *window, const QScreen *screen)
{
    window->move(screen->geometry().topLeft());
    window->show();
    return QTest::qWaitForWindowExposed(window);
}

QImage devicePicture(QWidget *widget)
{
    QImage picture = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    picture.setDevicePixelRatio(1);
    return picture;
}

// How many rows hold black pixels: the height of a black caption's ink.
int inkRows(const QImage &image)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == 0) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

// The rules a button's picture follows at any size, written out pixel by
// pixel: outline, face, inner ring, shaded corners. The caption is not here.
class ButtonRules
{
public:
    ButtonRules(QSize size, ButtonState state)
        : m_image(size, QImage::Format_RGB32)
        , m_w(size.width())
        , m_h(size.height())
    {
        const int look = int(state);
        m_image.fill(qRgb(212, 208, 200));
        horizontal(0, 3, m_w - 3, Outline[look]);
        horizontal(m_h - 1, 3, m_w - 3, Outline[look]);
        for (int y = 3; y < m_h - 3; ++y) {
            set(0, y, Outline[look]);
            set(m_w - 1, y, Outline[look]);
        }
        if (state == ButtonState::Disabled || state == ButtonState::Pressed) {
            const QRgb face = state == ButtonState::Disabled ? qRgb(245, 244, 234) : qRgb(231, 227, 222);
            for (int y = 1; y < m_h - 1; ++y)
                horizontal(y, 1, m_w - 1, face);
        } else {
            gradient(1, 3, m_w - 1, m_h - 2, SidesTop[look], SidesBottom[look]);
            gradient(3, 3, m_w - 3, m_h - 3, qRgb(252, 252, 251), qRgb(236, 235, 230));
            horizontal(1, 1, m_w, Ring[look][0]);
            horizontal(2, 1, m_w, Ring[look][1]);
            horizontal(m_h - 3, 1, m_w, Ring[look][2]);
            horizontal(m_h - 2, 2, m_w - 1, Ring[look][3]);
        }
        const QRgb dark = Corners[look][0], light = Corners[look][1], diagonal = Corners[look][2];
        for (const bool right : {false, true}) {
            for (const bool bottom : {false, true}) {
                const auto corner = [&](int dx, int dy, QRgb colour) {
                    set(right ? m_w - 1 - dx : dx, bottom ? m_h - 1 - dy : dy, colour);
                };
                corner(0, 1, light);
                corner(0, 2, dark);
                corner(1, 0, light);
                corner(1, 1, diagonal);
                corner(2, 0, dark);
            }
        }
    }

    QRgb at(int x, int y) const { return m_image.pixel(x, y); }

private:
    static constexpr QRgb Outline[] = {qRgb(201, 199, 186), qRgb(0, 60, 116), qRgb(0, 60, 116), qRgb(0, 60, 116),
                                       qRgb(0, 60, 116)};
    static constexpr QRgb Ring[][4] = {{},
                                       {qRgb(255, 255, 255), qRgb(254, 254, 254), qRgb(226, 223, 214), qRgb(214, 208, 197)},
                                       {qRgb(206, 231, 255), qRgb(189, 215, 247), qRgb(140, 174, 231), qRgb(107, 130, 239)},
                                       {qRgb(255, 243, 206), qRgb(255, 219, 140), qRgb(255, 178, 49), qRgb(230, 150, 0)},
                                       {}};
    static constexpr QRgb SidesTop[] = {0, qRgb(252, 252, 251), qRgb(189, 211, 247), qRgb(225, 223, 156), 0};
    static constexpr QRgb SidesBottom[] = {0, qRgb(236, 235, 230), qRgb(140, 174, 231), qRgb(255, 182, 48), 0};
    static constexpr QRgb Corners[][3] = {{qRgb(196, 177, 140), qRgb(206, 199, 189), qRgb(196, 177, 140)},
                                          {qRgb(33, 85, 132), qRgb(123, 150, 173), qRgb(82, 125, 165)},
                                          {qRgb(33, 85, 132), qRgb(123, 150, 173), qRgb(82, 125, 165)},
                                          {qRgb(33, 85, 132), qRgb(123, 150, 173), qRgb(82, 125, 165)},
                                          {qRgb(33, 85, 132), qRgb(123, 150, 173), qRgb(82, 125, 165)}};

    void set(int x, int y, QRgb colour)
    {
        if (x >= 0 && x < m_w && y >= 0 && y < m_h)
            m_image.setPixel(x, y, colour);
    }
    void horizontal(int y, int from, int to, QRgb colour)
    {
        for (int x = from; x < to; ++x)
            set(x, y, colour);
    }
    // Rows `bottom` up to `top`, both included; each component steps by a
    // 32-bit float and is rounded half to even.
    void gradient(int left, int top, int right, int bottom, QRgb topColour, QRgb bottomColour)
    {
        const int n = bottom - top;
        if (n <= 0)
            return;
        const float red = float(double(qRed(topColour) - qRed(bottomColour)) / n);
        const float green = float(double(qGreen(topColour) - qGreen(bottomColour)) / n);
        const float blue = float(double(qBlue(topColour) - qBlue(bottomColour)) / n);
        for (int i = 0; i <= n; ++i) {
            const auto step = [i](int from, float by) { return int(std::nearbyint(from + double(i) * double(by))); };
            horizontal(bottom - i, left, right,
                       qRgb(step(qRed(bottomColour), red), step(qGreen(bottomColour), green),
                            step(qBlue(bottomColour), blue)));
        }
    }

    QImage m_image;
    int m_w;
    int m_h;
};

} // namespace

class tst_Resolution : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void windowLayout_data();
    void windowLayout();
    void firstColumn_data();
    void firstColumn();
    void savedPicture_data();
    void savedPicture();
    void buttonPixels_data();
    void buttonPixels();
    void textAtNativeSize_data();
    void textAtNativeSize();
    void followsItsScreen();

private:
    frmMain *openOn(int dpi, qreal ratio = 1);
    template<typename T>
    T *child(const QString &name) const
    {
        return m_window->findChild<T *>(name);
    }

    std::unique_ptr<frmMain> m_window;
};

void tst_Resolution::initTestCase()
{
    installDesignFonts();
    for (const int dpi : ScreenDpis)
        QVERIFY2(screenAtDpi(dpi), qPrintable(QStringLiteral("no screen at %1 dpi").arg(dpi)));
    QVERIFY2(screenAtDpi(192, 2), "no screen at 96 dpi x 2");
}

void tst_Resolution::cleanup()
{
    m_window.reset();
}

// The window as a user opens it on that screen: a window is on the screen
// its place is on.
frmMain *tst_Resolution::openOn(int dpi, qreal ratio)
{
    m_window = std::make_unique<frmMain>();
    m_window->move(screenAtDpi(dpi, ratio)->geometry().topLeft());
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        return nullptr;
    return m_window.get();
}

void tst_Resolution::windowLayout_data()
{
    addDpiColumns();
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("chart");
    QTest::addColumn<QSize>("addColumn");
    QTest::addColumn<QSize>("saveGraph");
    // The frame's (2 pixels wide here) corner on its screen, centred where it fits.
    QTest::addColumn<QPoint>("place");
    newDpiRow(96) << QSize(1131, 644) << QRect(72, 96, 1022, 329) << QSize(89, 81) << QSize(81, 33) << QPoint(72, 188);
    newDpiRow(120, QStringLiteral(", wider than its 1280 x 1024 screen: at its left edge"))
        << QSize(1414, 805) << QRect(90, 120, 1278, 411) << QSize(111, 101) << QSize(101, 41) << QPoint(0, 107);
    newDpiRow(144) << QSize(1696, 966) << QRect(108, 144, 1533, 494) << QSize(134, 122) << QSize(122, 50) << QPoint(110, 115);
    newDpiRow(192) << QSize(2262, 1288) << QRect(144, 192, 2044, 658) << QSize(178, 162) << QSize(162, 66) << QPoint(147, 154);
    newDpiRow(192, {}, 2) << QSize(2262, 1288) << QRect(144, 192, 2044, 658) << QSize(178, 162) << QSize(162, 66)
                          << QPoint(72, 76);
}

void tst_Resolution::windowLayout()
{
    QFETCH(int, dpi);
    QFETCH(qreal, ratio);
    QFETCH(QSize, client);
    QFETCH(QRect, chart);
    QFETCH(QSize, addColumn);
    QFETCH(QSize, saveGraph);
    QFETCH(QPoint, place);
    QVERIFY(openOn(dpi, ratio));
    QCOMPARE(m_window->screen(), screenAtDpi(dpi, ratio));
    QCOMPARE(m_window->size() * ratio, client);
    QCOMPARE(m_window->pos() - screenAtDpi(dpi, ratio)->availableGeometry().topLeft(), place);
    const QRect chartPlace = child<jChart>(QStringLiteral("UserControl11"))->geometry();
    QCOMPARE(QRect(chartPlace.topLeft() * ratio, chartPlace.size() * ratio), chart);
    QCOMPARE(child<ccXPButton>(QStringLiteral("CcXAddColumn"))->size() * ratio, addColumn);
    QCOMPARE(child<ccXPButton>(QStringLiteral("CcXSaveGraph"))->size() * ratio, saveGraph);
    // The frame's controls are placed from its corner: Add Column at 5400 twips.
    const QWidget *frame = child<QWidget>(QStringLiteral("Frame1"));
    QCOMPARE(frame->pos() * ratio, QPoint(pixels(960, dpi), pixels(7800, dpi)));
    QCOMPARE(child<ccXPButton>(QStringLiteral("CcXAddColumn"))->pos() * ratio,
             QPoint(pixels(5400, dpi), pixels(240, dpi)));
}

void tst_Resolution::firstColumn_data()
{
    addDpiColumns();
    QTest::addColumn<QRectF>("twips"); // the rectangle of a 50 % column alone, as laid out
    newDpiRow(96) << QRectF(50, 2485, 7615, 2400);
    newDpiRow(120) << QRectF(50, 2482, 7618, 2400);
    newDpiRow(144) << QRectF(50, 2490, 7615, 2400);
    newDpiRow(192) << QRectF(50, 2485, 7615, 2400);
    newDpiRow(192, {}, 2) << QRectF(50, 2485, 7615, 2400);
}

void tst_Resolution::firstColumn()
{
    QFETCH(int, dpi);
    QFETCH(qreal, ratio);
    QFETCH(QRectF, twips);
    QVERIFY(openOn(dpi, ratio));
    jChart *chart = child<jChart>(QStringLiteral("UserControl11"));
    chart->AddItem(QStringLiteral("First"), 50, Red, 0);
    const ChartElement *item = chart->item(0);
    QCOMPARE(QRectF(item->left(), item->top(), item->width(), item->height()), twips);

    // Painted edge by edge at the screen's pixels, with a one-pixel outline.
    const QRect box(QPoint(pixels(twips.left(), dpi), pixels(twips.top(), dpi)),
                    QPoint(pixels(twips.right(), dpi) - 1, pixels(twips.bottom(), dpi) - 1));
    const QImage picture = chart->grab().toImage();
    QCOMPARE(picture.size(), chart->size() * ratio);
    for (const QPoint corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        QCOMPARE(picture.pixel(corner), qRgb(0, 0, 0));
    QCOMPARE(picture.pixel(box.topLeft() + QPoint(1, 1)), qRgb(255, 0, 0));
    QCOMPARE(picture.pixel(box.bottomRight() - QPoint(1, 1)), qRgb(255, 0, 0));
    QCOMPARE(picture.pixel(box.topRight() + QPoint(1, 0)), qRgb(255, 255, 255));
    QCOMPARE(picture.pixel(box.topLeft() - QPoint(0, 1)), qRgb(255, 255, 255));
}

void tst_Resolution::savedPicture_data()
{
    addDpiColumns();
    QTest::addColumn<QSize>("size");
    newDpiRow(96) << QSize(1131, 509);
    newDpiRow(120) << QSize(1414, 637);
    newDpiRow(144) << QSize(1696, 764);
    newDpiRow(192) << QSize(2262, 1019);
    newDpiRow(192, {}, 2) << QSize(2262, 1019);
}

void tst_Resolution::savedPicture()
{
    QFETCH(int, dpi);
    QFETCH(qreal, ratio);
    QFETCH(QSize, size);
    QVERIFY(openOn(dpi, ratio));
    child<jChart>(QStringLiteral("UserControl11"))->AddItem(QStringLiteral("Saved"), 75, Red, 0);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("graph1.bmp"));
    frmMain::SaveFormImageToFile(m_window.get(), child<PictureBox>(QStringLiteral("Picture1")), path);

    // The window's top as it is drawn on that screen, pixel for pixel.
    const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved.size(), size);
    QImage shown = m_window->grab().toImage().copy(QRect(QPoint(0, 0), size)).convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(1);
    QCOMPARE(saved, shown);
}

void tst_Resolution::buttonPixels_data()
{
    addDpiColumns();
    QTest::addColumn<ButtonState>("state");
    const char *names[] = {"Disabled", "Normal", "Focused", "Hot", "Pressed"};
    for (const int dpi : ScreenDpis) {
        for (int state = 0; state < 5; ++state)
            newDpiRow(dpi, QStringLiteral(", ") + QLatin1String(names[state])) << ButtonState(state);
    }
    for (int state = 0; state < 5; ++state)
        newDpiRow(192, QStringLiteral(", ") + QLatin1String(names[state]), 2) << ButtonState(state);
}

// Every pixel of each of the window's buttons, as on its surface and on the
// screen: the rules' picture, but for the caption inside the text rectangle,
// which is drawn in one colour, unblended.
void tst_Resolution::buttonPixels()
{
    QFETCH(int, dpi);
    QFETCH(qreal, ratio);
    QFETCH(ButtonState, state);
    // The same buttons at a ratio of 1, to hold the pictures against.
    frmMain reference;
    QVERIFY(ratio == 1 || showOn(&reference, screenAtDpi(dpi)));
    QVERIFY(openOn(dpi, ratio));
    const QImage window = [&] {
        for (ccXPButton *button : m_window->findChildren<ccXPButton *>())
            button->DrawButton(state);
        return m_window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }();
    for (ccXPButton *button : m_window->findChildren<ccXPButton *>()) {
        const QImage &picture = button->surface().image();
        const int w = picture.width();
        const int h = picture.height();
        QCOMPARE(picture.size(), button->size() * ratio);
        const ButtonRules rules(picture.size(), state);
        // The caption's colour follows Enabled, not the look: black here.
        const QRgb ink = qRgb(0, 0, 0);
        const QPoint origin = button->mapTo(m_window.get(), QPoint(0, 0)) * ratio;
        int caption = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const QRgb pixel = picture.pixel(x, y) | 0xFF000000u;
                const bool inText = x >= 3 && x < w - 3 && y >= 3 && y < h - 3;
                const QString where = QStringLiteral("%1 at (%2, %3)").arg(button->objectName()).arg(x).arg(y);
                if (pixel != rules.at(x, y)) {
                    QVERIFY2(inText && pixel == ink, qPrintable(where));
                    ++caption;
                }
                // On the screen the frame shows through the four extreme corners.
                const bool corner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);
                QVERIFY2(window.pixel(origin + QPoint(x, y)) == (corner ? qRgb(192, 192, 255) : pixel),
                         qPrintable(where + QStringLiteral(" on screen")));
            }
        }
        QVERIFY2(caption > 20, qPrintable(button->objectName()));
        if (ratio != 1) {
            auto *same = reference.findChild<ccXPButton *>(button->objectName());
            same->DrawButton(state);
            QVERIFY2(same->surface().image() == picture, qPrintable(button->objectName() + QStringLiteral(" at 1 x")));
        }
    }
}

void tst_Resolution::textAtNativeSize_data()
{
    addDpiColumns();
    QTest::addColumn<int>("line"); // pixels: 195 twips, the design's line of the default font
    newDpiRow(96) << 13;
    newDpiRow(120) << 16;
    newDpiRow(144) << 20;
    newDpiRow(192) << 26;
    newDpiRow(192, {}, 2) << 26;
}

// The scale labels, the frame's caption and the chart's labels are in the
// default control font: a bitmap strike of exactly the line's size where
// MS Sans Serif has one, a scalable face where it has none; the buttons'
// captions in a scalable face at the screen's size. At 96 x 2 the window
// shows the very pixels it shows at 192 dpi but in the toolkit's text boxes,
// whose text the toolkit draws a little differently at a ratio of 2.
void tst_Resolution::textAtNativeSize()
{
    QFETCH(int, dpi);
    QFETCH(qreal, ratio);
    QFETCH(int, line);
    QVERIFY(openOn(dpi, ratio));
    const QFont scale = child<QLabel>(QStringLiteral("Label3"))->font();
    const QFont chart = child<jChart>(QStringLiteral("UserControl11"))->scene().labelFont();
    for (const QFont &font : {scale, chart, child<QWidget>(QStringLiteral("Frame1"))->font()}) {
        QVERIFY2(isDrawnAtNativeSize(font), qPrintable(QFontInfo(font).family()));
        QVERIFY(std::abs(QFontMetrics(font).height() - line) <= 1);
    }
    QCOMPARE(QFontInfo(scale).family() == QStringLiteral("MS Sans Serif"), dpi != 192);
    QCOMPARE(child<QLabel>(QStringLiteral("Label3"))->height() * ratio, QFontMetrics(scale).height());
    frmMain reference;
    if (ratio != 1 && showOn(&reference, screenAtDpi(dpi))) {
        const QImage shown = devicePicture(m_window.get());
        const QImage atOne = devicePicture(&reference);
        qsizetype differing = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) == atOne.pixel(x, y))
                    continue;
                ++differing;
                QVERIFY2(qobject_cast<QLineEdit *>(reference.childAt(x, y)), qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
            }
        }
        QVERIFY2(differing * 200 <= shown.width() * shown.height(), qPrintable(QString::number(differing)));
    }

    // The caption is drawn at the screen's size, not at 96 dpi's: its ink is
    // dpi / 96 times as tall as at 96 dpi.
    const ccXPButton *button = child<ccXPButton>(QStringLiteral("CcXAddColumn"));
    QVERIFY(isDrawnAtNativeSize(button->surface().drawnFont()));
    DrawingSurface at96;
    at96.resize(QSize(89, 81));
    at96.setFont(button->Font()->toQFont());
    at96.clear(0xFFFFFF);
    at96.drawText({3, 3, 86, 78}, button->Caption());
    const int expected = inkRows(at96.image()) * dpi / 96;
    QVERIFY2(std::abs(inkRows(button->surface().image()) - expected) <= 2,
             qPrintable(QString::number(inkRows(button->surface().image()))));
}

// A window moved to a screen of another resolution lays itself out again,
// and one moved to a screen of another device pixel ratio looks exactly as
// one opened there, with the same columns, entries and focus.
void tst_Resolution::followsItsScreen()
{
    QVERIFY(openOn(96));
    const auto fill = [](frmMain *window) {
        window->findChild<jChart *>(QStringLiteral("UserControl11"))->AddItem(QStringLiteral("Moved"), 60, Red, 0);
        window->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("Pears"));
        window->findChild<ccXPButton *>(QStringLiteral("CcXClearGraph"))->setFocus();
    };
    fill(m_window.get());
    m_window->move(screenAtDpi(144)->geometry().topLeft() + QPoint(20, 20));
    QTRY_COMPARE(m_window->screen(), screenAtDpi(144));
    QCOMPARE(m_window->size(), QSize(1696, 966));
    QCOMPARE(child<ccXPButton>(QStringLiteral("CcXAddColumn"))->surface().size(), QSize(134, 122));
    QCOMPARE(child<jChart>(QStringLiteral("UserControl11"))->scene().resolution(), Resolution(144, 144));

    m_window->move(screenAtDpi(192, 2)->geometry().topLeft() + QPoint(20, 20));
    QTRY_COMPARE(m_window->screen(), screenAtDpi(192, 2));
    QCOMPARE(child<jChart>(QStringLiteral("UserControl11"))->scene().resolution(), Resolution(96, 96, 2));
    QCOMPARE(m_window->focusWidget(), child<QWidget>(QStringLiteral("CcXClearGraph")));
    frmMain fresh;
    QVERIFY(showOn(&fresh, screenAtDpi(192, 2)));
    fill(&fresh);
    // The buttons show the focus on the active window only.
    const auto active = [](QWidget *window) {
        window->activateWindow();
        return QTest::qWaitForWindowActive(window) ? devicePicture(window) : QImage();
    };
    QCOMPARE(active(m_window.get()), active(&fresh));
}

QTEST_MAIN(tst_Resolution)
#include "tst_resolution.moc"
