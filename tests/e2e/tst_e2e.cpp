// Drives the built program in a real X server as a user would, with xdotool,
// and reads the screen and the saved bitmaps back pixel by pixel.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>
#include <functional>

namespace {

constexpr int WaitMs = 10000;

// The X server's resolution: the test runs at 96 dpi and again at 144.
const int Dpi = qEnvironmentVariableIsSet("PLINTHOS_E2E_DPI") ? qEnvironmentVariableIntValue("PLINTHOS_E2E_DPI") : 96;
const double TwipsPerPixel = 1440.0 / Dpi;

// Twips of the design to whole pixels, halves to even.
int px(double twips)
{
    return int(std::nearbyint(twips / TwipsPerPixel));
}

QRect pxRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// Where things are in the window's client area.
const QPoint FrameOrigin(px(960), px(7800));
const QRect ChartBox = pxRect(1080, 1440, 15330, 4935);
const QSize ClientSize(px(16965), px(9660));
const QSize SavedSize(px(16965), px(7640));

// The middle of a control inside the frame, from its place there in twips.
QPoint inFrame(int left, int top, int width, int height)
{
    return FrameOrigin + QPoint(px(left + width / 2.0), px(top + height / 2.0));
}

const QPoint LabelBox = inFrame(1440, 450, 975, 285);
const QPoint ValueBox = inFrame(3960, 480, 615, 285);
const QPoint NumberBox = inFrame(8280, 240, 615, 465);
const QPoint LabelSwatch = inFrame(1440, 1080, 990, 225);
const QPoint ColumnSwatch = inFrame(2760, 1080, 975, 240);
const QPoint AddColumn = inFrame(5400, 240, 1335, 1215);
const QPoint SaveGraph = inFrame(6960, 240, 1215, 495);
const QPoint ClearGraph = inFrame(6960, 960, 1215, 495);
const QPoint Exit = inFrame(9240, 240, 1335, 1215);
// A point of the frame's background, and one of the shape behind the label group.
const QPoint FrameBackground = FrameOrigin + QPoint(px(120), px(1500));
const QPoint LabelShape = FrameOrigin + QPoint(px(300), px(900));

QPoint paletteCell(int index)
{
    return inFrame(3960 + 120 * (index % 8), index >= 8 ? 960 : 1200, 135, 135);
}

const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb FrameBlue = qRgb(192, 192, 255);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Green = qRgb(0, 255, 0);
const QRgb Yellow = qRgb(255, 255, 0);
const QRgb LightGrey = qRgb(224, 224, 224);

// The layout of the chart with n columns, in pixels of the chart: each
// column's fill, inside its one-pixel outline. The chart is laid out in the
// twips its whole pixels span.
QRect columnFill(int index, int count, int value)
{
    const double width = ChartBox.width() * TwipsPerPixel;
    const double height = ChartBox.height() * TwipsPerPixel;
    const double pitch = std::nearbyint((width - 100) / count);
    const double left = 50 + index * pitch;
    const double columnHeight = std::nearbyint((height - 100) / 100) * value;
    const double top = height - 50 - columnHeight;
    const QRect box(QPoint(px(left), px(top)), QPoint(px(left + pitch / 2) - 1, px(top + columnHeight) - 1));
    return box.adjusted(1, 1, -1, -1);
}

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void startsCentredWithItsDesign();
    void buttonLooksOnTheScreen();
    void addsClearsAndAddsAgain();
    void savesTwice();
    void copyPictureFromTheChartsMenu();
    void savePictureAsEachType();
    void colourDialogCancelledAndAccepted();
    void valueThatDoesNotFitIsReported();
    void negativeValueLiesOnTheBaseline();
    void savesOpensEditsAndUndoes();
    void exitEndsTheProgram();

private:
    void startProgram(const QStringList &arguments);
    void xdotool(const QStringList &arguments);
    QString xdotoolOutput(const QStringList &arguments);
    void click(QPoint clientPoint);
    void typeInto(QPoint clientPoint, const QString &text);
    QImage screen() const;
    bool waitFor(const std::function<bool(const QImage &)> &condition) const;
    bool waitForPixel(QPoint clientPoint, QRgb colour) const;
    void addColumn(const QString &label, int value, int paletteIndex);
    void chooseFromChartMenu(int entry);
    void verifyColumns(const QImage &picture, QPoint chartOrigin, const QList<QPair<int, QRgb>> &columns) const;

