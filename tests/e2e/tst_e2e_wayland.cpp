// Drives the built program on a real Wayland compositor (a headless sway,
// started by wayland.sh) as a desktop starts it, by keyboard only: at output
// scale 1, after a change to scale 2 while it runs, and started afresh at
// scale 2. The screen is read with grim, the clipboard with wl-paste, and
// keys go in with wtype.

#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <cmath>
#include <functional>

namespace {

constexpr int WaitMs = 10000;

// Twips of the design to device pixels at an output scale (96 logical dpi).
int px(double twips, int scale)
{
    return int(std::nearbyint(twips * scale / 15.0));
}

QRect pxRect(int left, int top, int width, int height, int scale)
{
    return QRect(px(left, scale), px(top, scale), px(width, scale), px(height, scale));
}

constexpr QRgb FrameBlue = qRgb(192, 192, 255);
constexpr QRgb Outline = qRgb(0, 60, 116);
constexpr QRgb ColumnGrey = qRgb(224, 224, 224);

// A point inside the one column of 60 % the test adds.
QPoint inColumn(int scale)
{
    return QPoint(px(1080 + 3800, scale), px(1440 + 3500, scale));
}

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(WaitMs) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

void keys(const QStringList &arguments)
{
    QCOMPARE(QProcess::execute(QStringLiteral("wtype"), arguments), 0);
}

// How many rows hold dark pixels: the height of black text's ink.
int inkRows(const QImage &image)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 100) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

// What is wrong with the Exit button's picture in the client area at rest:
// a one-device-pixel outline, shaded corners, and the frame showing through
// its four extreme pixels. Empty when nothing is.
QString exitButtonProblem(const QImage &client, int scale)
{
    const QRect button = pxRect(960 + 9240, 7800 + 240, 1335, 1215, scale);
    const int w = button.width();
    const int h = button.height();
    const auto at = [&](int x, int y) { return client.pixel(button.topLeft() + QPoint(x, y)) & 0xFFFFFF; };
    // The top left corner and, turned half round, the bottom right one.
    const struct
    {
        int x, y;
        QRgb colour;
    } corner[] = {
        {0, 0, FrameBlue},          {1, 0, qRgb(123, 150, 173)}, {0, 1, qRgb(123, 150, 173)},
        {1, 1, qRgb(82, 125, 165)}, {2, 0, qRgb(33, 85, 132)},   {0, 2, qRgb(33, 85, 132)},
        {3, 0, Outline},            {0, 3, Outline},
    };
    for (const auto &pixel : corner) {
        for (const QPoint where : {QPoint(pixel.x, pixel.y), QPoint(w - 1 - pixel.x, h - 1 - pixel.y)}) {
            if (at(where.x(), where.y()) != (pixel.colour & 0xFFFFFF))
                return QStringLiteral("Exit at (%1, %2): %3").arg(where.x()).arg(where.y()).arg(at(where.x(), where.y()), 6, 16);
        }
    }
    if (at(w / 2, 0) != (Outline & 0xFFFFFF) || at(0, h / 2) != (Outline & 0xFFFFFF))
        return QStringLiteral("Exit has no outline");
    if (at(w / 2, 1) == (Outline & 0xFFFFFF) || at(1, h / 2) == (Outline & 0xFFFFFF))
        return QStringLiteral("Exit's outline is thicker than a device pixel");
    if (at(w / 2, -1) != (FrameBlue & 0xFFFFFF) || at(w, h / 2) != (FrameBlue & 0xFFFFFF))
        return QStringLiteral("Exit is larger than its design");
    return {};
}

} // namespace

class tst_EndToEndWayland : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void changesFromScaleOneToTwo();
    void startsAtScaleTwo();

private:
    void start(int scale);
    void setScale(int scale);
    QRect windowPlace() const;
    QImage client() const;
    bool waitFor(const std::function<bool(const QImage &)> &condition, QImage *shown = nullptr) const;
    void addColumnByKeyboard();
    void verifyAtScale(int scale, int scaleLabelInk);
    void exitByKeyboard();

    QProcess m_keyboard;
    QProcess m_program;
    int m_scale = 1;
    QImage m_afterChange;
};

