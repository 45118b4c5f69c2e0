#include "ccxpbutton.h"
#include "designfonts.h"
#include "formpicture.h"
#include "frmmain.h"
#include "jchart.h"
#include "modaldialogs.h"
#include "pictureexport.h"
#include "picturemenu.h"
#include "runtimeerror.h"
#include "screens.h"
#include "twips.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>
#include <QXmlStreamReader>

#include <algorithm>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using PictureExport::Format;

class tst_PictureExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exportedFileReadsBack_data();
    void exportedFileReadsBack();
    void everyPathGivesTheCleanPicture_data();
    void everyPathGivesTheCleanPicture();
    void menuOpensOnThePictureAreaOnly_data();
    void menuOpensOnThePictureAreaOnly();
    void saveAsTarget_data();
    void saveAsTarget();
    void saveAsWritesOnlyTheChosenFile_data();
    void saveAsWritesOnlyTheChosenFile();
    void saveAsDialog();
    void picturesFolder_data();
    void picturesFolder();
    void pictureBeyondASaneSizeIsRefused();

private:
    template<typename T>
    T *control(const char *name) const { return m_window->findChild<T *>(QString::fromLatin1(name)); }
    PictureMenu *pictureMenu() const { return m_window->findChild<PictureMenu *>(); }
    QStringList entries() const { return QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot); }
    void verifySvg(const QString &path) const;
    void verifyPdf(const QString &path) const;
    void verifyTextPlaces(const QImage &drawn) const;

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<frmMain> m_window;
    QImage m_saved; // what Save Graph wrote
};

namespace {

struct Column
{
    const char *label;
    int value;
    OleColor colour;
    QRgb rgb;
};
constexpr Column Columns[] = {
    {"Alpha", 50, 0x000000FF, qRgb(255, 0, 0)},
    {"Beta", 95, 0x00FF0000, qRgb(0, 0, 255)},
    {"Gamma", 20, 0x0000FF00, qRgb(0, 255, 0)},
};
const QStringList PictureTexts = {QStringLiteral("Y Axis "), QStringLiteral("X Axis "), QStringLiteral("100"),
                                  QStringLiteral("75"), QStringLiteral("50"), QStringLiteral("25"),
                                  QStringLiteral("0"), QStringLiteral("Alpha"), QStringLiteral("Beta"),
                                  QStringLiteral("Gamma")};

QString filterOf(Format format)
{
    for (const PictureExport::FileType &type : PictureExport::fileTypes())
        if (type.format == format)
            return QString::fromLatin1(type.filter);
    return {};
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

} // namespace

void tst_PictureExport::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    installDesignFonts();
}

void tst_PictureExport::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_window = std::make_unique<frmMain>();
    m_window->setPictureFolder(m_folder->path());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    for (const Column &column : Columns)
        control<jChart>("UserControl11")->AddItem(QString::fromLatin1(column.label), column.value, column.colour, 0);
    emit control<ccXPButton>("CcXSaveGraph")->Click();
    QVERIFY(m_saved.load(m_folder->filePath(QStringLiteral("graph1.bmp"))));
    m_saved = m_saved.convertToFormat(QImage::Format_RGB32);
    QVERIFY(QFile::remove(m_folder->filePath(QStringLiteral("graph1.bmp"))));
}

void tst_PictureExport::cleanup()
{
    m_window.reset();
    m_folder.reset();
}

void tst_PictureExport::exportedFileReadsBack_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("label"); // of one more column
    QTest::addColumn<QString>("text");  // as the SVG holds it
    QTest::newRow("PNG") << Format::Png << 96 << QString() << QString();
    QTest::newRow("Windows bitmap") << Format::Bmp << 96 << QString() << QString();
    QTest::newRow("SVG") << Format::Svg << 96 << QString() << QString();
    QTest::newRow("PDF") << Format::Pdf << 96 << QString() << QString();
    QTest::newRow("SVG at 144 dpi") << Format::Svg << 144 << QString() << QString();
    QTest::newRow("PDF at 144 dpi") << Format::Pdf << 144 << QString() << QString();
    // What XML cannot hold is left out; the screen draws none of it either.
    const QString kept = QStringLiteral("Kept");
    for (const char16_t c : {u'\f', u'\x1b', u'\v', u'\b', u'\x01', u'\0', u'\xfffe', u'\xffff', u'\xd800'})
        QTest::addRow("SVG, a label with U+%04X", c) << Format::Svg << 96 << QStringLiteral("Ke") + QChar(c) + QStringLiteral("pt") << kept;
    const QString markup = QStringLiteral("<a b=\"&amp;\"> \U0001F600");
    QTest::newRow("SVG, a label of markup and an emoji") << Format::Svg << 96 << markup << markup;
}