    QTemporaryDir m_folder;
    QProcess m_program;
    QString m_window;
    QPoint m_origin;
};

void tst_EndToEnd::initTestCase()
{
    QVERIFY(m_folder.isValid());
    // The program saves beside itself: run a copy in a folder of its own.
    const QString program = m_folder.filePath(QStringLiteral("plinthos"));
    QVERIFY(QFile::copy(QStringLiteral(PLINTHOS_EXECUTABLE), program));
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    m_program.setProgram(program);
    m_program.setWorkingDirectory(m_folder.path());
    m_program.setProcessChannelMode(QProcess::ForwardedChannels);
    startProgram({});
}

void tst_EndToEnd::startProgram(const QStringList &arguments)
{
    m_program.setArguments(arguments);
    m_program.start();
    QVERIFY(m_program.waitForStarted());

    m_window = xdotoolOutput({"search", "--sync", "--onlyvisible", "--name", "The Plinthos"}).section(u'\n', 0, 0);
    QVERIFY(!m_window.isEmpty());
    const QString shell = xdotoolOutput({"getwindowgeometry", "--shell", m_window});
    const auto value = [&shell](const char *key) {
        const QString prefix = QString::fromLatin1(key) + u'=';
        for (const QString &line : shell.split(u'\n'))
            if (line.startsWith(prefix))
                return line.mid(prefix.size()).toInt();
        return -1;
    };
    m_origin = QPoint(value("X"), value("Y"));
    QCOMPARE(QSize(value("WIDTH"), value("HEIGHT")), ClientSize);
    // The window has painted once the chart's border is on the screen.
    QVERIFY(waitForPixel(ChartBox.topLeft(), Black));
}

void tst_EndToEnd::cleanupTestCase()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        m_program.waitForFinished();
    }
}

void tst_EndToEnd::xdotool(const QStringList &arguments)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);
}

QString tst_EndToEnd::xdotoolOutput(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(WaitMs))
        return {};
    QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    while (output.endsWith(u'\n'))
        output.chop(1);
    return output;
}

void tst_EndToEnd::click(QPoint clientPoint)
{
    const QPoint at = m_origin + clientPoint;
    xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
    xdotool({"click", "1"});
}

void tst_EndToEnd::typeInto(QPoint clientPoint, const QString &text)
{
    click(clientPoint);
    xdotool({"key", "ctrl+a", "BackSpace"});
    xdotool({"type", "--delay", "20", "--", text});
}

QImage tst_EndToEnd::screen() const
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

bool tst_EndToEnd::waitFor(const std::function<bool(const QImage &)> &condition) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < WaitMs) {
        if (condition(screen().copy(QRect(m_origin, ClientSize))))
            return true;
        QTest::qWait(20);
    }
    return false;
}

bool tst_EndToEnd::waitForPixel(QPoint clientPoint, QRgb colour) const
{
    return waitFor([&](const QImage &client) { return client.pixel(clientPoint) == colour; });
}

void tst_EndToEnd::addColumn(const QString &label, int value, int paletteIndex)
{
    typeInto(LabelBox, label);
    typeInto(ValueBox, QString::number(value));
    click(paletteCell(paletteIndex));
    click(AddColumn);
}