// Sway has no keyboard without an input device, and a window loses the
// keyboard whenever the last one goes: the keys of every wtype that follows
// would then race the window's taking it back. One wtype that only waits
// keeps a keyboard there for the whole test.
void tst_EndToEndWayland::initTestCase()
{
    m_keyboard.start(QStringLiteral("wtype"), {"-s", QString::number(3600 * 1000)});
    QVERIFY(m_keyboard.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(run(QStringLiteral("swaymsg"), {"-t", "get_inputs"}).contains("\"keyboard\""), WaitMs);
}

void tst_EndToEndWayland::cleanupTestCase()
{
    m_keyboard.kill();
    m_keyboard.waitForFinished();
}

void tst_EndToEndWayland::cleanup()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        m_program.waitForFinished();
    }
}

void tst_EndToEndWayland::setScale(int scale)
{
    QVERIFY(!run(QStringLiteral("swaymsg"), {"output", "HEADLESS-1", "scale", QString::number(scale)}).isEmpty());
    m_scale = scale;
}

// The program as a Wayland desktop starts it: no X display, and nothing that
// chooses the platform or the scaling for it.
void tst_EndToEndWayland::start(int scale)
{
    setScale(scale);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "QT_QPA_PLATFORM", "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    m_program.setProcessEnvironment(environment);
    m_program.setProcessChannelMode(QProcess::ForwardedChannels);
    m_program.start(qEnvironmentVariable("PLINTHOS_PROGRAM"), {});
    QVERIFY(m_program.waitForStarted());
    // Shown once the chart's frame is on the screen.
    QVERIFY2(waitFor([this](const QImage &shown) {
                 return shown.pixel(pxRect(1080, 1440, 15330, 4935, m_scale).topLeft()) == qRgb(0, 0, 0);
             }),
             "the window did not show");
    // wtype's first keystroke makes its keyboard and gives the window the
    // keyboard; a modifier alone spends it.
    keys({"-M", "shift", "-m", "shift"});
}

// The window's place on the output in logical pixels, as sway has it.
QRect tst_EndToEndWayland::windowPlace() const
{
    const QJsonDocument tree = QJsonDocument::fromJson(run(QStringLiteral("swaymsg"), {"-t", "get_tree"}));
    std::function<QRect(const QJsonObject &)> find = [&](const QJsonObject &node) -> QRect {
        if (node.value(QStringLiteral("pid")).toInteger() == m_program.processId()) {
            const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
            return QRect(rect.value(QStringLiteral("x")).toInt(), rect.value(QStringLiteral("y")).toInt(),
                         rect.value(QStringLiteral("width")).toInt(), rect.value(QStringLiteral("height")).toInt());
        }
        for (const char *children : {"nodes", "floating_nodes"}) {
            for (const QJsonValue child : node.value(QString::fromLatin1(children)).toArray()) {
                if (const QRect found = find(child.toObject()); found.isValid())
                    return found;
            }
        }
        return {};
    };
    return find(tree.object());
}

// The window's client area in the output's device pixels.
QImage tst_EndToEndWayland::client() const
{
    const QRect place = windowPlace();
    const QImage screen = QImage::fromData(run(QStringLiteral("grim"), {"-o", "HEADLESS-1", "-"}), "PNG");
    if (!place.isValid() || screen.isNull())
        return {};
    return screen.copy(QRect(place.topLeft() * m_scale, place.size() * m_scale)).convertToFormat(QImage::Format_RGB32);
}

