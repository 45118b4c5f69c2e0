// Drives the built program on a headless sway (wayland.sh) as a Wayland
// desktop starts it, by keyboard (wtype): at output scale 1, after a change
// to 2 while it runs, and started afresh at 2. The screen is read with grim,
// the copied picture with wl-paste.

#include <QElapsedTimer>
#include <QImage>
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

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool ran = process.waitForFinished(WaitMs) && process.exitStatus() == QProcess::NormalExit;
    return ran && process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

// The Exit button at rest, in device pixels: its shaded corners (the top left
// one, and the bottom right one turned half round), the frame showing through
// their extreme pixels and beside the button, and a one-pixel outline.
bool exitButtonIsExact(const QImage &client, int scale)
{
    const QRect button(px(10200, scale), px(8040, scale), px(1335, scale), px(1215, scale));
    const auto at = [&](int x, int y) { return client.pixel(button.topLeft() + QPoint(x, y)); };
    const QRgb frame = qRgb(192, 192, 255), outline = qRgb(0, 60, 116), dark = qRgb(33, 85, 132);
    const QList<std::pair<QPoint, QRgb>> corner = {
        {{0, 0}, frame}, {{1, 0}, qRgb(123, 150, 173)}, {{1, 1}, qRgb(82, 125, 165)}, {{2, 0}, dark},
        {{0, 2}, dark},  {{3, 0}, outline},             {{0, 3}, outline},           {{-1, 3}, frame}};
    for (const auto &[p, colour] : corner) {
        if (at(p.x(), p.y()) != colour || at(button.width() - 1 - p.x(), button.height() - 1 - p.y()) != colour)
            return false;
    }
    return at(button.width() / 2, 1) == qRgb(255, 255, 255) && at(1, button.height() / 2) != outline;
}

} // namespace

class tst_EndToEndWayland : public QObject
{
    Q_OBJECT

private slots:
    void changesScaleAndStartsAtTwo();
    void cleanup();

private:
    QImage waitFor(const std::function<bool(const QImage &)> &condition) const;
    void keys(const QStringList &arguments) { QCOMPARE(QProcess::execute(QStringLiteral("wtype"), arguments), 0); }
    bool start();
    bool verifyAtScale(int scale);
    QImage withColumn() const;
    bool exitByKeyboard();

    QProcess m_keyboard;
    QProcess m_program;
    int m_scale = 1;
};

// The client area in device pixels once it meets the condition, with the
// window moved to the output's corner (sway centres it whenever it maps it).
QImage tst_EndToEndWayland::waitFor(const std::function<bool(const QImage &)> &condition) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < WaitMs) {
        run(QStringLiteral("swaymsg"), {QStringLiteral("[pid=%1] move position 0 0").arg(m_program.processId())});
        const QImage shown = QImage::fromData(run(QStringLiteral("grim"), {"-g", "0,0 1131x644", "-"})).convertToFormat(QImage::Format_RGB32);
        if (shown.size() == QSize(px(16965, m_scale), px(9660, m_scale)) && condition(shown))
            return shown;
        QTest::qWait(50);
    }
    return {};
}

// As a Wayland desktop starts it: no X display, nothing that chooses the
// platform or the scaling. Sway has no keyboard without an input device, and
// a window loses it whenever the last one goes, so one wtype that only waits
// keeps one there; wtype's first keystroke still goes to giving the window
// the keyboard, so a modifier alone spends it.
bool tst_EndToEndWayland::start()
{
    if (m_keyboard.state() == QProcess::NotRunning) {
        m_keyboard.start(QStringLiteral("wtype"), {"-s", "3600000"});
        if (!QTest::qWaitFor([] { return run(QStringLiteral("swaymsg"), {"-t", "get_inputs"}).contains("keyboard"); }, WaitMs))
            return false;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString name : {"DISPLAY", "QT_QPA_PLATFORM", "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR"})
        environment.remove(name);
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    m_program.setProcessEnvironment(environment);
    m_program.setProcessChannelMode(QProcess::ForwardedChannels);
    m_program.start(qEnvironmentVariable("PLINTHOS_PROGRAM"), {});
    const bool shown = !waitFor([](const QImage &) { return true; }).isNull();
    keys({"-M", "shift", "-m", "shift"});
    return shown;
}