void tst_EndToEnd::verifyColumns(const QImage &picture, QPoint chartOrigin,
                                 const QList<QPair<int, QRgb>> &columns) const
{
    for (int i = 0; i < columns.size(); ++i) {
        const auto [value, colour] = columns[i];
        const QRect fill = columnFill(i, int(columns.size()), value).translated(chartOrigin);
        const QString where = QStringLiteral("column %1 at %2,%3 %4x%5")
                                  .arg(i).arg(fill.x()).arg(fill.y()).arg(fill.width()).arg(fill.height());
        for (const QPoint corner : {fill.topLeft(), fill.topRight(), fill.bottomLeft(), fill.bottomRight(), fill.center()})
            QVERIFY2((picture.pixel(corner) & 0xFFFFFF) == (colour & 0xFFFFFF), qPrintable(where));
        // Its outline, and white beyond it.
        QVERIFY2((picture.pixel(fill.topLeft() - QPoint(1, 1)) & 0xFFFFFF) == 0, qPrintable(where));
        QVERIFY2((picture.pixel(fill.right() + 2, fill.center().y()) & 0xFFFFFF) == 0xFFFFFF, qPrintable(where));
    }
}

void tst_EndToEnd::startsCentredWithItsDesign()
{
    const QSize screenSize = QGuiApplication::primaryScreen()->size();
    QCOMPARE(m_origin, QPoint((screenSize.width() - ClientSize.width()) / 2,
                              (screenSize.height() - ClientSize.height()) / 2));
    QCOMPARE(xdotoolOutput({"getwindowname", m_window}), QStringLiteral("   The Plinthos"));
    // No maximizing asked of the window manager (Motif functions 0x10, button 0x40).
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {"-id", m_window, "_MOTIF_WM_HINTS"});
    QVERIFY(xprop.waitForFinished(WaitMs));
    const QStringList hints = QString::fromLatin1(xprop.readAllStandardOutput()).section(u'=', 1).split(u',');
    QVERIFY(hints.size() == 5 && (hints[1].trimmed().toUInt(nullptr, 16) & 0x18) == 0x08
            && (hints[2].trimmed().toUInt(nullptr, 16) & 0x40) == 0);

    const QImage client = screen().copy(QRect(m_origin, ClientSize));
    QCOMPARE(client.pixel(px(16650), px(4500)) & 0xFFFFFF, White & 0xFFFFFF);
    QCOMPARE(client.pixel(FrameBackground) & 0xFFFFFF, FrameBlue & 0xFFFFFF);
    QCOMPARE(client.pixel(LabelShape) & 0xFFFFFF, qRgb(128, 128, 255) & 0xFFFFFF);
    QCOMPARE(client.pixel(LabelSwatch) & 0xFFFFFF, Black & 0xFFFFFF);
    QCOMPARE(client.pixel(ColumnSwatch) & 0xFFFFFF, LightGrey & 0xFFFFFF);
    QCOMPARE(client.pixel(paletteCell(12)) & 0xFFFFFF, Red & 0xFFFFFF);
    QCOMPARE(client.pixel(paletteCell(6)) & 0xFFFFFF, Blue & 0xFFFFFF);
    QCOMPARE(client.pixel(ChartBox.bottomRight()) & 0xFFFFFF, Black & 0xFFFFFF);
    QCOMPARE(client.pixel(ChartBox.center()) & 0xFFFFFF, White & 0xFFFFFF);
}

// The Clear Graph button at rest, under the pointer and held down, read back
// from the screen at the screen's own pixels: its outline spans exactly the
// button, whose four extreme corners show the frame behind it.
void tst_EndToEnd::buttonLooksOnTheScreen()
{
    const QRect button(FrameOrigin + QPoint(px(6960), px(960)), QSize(px(1215), px(495)));
    const QRgb outline = qRgb(0, 60, 116);
    const auto looks = [&](QRgb ringRow1) {
        return waitFor([&](const QImage &client) {
            const auto at = [&](int x, int y) { return client.pixel(button.topLeft() + QPoint(x, y)) & 0xFFFFFF; };
            const int w = button.width();
            const int h = button.height();
            return at(0, 0) == (FrameBlue & 0xFFFFFF) && at(w - 1, h - 1) == (FrameBlue & 0xFFFFFF)
                && at(1, 1) == (qRgb(82, 125, 165) & 0xFFFFFF) && at(w / 2, 0) == (outline & 0xFFFFFF)
                && at(w / 2, h - 1) == (outline & 0xFFFFFF) && at(w / 2, h) == (FrameBlue & 0xFFFFFF)
                && at(w - 1, h / 2) == (outline & 0xFFFFFF) && at(w, h / 2) == (FrameBlue & 0xFFFFFF)
                && at(w / 2, 1) == (ringRow1 & 0xFFFFFF);
        });
    };
    QVERIFY2(looks(qRgb(255, 255, 255)), "Normal");
    // The buttons light up on an active window only; with no window manager
    // the window is active once it has the keyboard focus.
    xdotool({"windowfocus", "--sync", m_window});
    const QPoint middle = m_origin + button.center();
    xdotool({"mousemove", "--sync", QString::number(middle.x()), QString::number(middle.y())});
    QVERIFY2(looks(qRgb(255, 243, 206)), "Hot");
    xdotool({"mousedown", "1"});
    QVERIFY2(looks(qRgb(231, 227, 222)), "Pressed");
    xdotool({"mouseup", "1"});
    QVERIFY2(looks(qRgb(255, 243, 206)), "Hot again");
}