void tst_PictureExport::exportedFileReadsBack()
{
    QFETCH(Format, format);
    QFETCH(int, dpi);
    QFETCH(QString, label);
    if (dpi != 96) {
        m_window->move(screenAtDpi(dpi)->geometry().topLeft());
        QTRY_COMPARE(m_window->screen(), screenAtDpi(dpi));
    }
    if (!label.isEmpty())
        control<jChart>("UserControl11")->AddItem(label, 40, 0x00FF00FF, 0);
    if (dpi != 96 || !label.isEmpty())
        m_saved = FormPicture::capture(m_window.get()).convertToFormat(QImage::Format_RGB32);
    const QString path = PictureExport::target(m_folder->filePath(QStringLiteral("chart")), filterOf(format)).path;
    PictureExport::writeFile(PictureExport::encode(m_window.get(), format), path);
    QCOMPARE(entries(), QStringList{QFileInfo(path).fileName()});
    // The file's type by its first bytes.
    const QByteArray magic = format == Format::Png ? "\x89PNG\r\n\x1a\n" : format == Format::Bmp ? "BM" : format == Format::Svg ? "<?xml" : "%PDF-";
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly) && file.read(magic.size()) == magic);

    switch (format) {
    case Format::Png:
    case Format::Bmp:
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), m_saved);
        QCOMPARE(QImage(path).dotsPerMeterX(), 3780); // the screen's 96 dpi
        break;
    case Format::Svg: verifySvg(path); break;
    case Format::Pdf: verifyPdf(path); break;
    }
}

void tst_PictureExport::verifySvg(const QString &path) const
{
    QCOMPARE(QSvgRenderer(path).viewBox().size(), m_saved.size());
    QCOMPARE(run(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path}), QString());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader svg(&file);
    QStringList texts;
    QList<QRgb> rectangleFills;
    QString fill;
    while (!svg.atEnd()) {
        if (svg.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (svg.name() == u"g")
            fill = svg.attributes().value(QStringLiteral("fill")).toString();
        else if (svg.name() == u"rect")
            rectangleFills << QColor(fill).rgb();
        else if (svg.name() == u"text")
            texts << svg.readElementText();
        else if (svg.name() == u"title")
            QCOMPARE(svg.readElementText(), QStringLiteral("The Plinthos")); // no unsaved-changes mark
        else
            QVERIFY2(svg.name() != u"image", "a picture inside the drawing");
    }
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    for (const QString &text : PictureTexts)
        QVERIFY2(texts.contains(text), qPrintable(text + QStringLiteral(" is not a text of ") + texts.join(u'|')));
    QVERIFY(texts.contains(control<QLineEdit>("txtMainHeading")->text()));
    QFETCH(QString, text);
    QVERIFY2(texts.join(QString()).contains(text), qPrintable(texts.join(u'|'))); // in runs of one face each
    for (const Column &column : Columns)
        QVERIFY2(rectangleFills.contains(column.rgb), column.label);

    // Drawn by an independent reader, in whatever face it has.
    const QString drawn = m_folder->filePath(QStringLiteral("drawn.png"));
    run(QStringLiteral("rsvg-convert"), {QStringLiteral("-w"), QString::number(m_saved.width()), QStringLiteral("-b"),
                                         QStringLiteral("white"), path, QStringLiteral("-o"), drawn});
    verifyTextPlaces(QImage(drawn));
}