bool tst_EndToEndWayland::waitFor(const std::function<bool(const QImage &)> &condition, QImage *shown) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < WaitMs) {
        const QImage image = client();
        if (image.size() == QSize(px(16965, m_scale), px(9660, m_scale)) && condition(image)) {
            if (shown)
                *shown = image;
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

// Label "Apples", value 60, then Add Column: the keyboard starts in the
// label box, and Tab goes to the value box and on to Add Column.
void tst_EndToEndWayland::addColumnByKeyboard()
{
    keys({"-M", "ctrl", "a", "-m", "ctrl", "Apples", "-k", "Tab", "-M", "ctrl", "a", "-m", "ctrl", "60", "-k", "Tab",
          "-k", "space"});
    QVERIFY2(waitFor([this](const QImage &shown) { return shown.pixel(inColumn(m_scale)) == ColumnGrey; }),
             "no column");
}

// The client's size, the Exit button's device pixels, the copied picture's
// size and the scale label "100" at the device size: `scaleLabelInk` rows
// at scale 1, about twice as many at scale 2 (a scalable face stands in for
// the bitmap strike there).
void tst_EndToEndWayland::verifyAtScale(int scale, int scaleLabelInk)
{
    QImage shown;
    QVERIFY2(waitFor([&](const QImage &image) { return exitButtonProblem(image, scale).isEmpty(); }, &shown),
             qPrintable(exitButtonProblem(client(), scale)));
    QCOMPARE(windowPlace().size() * scale, QSize(px(16965, scale), px(9660, scale)));

    const int ink = inkRows(shown.copy(pxRect(720, 1320, 360, 195, scale)));
    QVERIFY2(std::abs(ink - scaleLabelInk * scale) <= 2 * (scale - 1), qPrintable(QString::number(ink)));

    keys({"-M", "ctrl", "-M", "shift", "c", "-m", "shift", "-m", "ctrl"});
    QImage pasted;
    QTRY_VERIFY_WITH_TIMEOUT(
        pasted.loadFromData(run(QStringLiteral("wl-paste"), {"--type", "image/png"}), "PNG")
            && pasted.size() == QSize(px(16965, scale), px(7640, scale)),
        WaitMs);
}

// Back from Add Column through the value and label boxes to Exit, the last
// in the Tab order, and Space.
void tst_EndToEndWayland::exitByKeyboard()
{
    keys({"-M", "shift", "-k", "Tab", "-k", "Tab", "-k", "Tab", "-m", "shift", "-k", "space"});
    QVERIFY2(m_program.waitForFinished(WaitMs), "the program did not end on Exit");
    QCOMPARE(m_program.exitCode(), 0);
}

void tst_EndToEndWayland::changesFromScaleOneToTwo()
{
    for (const auto &step : std::initializer_list<std::function<void()>>{
             [this] { start(1); },
             // MS Sans Serif's 13-pixel strike: digits 9 rows high.
             [this] { verifyAtScale(1, 9); },
             [this] { addColumnByKeyboard(); },
             [this] { setScale(2); },
             [this] { verifyAtScale(2, 9); },
         }) {
        step();
        if (QTest::currentTestFailed())
            return;
    }
    QVERIFY2(waitFor([](const QImage &shown) { return shown.pixel(inColumn(2)) == ColumnGrey; }, &m_afterChange),
             "the column did not stay");
    exitByKeyboard();
}

// A start at scale 2 after the same keys looks exactly as the window did
// after the change: laid out and painted for scale 2 with nothing left over.
void tst_EndToEndWayland::startsAtScaleTwo()
{
    QVERIFY(!m_afterChange.isNull());
    for (const auto &step : std::initializer_list<std::function<void()>>{
             [this] { start(2); },
             [this] { verifyAtScale(2, 9); },
             [this] { addColumnByKeyboard(); },
         }) {
        step();
        if (QTest::currentTestFailed())
            return;
    }
    QImage shown;
    const bool same = waitFor([this](const QImage &image) { return image == m_afterChange; }, &shown);
    if (!same)
        shown = client();
    int differing = 0;
    for (int y = 0; y < shown.height() && y < m_afterChange.height(); ++y)
        for (int x = 0; x < shown.width() && x < m_afterChange.width(); ++x)
            differing += shown.pixel(x, y) != m_afterChange.pixel(x, y);
    QVERIFY2(same, qPrintable(QStringLiteral("%1 pixels differ from the window after the change").arg(differing)));
    exitByKeyboard();
}

QTEST_GUILESS_MAIN(tst_EndToEndWayland)
#include "tst_e2e_wayland.moc"