void tst_EndToEnd::addsClearsAndAddsAgain()
{
    addColumn(QStringLiteral("Apples"), 60, 12);
    QVERIFY(waitForPixel(ColumnSwatch, Red));
    QVERIFY(waitForPixel(ChartBox.topLeft() + columnFill(0, 1, 60).center(), Red));
    addColumn(QStringLiteral("Pears"), 30, 6);
    QVERIFY(waitForPixel(ChartBox.topLeft() + columnFill(1, 2, 30).center(), Blue));
    verifyColumns(screen().copy(QRect(m_origin, ClientSize)), ChartBox.topLeft(), {{60, Red}, {30, Blue}});

    click(ClearGraph);
    QVERIFY(waitFor([](const QImage &client) {
        for (int x = ChartBox.left() + 1; x < ChartBox.right(); x += 3)
            for (int y = ChartBox.top() + 100; y < ChartBox.bottom(); y += 3)
                if ((client.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                    return false;
        return true;
    }));

    addColumn(QStringLiteral("North"), 50, 12);
    addColumn(QStringLiteral("South"), 95, 11);
    addColumn(QStringLiteral("East"), 20, 8);
    QVERIFY(waitForPixel(ChartBox.topLeft() + columnFill(2, 3, 20).center(), Yellow));
    verifyColumns(screen().copy(QRect(m_origin, ClientSize)), ChartBox.topLeft(),
                  {{50, Red}, {95, Green}, {20, Yellow}});
    const QString screenshot = Dpi == 96 ? QStringLiteral("e2e-screenshot.png")
                                         : QStringLiteral("e2e-screenshot-%1dpi.png").arg(Dpi);
    QVERIFY(screen().copy(QRect(m_origin, ClientSize)).save(QStringLiteral(SCREENSHOT_FOLDER "/") + screenshot));
}

void tst_EndToEnd::savesTwice()
{
    for (const char *name : {"graph1.bmp", "graph2.bmp"}) {
        click(SaveGraph);
        const QString path = m_folder.filePath(QString::fromLatin1(name));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), WaitMs);
        QImage saved;
        QTRY_VERIFY_WITH_TIMEOUT(saved.load(path), WaitMs);
        QCOMPARE(saved.size(), SavedSize);
        QCOMPARE(saved.depth() == 32 || saved.depth() == 24, true);
        saved = saved.convertToFormat(QImage::Format_RGB32);
        verifyColumns(saved, ChartBox.topLeft(), {{50, Red}, {95, Green}, {20, Yellow}});
        for (int y = 0; y < saved.height(); ++y)
            for (int x = 0; x < saved.width(); ++x)
                QVERIFY2((saved.pixel(x, y) & 0xFFFFFF) != (FrameBlue & 0xFFFFFF), "the controls frame was saved");
        // The heading is in the picture.
        int dark = 0;
        for (int y = px(120); y < px(735); ++y)
            for (int x = px(1080); x < px(6000); ++x)
                dark += qGray(saved.pixel(x, y)) < 100;
        QVERIFY(dark > 50);
    }
}