// Each text's ink starts and ends where the screen's does, to a pixel at 96
// dpi: the run as a whole is as wide, each letter as wide as its face has it.
void tst_PictureExport::verifyTextPlaces(const QImage &drawn) const
{
    QCOMPARE(drawn.size(), m_saved.size());
    const auto *chart = control<jChart>("UserControl11");
    const Resolution resolution = Resolution::of(chart);
    const int pixel = qCeil(resolution.dpiX() / Resolution::StandardDpi);
    QList<QRect> boxes;
    for (const char *name : {"txtMainHeading", "txtYAxisLabel", "txtXAxis", "Label3"})
        boxes << control<QWidget>(name)->geometry().adjusted(-4, 0, 4, 0);
    for (int i = 0; i < chart->ItemCount(); ++i) {
        const ChartElement *label = chart->label(i);
        boxes << QRect(resolution.toPixelsX(label->left()), resolution.toPixelsY(label->top()),
                       resolution.toPixelsX(label->width()), resolution.toPixelsY(label->height())).translated(chart->pos());
    }
    for (const QRect &box : std::as_const(boxes)) {
        const auto ink = [box](const QImage &image) {
            int first = box.right(), last = box.left();
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    if (qGray(image.pixel(x, y)) < 128)
                        first = std::min(first, x), last = std::max(last, x);
            return QPoint(first, last);
        };
        const QPoint screen = ink(m_saved), read = ink(drawn);
        QVERIFY2(qAbs(read.x() - screen.x()) <= pixel && qAbs(read.y() - screen.y()) <= pixel,
                 qPrintable(QStringLiteral("ink from %1 to %2, on the screen from %3 to %4")
                                .arg(read.x()).arg(read.y()).arg(screen.x()).arg(screen.y())));
    }
}

void tst_PictureExport::verifyPdf(const QString &path) const
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");

    // The page is the picture's size at the screen's resolution.
    const QRegularExpressionMatch page =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(run(QStringLiteral("pdfinfo"), {path}));
    QVERIFY(page.hasMatch());
    const QString dpi = QString::number(Resolution::of(m_window.get()).dpiY());
    QVERIFY(qAbs(page.captured(1).toDouble() - m_saved.width() * 72 / dpi.toDouble()) <= 1);
    QVERIFY(qAbs(page.captured(2).toDouble() - m_saved.height() * 72 / dpi.toDouble()) <= 1);

    // Every font is embedded: no bitmap face that a reader cannot show.
    const QStringList fonts = run(QStringLiteral("pdffonts"), {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString &font : fonts)
        QVERIFY2(font.contains(QRegularExpression(QStringLiteral("\\syes\\s+(yes|no)\\s+(yes|no)\\s"))), qPrintable(font));

    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")}).simplified();
    for (const QString &label : PictureTexts)
        QVERIFY2(text.contains(label.trimmed()), qPrintable(label + QStringLiteral(" not in ") + text));

    // Drawn by an independent reader, the page has the picture's pixels'
    // size and the columns' fills where the picture has them.
    const QString prefix = m_folder->filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), dpi, QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), path, prefix});
    const QImage drawn = QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    QVERIFY(qAbs(drawn.width() - m_saved.width()) <= 1 && qAbs(drawn.height() - m_saved.height()) <= 1);
    int fills = 0, differing = 0;
    for (int y = 0; y < drawn.height() && y < m_saved.height(); ++y)
        for (int x = 0; x < drawn.width() && x < m_saved.width(); ++x)
            if (std::any_of(std::begin(Columns), std::end(Columns), [&](const Column &c) { return m_saved.pixel(x, y) == c.rgb; }))
                ++fills, differing += drawn.pixel(x, y) != m_saved.pixel(x, y);
    // Only edges may round to the neighbouring pixel.
    QVERIFY2(differing * 50 < fills, qPrintable(QStringLiteral("%1 of %2 differ").arg(differing).arg(fills)));
    verifyTextPlaces(drawn.copy(QRect(QPoint(), m_saved.size())));
}

enum class Path { Shortcut, Menu, SaveGraph, SaveAs };