// At an output scale: the client's size and the Exit button in device
// pixels, the scale label "100" at the device size (MS Sans Serif's digits
// are 9 rows high at 1, a scalable face's about twice that at 2) and the
// copied picture's size.
bool tst_EndToEndWayland::verifyAtScale(int scale)
{
    m_scale = scale;
    if (run(QStringLiteral("swaymsg"), {"output", "HEADLESS-1", "scale", QString::number(scale)}).isEmpty())
        return false;
    const QImage shown = waitFor([this](const QImage &image) { return exitButtonIsExact(image, m_scale); });
    int ink = 0;
    for (int y = px(1320, scale); y < px(1515, scale) && !shown.isNull(); ++y) {
        bool dark = false;
        for (int x = px(720, scale); x < px(1080, scale); ++x)
            dark = dark || qGray(shown.pixel(x, y)) < 100;
        ink += dark;
    }
    if (shown.isNull() || std::abs(ink - 9 * scale) > 2 * (scale - 1))
        return false;
    keys({"-M", "ctrl", "-M", "shift", "c", "-m", "shift", "-m", "ctrl"});
    QImage pasted;
    return QTest::qWaitFor([&] {
        return pasted.loadFromData(run(QStringLiteral("wl-paste"), {"--type", "image/png"}))
            && pasted.size() == QSize(px(16965, scale), px(7640, scale));
    }, WaitMs);
}

// The grey column of 60 % in the chart.
QImage tst_EndToEndWayland::withColumn() const
{
    return waitFor([this](const QImage &shown) { return shown.pixel(px(4880, m_scale), px(4940, m_scale)) == qRgb(224, 224, 224); });
}

// Back from Add Column through the value and label boxes to Exit, the last
// in the Tab order, Space, and Discard for the unsaved column.
bool tst_EndToEndWayland::exitByKeyboard()
{
    keys({"-M", "shift", "-k", "Tab", "-k", "Tab", "-k", "Tab", "-m", "shift", "-k", "space"});
    // The chart has a column that was never saved: D answers the question
    // that follows with Discard, once the question (sway floats it) has
    // the keyboard.
    return QTest::qWaitFor([this] {
        run(QStringLiteral("swaymsg"), {QStringLiteral("[pid=%1 floating] focus").arg(m_program.processId())});
        keys({"d"});
        return m_program.waitForFinished(200);
    }, WaitMs) && m_program.exitCode() == 0;
}

// Label "Apples", value 60 and Add Column, by Tab from the label box where
// the keyboard starts. After the change to 2 the window is exactly what a
// start at 2 shows after the same keys: its column, entries and focus kept.
void tst_EndToEndWayland::changesScaleAndStartsAtTwo()
{
    const QStringList addColumn = {"-M", "ctrl", "a", "-m", "ctrl", "Apples", "-k", "Tab", "-M", "ctrl", "a",
                                   "-m", "ctrl", "60", "-k", "Tab", "-k", "space"};
    QVERIFY2(run(QStringLiteral("swaymsg"), {"output", "HEADLESS-1", "scale", "1"}).size() && start(), "no window");
    QVERIFY2(verifyAtScale(1), "at scale 1");
    keys(addColumn);
    QVERIFY(!withColumn().isNull());
    QVERIFY2(verifyAtScale(2), "after the change to scale 2");
    const QImage changed = withColumn();
    QVERIFY(!changed.isNull());
    QVERIFY2(exitByKeyboard(), "Exit");

    QVERIFY2(start() && verifyAtScale(2), "started at scale 2");
    keys(addColumn);
    QVERIFY2(!waitFor([&](const QImage &shown) { return shown == changed; }).isNull(), "not as after the change");
    QVERIFY2(exitByKeyboard(), "Exit");
}

void tst_EndToEndWayland::cleanup()
{
    for (QProcess *process : {&m_program, &m_keyboard}) {
        process->kill();
        process->waitForFinished();
    }
}

QTEST_GUILESS_MAIN(tst_EndToEndWayland)
#include "tst_e2e_wayland.moc"