void tst_EndToEnd::chooseFromChartMenu(int entry)
{
    // A right click where the chart is white opens the menu there; its
    // entries are the rows of dark text below the click, clicked in turn.
    const QPoint at = ChartBox.topLeft() + QPoint(px(13500), px(900));
    const QRect menuArea(at, QSize(px(1650), px(2400)));
    const auto textRows = [menuArea](const QImage &client) {
        // The middle of each band of rows with dark text; an entry's text and
        // the underline of its access key are one band.
        const int gap = px(75);
        QList<int> rows;
        int first = -1, last = -1;
        for (int y = menuArea.top(); y <= menuArea.bottom(); ++y) {
            bool dark = false;
            for (int x = menuArea.left(); x <= menuArea.right() && !dark; ++x)
                dark = qGray(client.pixel(x, y)) < 100;
            if (!dark)
                continue;
            if (first >= 0 && y - last > gap) {
                rows << (first + last) / 2;
                first = -1;
            }
            if (first < 0)
                first = y;
            last = y;
        }
        if (first >= 0)
            rows << (first + last) / 2;
        return rows;
    };
    // Nothing left over from before: no menu, no dialog.
    QVERIFY(waitFor([&](const QImage &client) { return textRows(client).isEmpty(); }));
    xdotool({"mousemove", "--sync", QString::number((m_origin + at).x()), QString::number((m_origin + at).y())});
    xdotool({"click", "3"});
    QList<int> rows;
    QVERIFY2(waitFor([&](const QImage &client) { return (rows = textRows(client)).size() >= 2; }), "no menu on the chart");
    click(QPoint(at.x() + px(600), rows[entry]));
}

void tst_EndToEnd::copyPictureFromTheChartsMenu()
{
    const QImage saved = QImage(m_folder.filePath(QStringLiteral("graph2.bmp"))).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!saved.isNull());
    chooseFromChartMenu(0);
    // The program serves the clipboard; another program reads it in each
    // type it offers.
    const auto read = [](const char *type) {
        QProcess xclip;
        xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", type, "-o"});
        return xclip.waitForFinished(WaitMs) && xclip.exitCode() == 0 ? xclip.readAllStandardOutput() : QByteArray();
    };
    QImage pasted;
    QTRY_VERIFY_WITH_TIMEOUT(pasted.loadFromData(read("image/png"), "PNG"), WaitMs);
    QCOMPARE(pasted.convertToFormat(QImage::Format_RGB32), saved);
    const QList<QByteArray> targets = read("TARGETS").split('\n');
    for (const char *type : {"image/png", "image/bmp", "image/svg+xml", "application/x-qt-image", "text/plain", "UTF8_STRING",
                             "application/x-plinthos-chart"})
        QVERIFY2(targets.contains(type), type);
    const QByteArray bitmap = read("image/bmp");
    QVERIFY(bitmap.startsWith("BM"));
    QCOMPARE(QImage::fromData(bitmap, "BMP").convertToFormat(QImage::Format_RGB32), saved);
    const QByteArray drawing = read("image/svg+xml");
    QXmlStreamReader svg(drawing);
    while (!svg.atEnd())
        svg.readNext();
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    QVERIFY(drawing.contains(">North</text>") && drawing.contains(">East</text>"));
    for (const char *type : {"text/plain", "UTF8_STRING"})
        QCOMPARE(read(type), QByteArray("North\t50\nSouth\t95\nEast\t20\n"));
}

void tst_EndToEnd::savePictureAsEachType()
{
    const QImage saved = QImage(m_folder.filePath(QStringLiteral("graph2.bmp"))).convertToFormat(QImage::Format_RGB32);
    for (const char *name : {"picture.png", "picture.bmp", "picture.svg", "picture.pdf"}) {
        chooseFromChartMenu(1);
        QVERIFY2(!xdotoolOutput({"search", "--sync", "--onlyvisible", "--name", "^Save Picture As$"}).isEmpty(),
                 "no file dialog");
        // The file name field has the keyboard, its text selected.
        const QString path = m_folder.filePath(QString::fromLatin1(name));
        xdotool({"key", "ctrl+a"});
        xdotool({"type", "--delay", "10", path});
        xdotool({"key", "Return"});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), WaitMs);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (path.endsWith(u".svg"))
            QVERIFY(bytes.contains("<svg") && bytes.contains(">North</text>"));
        else if (path.endsWith(u".pdf"))
            QVERIFY(bytes.startsWith("%PDF-"));
        else
            QCOMPARE(QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32), saved);
    }
}