void tst_PictureExport::everyPathGivesTheCleanPicture_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("selected"); // characters from the second one on; -1 all, by Tab; 0 none, a caret
    QTest::addColumn<Path>("path");
    QTest::newRow("Ctrl+Shift+C, the heading selected by Tab") << "txtMainHeading" << -1 << Path::Shortcut;
    QTest::newRow("Ctrl+Shift+C, the caret in the Y axis title") << "txtYAxisLabel" << 0 << Path::Shortcut;
    QTest::newRow("Ctrl+Shift+C in the value box") << "Text1" << -1 << Path::Shortcut;
    QTest::newRow("Copy Picture, part of the X axis title selected") << "txtXAxis" << 3 << Path::Menu;
    QTest::newRow("Save Graph, the heading selected") << "txtMainHeading" << -1 << Path::SaveGraph;
    QTest::newRow("Save Picture As, the caret in the heading") << "txtMainHeading" << 0 << Path::SaveAs;
}

// The picture has no selection band and no caret, and the box keeps them.
void tst_PictureExport::everyPathGivesTheCleanPicture()
{
    QFETCH(QString, box);
    QFETCH(int, selected);
    QFETCH(Path, path);
    auto *edit = m_window->findChild<QLineEdit *>(box);
    edit->setFocus(selected < 0 ? Qt::TabFocusReason : Qt::MouseFocusReason);
    QTRY_VERIFY(edit->hasFocus());
    if (selected > 0)
        edit->setSelection(1, selected);
    const QString text = edit->text(), selection = edit->selectedText();
    const int cursor = edit->cursorPosition();
    QCOMPARE(selection.isEmpty(), selected == 0);

    QGuiApplication::clipboard()->clear();
    QString file;
    if (path == Path::Shortcut) {
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    } else if (path == Path::Menu) {
        pictureMenu()->copyAction()->trigger();
    } else if (path == Path::SaveGraph) {
        emit control<ccXPButton>("CcXSaveGraph")->Click();
        file = m_folder->filePath(QStringLiteral("graph2.bmp"));
    } else {
        file = m_folder->filePath(QStringLiteral("chart.png"));
        pictureMenu()->setFileChooser([&](const QString &, const QString &, QString *filter) {
            *filter = filterOf(Format::Png);
            return file;
        });
        pictureMenu()->saveAction()->trigger();
    }
    const QImage picture = file.isEmpty() ? QGuiApplication::clipboard()->image() : QImage(file);
    QCOMPARE(picture.convertToFormat(QImage::Format_RGB32), m_saved);
    if (file.isEmpty()) {
        // The same copy offers each file type with the bytes Save Picture As
        // writes, and the columns as rows of text.
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        for (const auto &[type, format] : {std::pair{"image/png", Format::Png}, {"image/bmp", Format::Bmp}, {"image/svg+xml", Format::Svg}})
            QCOMPARE(data->data(QLatin1String(type)), PictureExport::encode(m_window.get(), format));
        QCOMPARE(data->text(), QStringLiteral("Alpha\t50\nBeta\t95\nGamma\t20\n"));
    }
    QVERIFY(edit->hasFocus());
    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->selectedText(), selection);
    QCOMPARE(edit->cursorPosition(), cursor);
}

void tst_PictureExport::menuOpensOnThePictureAreaOnly_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("key"); // 0: a right click at point
    QTest::addColumn<bool>("opens");
    const QString chart = QStringLiteral("UserControl11");
    QTest::newRow("right click on the chart") << chart << QPoint(500, 200) << 0 << true;
    QTest::newRow("right click on a scale label") << "Label3" << QPoint(5, 5) << 0 << true;
    QTest::newRow("right click on the window above the frame") << "frmMain" << QPoint(1110, 515) << 0 << true;
    QTest::newRow("right click in the controls frame") << "Frame1" << QPoint(8, 100) << 0 << false;
    QTest::newRow("right click on a push button") << "CcXExit" << QPoint(10, 10) << 0 << false;
    QTest::newRow("Shift+F10 on the chart") << chart << QPoint() << int(Qt::Key_F10) << true;
    QTest::newRow("menu key on the chart") << chart << QPoint() << int(Qt::Key_Menu) << true;
    QTest::newRow("Shift+F10 in a text box") << "Text2" << QPoint() << int(Qt::Key_F10) << false;
}

void tst_PictureExport::menuOpensOnThePictureAreaOnly()
{
    QFETCH(QString, widget);
    QFETCH(QPoint, point);
    QFETCH(int, key);
    QFETCH(bool, opens);
    QWidget *target = widget == u"frmMain" ? m_window.get() : m_window->findChild<QWidget *>(widget);
    QVERIFY(target);
    QMenu *menu = pictureMenu()->menu();
    if (key == 0) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, point, target->mapToGlobal(point));
        QApplication::sendEvent(target, &click);
    } else {
        // A click gives the chart the focus; Tab never does.
        QTest::mouseClick(target, Qt::LeftButton);
        QTRY_VERIFY(target->hasFocus());
        if (key == Qt::Key_F10) {
            QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            // The menu key arrives from the window system as a keyboard
            // context menu request to the focus widget.
            QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), target->mapToGlobal(QPoint()));
            QApplication::sendEvent(target, &request);
        }
    }
    QCOMPARE(menu->isVisible(), opens);
    menu->hide();
}

void tst_PictureExport::saveAsTarget_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<Format>("filter");
    QTest::addColumn<QString>("path");
    QTest::addColumn<Format>("format");
    QTest::newRow("no extension takes the filter's") << "/p/chart" << Format::Pdf << "/p/chart.pdf" << Format::Pdf;
    QTest::newRow("the extension decides over the filter") << "/p/chart.svg" << Format::Png << "/p/chart.svg" << Format::Svg;
    QTest::newRow("upper-case extension") << "/p/Chart.BMP" << Format::Png << "/p/Chart.BMP" << Format::Bmp;
    QTest::newRow("an unknown extension gets the filter's") << "/p/chart.jpg" << Format::Svg << "/p/chart.jpg.svg" << Format::Svg;
    QTest::newRow("a dotted folder is no extension") << "/p.png/chart" << Format::Bmp << "/p.png/chart.bmp" << Format::Bmp;
    QTest::newRow("my.chart.png with SVG chosen is a PNG") << "/p/my.chart.png" << Format::Svg << "/p/my.chart.png" << Format::Png;
}

void tst_PictureExport::saveAsTarget()
{
    QFETCH(QString, chosen);
    QFETCH(Format, filter);
    QFETCH(QString, path);
    QFETCH(Format, format);
    const PictureExport::Target target = PictureExport::target(chosen, filterOf(filter));
    QCOMPARE(target.path, path);
    QCOMPARE(target.format, format);
}

void tst_PictureExport::saveAsWritesOnlyTheChosenFile_data()
{
    QTest::addColumn<QString>("chosen"); // in the test's folder, with SVG chosen; empty: cancelled
    QTest::addColumn<QString>("occupant"); // what stands where the picture is written
    QTest::addColumn<QString>("answer"); // to the question; empty for Return
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<bool>("picture"); // the file written holds the new picture
    QTest::addColumn<QStringList>("told"); // a part of each message or question, in turn
    const QStringList none;
    QTest::newRow("a new file") << "chart" << "" << "" << QStringList{"chart.svg"} << true << none;
    QTest::newRow("cancelled") << "" << "" << "" << none << false << none;
    QTest::newRow("a folder that is not there") << "missing/chart" << "" << "" << none << false
        << QStringList{"No such file or directory.\n\nNothing was saved. The folder is not there: use another folder."};
    QTest::newRow("a folder in the file's place") << "taken.svg" << "folder" << "" << QStringList{"taken.svg"} << false
        << QStringList{"Is a directory.\n\nNothing was saved. A folder has that name: use another name, or move the folder."};
    QTest::newRow("plain asks about plain.svg, the file written") << "plain" << "file" << "&Yes" << QStringList{"plain", "plain.svg"} << true
        << QStringList{"/plain.svg already exists.\n\nDo you want to replace it?"};
    QTest::newRow("Return keeps the file and goes back to the dialog") << "chart" << "file" << "" << QStringList{"chart", "chart.svg"} << false
        << QStringList{"chart.svg already exists."};
    QTest::newRow("a link is replaced itself") << "chart.svg" << "link" << "&Yes" << QStringList{"chart.svg"} << true
        << QStringList{"elsewhere.svg. Replacing it replaces the link itself;"};
    QTest::newRow("a dangling link is asked about, not followed") << "chart.svg" << "dangling link" << "&Yes" << QStringList{"chart.svg"} << true
        << QStringList{"elsewhere.svg, which does not exist."};
    QTest::newRow("a name of 256 characters") << QString(252, u'n') + ".svg" << "" << "" << none << false
        << QStringList{"File name too long.\n\nNothing was saved. The name is longer than the file system takes: use a shorter name."};
    QTest::newRow("a pipe is left as it is") << "chart.svg" << "pipe" << "&Yes" << QStringList{"chart.svg"} << false
        << QStringList{"already exists", "a pipe or a socket, not a file.\n\nNothing was saved, and it was left as it is."};
    // For a user whom permissions bind.
    QTest::newRow("a read-only folder") << "locked/chart" << "read-only folder" << "" << QStringList{"locked"} << false
        << QStringList{"Permission denied.\n\nNothing was saved. The folder cannot be written to: use another folder."};
    QTest::newRow("a read-only file") << "chart.svg" << "read-only file" << "&Yes" << QStringList{"chart.svg"} << false
        << QStringList{"already exists", "the file is read-only.\n\nNothing was saved, and the file is as it was."};
}