void tst_EndToEnd::colourDialogCancelledAndAccepted()
{
    const auto dialogShown = [this] {
        return !xdotoolOutput({"search", "--sync", "--onlyvisible", "--name", "^Select Color$"}).isEmpty();
    };
    const auto dialogGone = [this] {
        return xdotoolOutput({"search", "--onlyvisible", "--name", "^Select Color$"}).isEmpty();
    };

    // The keys reach the swatches, which Tab does not.
    xdotool({"windowfocus", "--sync", m_window});
    xdotool({"key", "ctrl+shift+l"});
    QVERIFY2(dialogShown(), "no colour dialog");
    xdotool({"key", "Escape"});
    QTRY_VERIFY_WITH_TIMEOUT(dialogGone(), WaitMs);
    QVERIFY(waitForPixel(LabelSwatch, Black));

    QVERIFY(waitForPixel(ColumnSwatch, Yellow));

    // The next dialog opens on black too; in its well of basic colours the
    // second one is taken for the column swatch.
    xdotool({"key", "ctrl+shift+n"});
    QVERIFY2(dialogShown(), "no colour dialog");
    xdotool({"key", "Right", "space", "Return"});
    QTRY_VERIFY_WITH_TIMEOUT(dialogGone(), WaitMs);
    QVERIFY(waitFor([](const QImage &client) { return client.pixel(ColumnSwatch) != Yellow; }));
    // Neither black nor white, so that the next step tells a dialog that
    // remembers it from one that opens on a fixed colour.
    const QRgb chosen = screen().copy(QRect(m_origin, ClientSize)).pixel(ColumnSwatch);
    QVERIFY2(chosen != Black && chosen != White, qPrintable(QColor(chosen).name()));

    // The dialog now opens on that colour, whichever swatch asks: Return
    // takes it for the label swatch.
    click(LabelSwatch);
    QVERIFY2(dialogShown(), "no colour dialog");
    xdotool({"key", "Return"});
    QTRY_VERIFY_WITH_TIMEOUT(dialogGone(), WaitMs);
    QVERIFY(waitForPixel(LabelSwatch, chosen));
}

void tst_EndToEnd::negativeValueLiesOnTheBaseline()
{
    // After columns of 50 and Clear, -5 and 0 both lie flat on the baseline:
    // nothing shows above the labels that stand just over it.
    click(ClearGraph);
    addColumn(QStringLiteral("Minus"), -5, 12);
    addColumn(QStringLiteral("Zero"), 0, 12);
    const auto flat = [](const QImage &client) {
        // Nothing above the labels' line, 195 twips high, over the baseline.
        for (int y = ChartBox.top() + 1; y < ChartBox.bottom() - px(400); ++y)
            for (int x = ChartBox.left() + 1; x < ChartBox.right(); ++x)
                if (client.pixel(x, y) != White)
                    return false;
        // The two flat columns are there, in black, on the last row of the
        // baseline, 50 twips above the chart's bottom edge.
        const int baseline = ChartBox.top() + px(ChartBox.height() * TwipsPerPixel - 50) - 1;
        return client.pixel(ChartBox.left() + px(2000), baseline) == Black
            && client.pixel(ChartBox.left() + px(9000), baseline) == Black;
    };
    QVERIFY(waitFor(flat));
}