void tst_PictureExport::saveAsWritesOnlyTheChosenFile()
{
    QFETCH(QString, chosen);
    QFETCH(QString, occupant);
    QFETCH(QString, answer);
    QFETCH(QStringList, written);
    QFETCH(bool, picture);
    QFETCH(QStringList, told);
    QTemporaryDir outside;
    const QString elsewhere = outside.filePath(QStringLiteral("elsewhere.svg"));
    const QString path = chosen.isEmpty() ? QString() : PictureExport::target(m_folder->filePath(chosen), filterOf(Format::Svg)).path;
    QFile earlier(occupant.endsWith(u"link") ? elsewhere : path);
    if (occupant.endsWith(u"file") || occupant == u"link")
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7 && earlier.flush());
    if (occupant.endsWith(u"link"))
        QVERIFY(QFile::link(elsewhere, path));
    if (occupant == u"file" && path != m_folder->filePath(chosen)) // a file of the name as typed, too
        QVERIFY(QFile::copy(path, m_folder->filePath(chosen)));
    if (occupant.endsWith(u"folder")) // in the file's place, or the file's own
        QVERIFY(::mkdir(QFile::encodeName(occupant == u"folder" ? path : QFileInfo(path).path()).constData(), 0500) == 0);
    if (occupant == u"read-only file")
        QVERIFY(earlier.setPermissions(QFile::ReadOwner));
    if (occupant == u"pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (occupant.startsWith(u"read-only")
        && ::access(QFile::encodeName(occupant.endsWith(u"file") ? path : QFileInfo(path).path()).constData(), W_OK) == 0)
        QSKIP("This user may write anywhere; the test runs as an unprivileged user too.");

    QStringList startedAt;
    pictureMenu()->setFileChooser([&](const QString &start, const QString &, QString *filter) {
        startedAt << start;
        *filter = filterOf(Format::Svg);
        return startedAt.size() == 1 && !chosen.isEmpty() ? m_folder->filePath(chosen) : QString();
    });
    const QList<ShownBox> boxes = answerMessageBoxes([this] { pictureMenu()->saveAction()->trigger(); }, {answer});

    QCOMPARE(QFileInfo(startedAt.value(0)).absolutePath(), PictureMenu::picturesFolder());
    QCOMPARE(entries(), written);
    QCOMPARE(boxes.size(), told.size());
    for (qsizetype i = 0; i < told.size(); ++i)
        QVERIFY2(boxes[i].text.contains(told[i]), qPrintable(boxes[i].text));
    // No to the question goes back to the dialog, at the name chosen.
    QCOMPARE(startedAt.size(), occupant == u"file" && answer.isEmpty() ? 2 : 1);
    QCOMPARE(startedAt.value(1), startedAt.size() == 2 ? m_folder->filePath(chosen) : QString());
    // The picture is in the file written; what a link points to stays.
    QFile file(path);
    QCOMPARE(QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) && file.read(5) == "<?xml", picture);
    QCOMPARE(QFileInfo(path).isSymLink(), occupant.endsWith(u"link") && !picture);
    QCOMPARE(QFile::exists(elsewhere), occupant == u"link");
}

// It opens within the screen (also run on a small screen at 144 dpi) and
// where it was last used, with the type last chosen; a name too long gets a
// message, and the dialog stays open.
void tst_PictureExport::saveAsDialog()
{
    QStringList seen; // the type, the folder and whether it fitted, at each opening
    QString told;
    const auto look = [&seen](QFileDialog *dialog) {
        const bool fits = dialog->screen()->availableGeometry().contains(dialog->frameGeometry());
        seen << dialog->selectedNameFilter() << dialog->directory().absolutePath() << QString::number(fits);
    };
    ModalAnswer<QFileDialog> first([&](QFileDialog *dialog) {
        look(dialog);
        dialog->selectFile(m_folder->filePath(QStringLiteral("chart")));
        dialog->selectNameFilter(filterOf(Format::Svg));
        static_cast<QDialog *>(dialog)->accept();
    });
    pictureMenu()->saveAction()->trigger();
    QCOMPARE(entries(), QStringList{QStringLiteral("chart.svg")});
    ModalAnswer<QFileDialog> second([&](QFileDialog *dialog) {
        look(dialog);
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        name->setText(QString(256, u'n'));
        told = answerMessageBoxes([name] { QTest::keyClick(name, Qt::Key_Return); }).value(0).text;
        seen << QString::number(dialog->isVisible());
        dialog->reject();
    });
    pictureMenu()->saveAction()->trigger();
    QCOMPARE(seen, (QStringList{filterOf(Format::Png), PictureMenu::picturesFolder(), "1", filterOf(Format::Svg), m_folder->path(), "1", "1"}));
    QVERIFY2(told.contains(QStringLiteral("is too long: a file name in this folder can have at most 255 bytes, and this one has 260.")), qPrintable(told));
}

void tst_PictureExport::picturesFolder_data()
{
    QTest::addColumn<bool>("hasPictures");
    QTest::newRow("the pictures folder") << true;
    QTest::newRow("home when there is no pictures folder") << false;
}

void tst_PictureExport::picturesFolder()
{
    QFETCH(bool, hasPictures);
    const QByteArray home = qgetenv("HOME");
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(m_folder->path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder->filePath(QStringLiteral("config"))));
    if (hasPictures)
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("Pictures")));
    const QString folder = PictureMenu::picturesFolder();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", configHome);
    if (configHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(folder, hasPictures ? m_folder->filePath(QStringLiteral("Pictures")) : m_folder->path());
}

// 200,000 pixels wide, as at about 17,000 dpi: refused before its memory is
// taken, and before a file is asked for, by Copy Picture, Save Picture As and
// Save Graph alike.
void tst_PictureExport::pictureBeyondASaneSizeIsRefused()
{
    m_window->hide();
    m_window->setFixedSize(200000, m_window->height());
    QGuiApplication::clipboard()->clear();
    pictureMenu()->setFileChooser([](const QString &, const QString &, QString *) -> QString { return {}; });
    for (QAction *way : {pictureMenu()->copyAction(), pictureMenu()->saveAction(), static_cast<QAction *>(nullptr)}) {
        const QList<ShownBox> boxes = answerMessageBoxes([&] {
            way ? way->trigger() : emit control<ccXPButton>("CcXSaveGraph")->Click();
        });
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(QStringLiteral("would be 200000 × 509 pixels at the screen's 96 dpi, more than the 100 million")), qPrintable(boxes[0].text));
    }
    QVERIFY(entries().isEmpty());
    QVERIFY(QGuiApplication::clipboard()->image().isNull());
    QCOMPARE(control<QLineEdit>("txt_picture_number")->text(), QStringLiteral("2"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, FormPicture::capture(m_window.get()));
}

QTEST_MAIN(tst_PictureExport)
#include "tst_pictureexport.moc"