void tst_EndToEnd::valueThatDoesNotFitIsReported()
{
    typeInto(ValueBox, QStringLiteral("40000"));
    click(AddColumn);
    const QString box = xdotoolOutput({"search", "--sync", "--onlyvisible", "--name", "^Plinthos$"});
    QVERIFY2(!box.isEmpty(), "no message box");
    // The modal box has the keyboard focus.
    xdotool({"key", "Return"});
    QTRY_VERIFY_WITH_TIMEOUT(xdotoolOutput({"search", "--onlyvisible", "--name", "^Plinthos$"}).isEmpty(), WaitMs);
    // The chart is as it was.
    verifyColumns(screen().copy(QRect(m_origin, ClientSize)), ChartBox.topLeft(),
                  {{50, Red}, {95, Green}, {20, Yellow}});
    QCOMPARE(m_program.state(), QProcess::Running);
}

// Three columns saved as a chart, the program ended and started again on
// the file shows the same picture; an edit by double click and a Clear Graph
// are each undone with Ctrl+Z.
void tst_EndToEnd::savesOpensEditsAndUndoes()
{
    const QRect pictureArea(m_origin, QSize(ClientSize.width(), SavedSize.height()));
    const auto showsPicture = [&](const QImage &picture) {
        return waitFor([&](const QImage &) { return screen().copy(pictureArea) == picture; });
    };
    click(ClearGraph);
    addColumn(QStringLiteral("North"), 50, 12);
    addColumn(QStringLiteral("South"), 95, 11);
    addColumn(QStringLiteral("East"), 20, 8);
    QVERIFY(waitForPixel(ChartBox.topLeft() + columnFill(2, 3, 20).center(), Yellow));
    const QString path = m_folder.filePath(QStringLiteral("three.plinthos"));
    xdotool({"key", "ctrl+s"});
    QVERIFY2(!xdotoolOutput({"search", "--sync", "--onlyvisible", "--name", "^Save Chart As$"}).isEmpty(), "no file dialog");
    xdotool({"key", "ctrl+a"});
    xdotool({"type", "--delay", "10", path});
    xdotool({"key", "Return"});
    QTRY_COMPARE_WITH_TIMEOUT(xdotoolOutput({"getwindowname", m_window}), QStringLiteral("   The Plinthos - three.plinthos"), WaitMs);
    const QImage saved = screen().copy(pictureArea);

    click(Exit);
    QVERIFY2(m_program.waitForFinished(WaitMs), "Exit asked about a saved chart");
    startProgram({path});
    QVERIFY(showsPicture(saved));

    const QPoint south = m_origin + ChartBox.topLeft() + columnFill(1, 3, 95).center();
    xdotool({"mousemove", "--sync", QString::number(south.x()), QString::number(south.y())});
    xdotool({"click", "--repeat", "2", "--delay", "80", "1"});
    QVERIFY2(!xdotoolOutput({"search", "--sync", "--onlyvisible", "--name", "^Edit Column$"}).isEmpty(), "no column dialog");
    xdotool({"type", "--delay", "20", "Edited"});
    xdotool({"key", "Return"});
    QVERIFY(waitFor([&](const QImage &) { return screen().copy(pictureArea) != saved; }));
    QCOMPARE(xdotoolOutput({"getwindowname", m_window}), QStringLiteral("   The Plinthos - three.plinthos*"));
    xdotool({"key", "ctrl+z"});
    // The chart keeps the focus and shows it; a click in the label box takes it.
    click(LabelBox);
    QVERIFY(showsPicture(saved));

    click(ClearGraph);
    QVERIFY(waitForPixel(ChartBox.topLeft() + columnFill(1, 3, 95).center(), White));
    xdotool({"key", "ctrl+z"});
    QVERIFY(showsPicture(saved));
    QCOMPARE(xdotoolOutput({"getwindowname", m_window}), QStringLiteral("   The Plinthos - three.plinthos"));
}

void tst_EndToEnd::exitEndsTheProgram()
{
    const QStringList filesBefore = QDir(m_folder.path()).entryList(QDir::Files);
    click(Exit);
    QVERIFY2(m_program.waitForFinished(WaitMs), "the program did not end on Exit");
    QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program.exitCode(), 0);
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files), filesBefore);
}

QTEST_MAIN(tst_EndToEnd)
#include "tst_e2e.moc"
