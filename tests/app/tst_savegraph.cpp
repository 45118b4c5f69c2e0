#include "ccxpbutton.h"
#include "designfonts.h"
#include "formlabel.h"
#include "frmmain.h"
#include "graphfile.h"
#include "jchart.h"
#include "modaldialogs.h"
#include "picturebox.h"
#include "runtimeerror.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <sys/mount.h>

class tst_SaveGraph : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pictureNumberProblem_data();
    void pictureNumberProblem();
    void nextNumber_data();
    void nextNumber();

    void firstSaveWritesGraph1();
    void fileNameAndNextNumber_data();
    void fileNameAndNextNumber();
    void commaDecimalLocale();
    void savedImageShowsTheChartAndNotTheFrame();
    void savedColumnsStandWhereTheLayoutPutsThem();
    void secondSaveReplacesTheFirst();
    void refusedNumberWritesNothing_data();
    void refusedNumberWritesNothing();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
    void rootFolderDoublesTheSeparator();
    void clickDuringAnErrorStartsNoSecondSave();

private:
    void clickSave() { emit m_window->findChild<ccXPButton *>(QStringLiteral("CcXSaveGraph"))->Click(); }
    QLineEdit *number() const { return m_window->findChild<QLineEdit *>(QStringLiteral("txt_picture_number")); }
    QStringList folderEntries() const
    {
        return QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<frmMain> m_window;
};

namespace {

// The fields of a bitmap file's headers that tell its kind.
struct BitmapHeader
{
    QByteArray magic;
    qint32 width = 0;
    qint32 height = 0;
    quint16 bitsPerPixel = 0;
};

BitmapHeader readHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QDataStream in(&file);
    in.setByteOrder(QDataStream::LittleEndian);
    BitmapHeader header;
    header.magic.resize(2);
    in.readRawData(header.magic.data(), 2);
    in.skipRawData(16); // file size, reserved, pixel offset, header size
    in >> header.width >> header.height;
    in.skipRawData(2); // planes
    in >> header.bitsPerPixel;
    return in.status() == QDataStream::Ok ? header : BitmapHeader{};
}

} // namespace

void tst_SaveGraph::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    installDesignFonts();
}

void tst_SaveGraph::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_window = std::make_unique<frmMain>();
    m_window->setPictureFolder(m_folder->path());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_SaveGraph::cleanup()
{
    m_window.reset();
    m_folder.reset();
    QLocale::setDefault(QLocale::c());
}

void tst_SaveGraph::pictureNumberProblem_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("refused");
    QTest::newRow("1") << "1" << false;
    QTest::newRow("007") << "007" << false;
    QTest::newRow("2.5") << "2.5" << false;
    QTest::newRow("x") << "x" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("three dots") << "..." << false;
    QTest::newRow("non-ASCII letters") << QString::fromUtf8("Übersicht") << false;
    QTest::newRow("blank inside") << "1 2" << false;
    QTest::newRow("slash") << "a/b" << true;
    QTest::newRow("leading ../") << "../x" << true;
    QTest::newRow("backslash") << "..\\x" << true;
    QTest::newRow("dot alone") << "." << false;
    QTest::newRow("two dots alone") << ".." << false;
    QTest::newRow("tab") << "1\t2" << true;
    QTest::newRow("line feed") << "1\n" << true;
    QTest::newRow("NUL") << QString(QChar(0)) << true;
    QTest::newRow("delete") << QString(QChar(0x7F)) << true;
    QTest::newRow("colon") << "c:1" << true;
    QTest::newRow("asterisk") << "1*" << true;
    QTest::newRow("question mark") << "?" << true;
    QTest::newRow("quote") << "\"1\"" << true;
    QTest::newRow("angle brackets") << "<1>" << true;
    QTest::newRow("bar") << "1|2" << true;
}

void tst_SaveGraph::pictureNumberProblem()
{
    QFETCH(QString, number);
    QFETCH(bool, refused);
    QCOMPARE(!GraphFile::pictureNumberProblem(number).isEmpty(), refused);
}

void tst_SaveGraph::nextNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("comma");
    QTest::newRow("1 gives 2") << "1" << "2" << "2";
    QTest::newRow("7 gives 8") << "7" << "8" << "8";
    QTest::newRow("007 gives 8") << "007" << "8" << "8";
    QTest::newRow("x gives 1") << "x" << "1" << "1";
    QTest::newRow("empty gives 1") << "" << "1" << "1";
    QTest::newRow("2.5 gives 3.5") << "2.5" << "3.5" << "3,5";
    QTest::newRow("2,5 reads as 2") << "2,5" << "3" << "3";
    QTest::newRow("-1 gives 0") << "-1" << "0" << "0";
    QTest::newRow("1E2 gives 101") << "1E2" << "101" << "101";
    QTest::newRow("&H10 gives 17") << "&H10" << "17" << "17";
    QTest::newRow("15 digits") << "999999999999999" << "1E+15" << "1E+15";
}

void tst_SaveGraph::nextNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, c);
    QFETCH(QString, comma);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(GraphFile::nextNumber(number), c);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(GraphFile::nextNumber(number), comma);
}

void tst_SaveGraph::firstSaveWritesGraph1()
{
    clickSave();
    const QString path = m_folder->filePath(QStringLiteral("graph1.bmp"));
    QVERIFY(QFile::exists(path));
    QCOMPARE(number()->text(), QStringLiteral("2"));

    const BitmapHeader header = readHeader(path);
    QCOMPARE(header.magic, QByteArray("BM"));
    QCOMPARE(header.width, 1131);
    QCOMPARE(qAbs(header.height), 509);
    QCOMPARE(header.bitsPerPixel, quint16(24));

    // The window neither shrinks nor grows; the buffer holds the picture and
    // stays hidden.
    QCOMPARE(m_window->size(), QSize(1131, 644));
    const auto *buffer = m_window->findChild<PictureBox *>(QStringLiteral("Picture1"));
    QVERIFY(!buffer->isVisible());
    QCOMPARE(buffer->image().size(), QSize(1131, 509));
    QCOMPARE(buffer->image().convertToFormat(QImage::Format_RGB32),
             QImage(path).convertToFormat(QImage::Format_RGB32));
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("graph1.bmp")});
}

void tst_SaveGraph::fileNameAndNextNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("next");
    QTest::newRow("7") << "7" << "graph7.bmp" << "8";
    QTest::newRow("007 keeps its zeros in the name") << "007" << "graph007.bmp" << "8";
    QTest::newRow("x has no number") << "x" << "graphx.bmp" << "1";
    QTest::newRow("2.5") << "2.5" << "graph2.5.bmp" << "3.5";
    QTest::newRow("empty") << "" << "graph.bmp" << "1";
    QTest::newRow("dot") << "." << "graph..bmp" << "1";
    QTest::newRow("two dots") << ".." << "graph...bmp" << "1";
    QTest::newRow("three dots") << "..." << "graph....bmp" << "1";
}

void tst_SaveGraph::fileNameAndNextNumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);
    QFETCH(QString, next);
    number()->setText(typed);
    clickSave();
    QCOMPARE(folderEntries(), QStringList{file});
    QCOMPARE(number()->text(), next);
}

void tst_SaveGraph::commaDecimalLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    number()->setText(QStringLiteral("2.5"));
    clickSave();
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("graph2.5.bmp")});
    QCOMPARE(number()->text(), QStringLiteral("3,5"));
}

void tst_SaveGraph::savedImageShowsTheChartAndNotTheFrame()
{
    auto *heading = m_window->findChild<QLineEdit *>(QStringLiteral("txtMainHeading"));
    heading->setText(QStringLiteral("Sales"));
    clickSave();
    const QImage saved = QImage(m_folder->filePath(QStringLiteral("graph1.bmp"))).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved.size(), QSize(1131, 509));

    // What the window shows in the same rows, pixel for pixel.
    const QImage shown = m_window->grab(QRect(0, 0, 1131, 509)).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved, shown);

    // The typed heading is there: dark text pixels in the heading's box.
    int darkPixels = 0;
    for (int y = 8; y < 49; ++y)
        for (int x = 72; x < 300; ++x)
            darkPixels += qGray(saved.pixel(x, y)) < 100;
    QVERIFY(darkPixels > 20);

    // Not one pixel of the controls frame, whose background is light blue.
    const QRgb frameColour = qRgb(192, 192, 255);
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x)
            QVERIFY2(saved.pixel(x, y) != frameColour, qPrintable(QStringLiteral("frame pixel at %1,%2").arg(x).arg(y)));
}

void tst_SaveGraph::savedColumnsStandWhereTheLayoutPutsThem()
{
    // Two columns, 50 % red and 95 % blue, on the chart at (72, 96): with a
    // pitch of 7615 twips each is 3807.5 twips wide, so at 15 twips a pixel
    // the first spans x 3..256 and y 166..325 of the chart, the second
    // x 511..764 and y 22..325.
    auto *value = m_window->findChild<QLineEdit *>(QStringLiteral("Text1"));
    auto *add = m_window->findChild<ccXPButton *>(QStringLiteral("CcXAddColumn"));
    emit m_window->findChild<FormLabel *>(QStringLiteral("lblOtherColors(12)"))->Click();
    value->setText(QStringLiteral("50"));
    emit add->Click();
    emit m_window->findChild<FormLabel *>(QStringLiteral("lblOtherColors(6)"))->Click();
    value->setText(QStringLiteral("95"));
    emit add->Click();
    clickSave();

    const QImage saved(m_folder->filePath(QStringLiteral("graph1.bmp")));
    const QPoint chart(72, 96);
    const struct { QPoint pixel; QRgb colour; } expected[] = {
        {{4, 167}, qRgb(255, 0, 0)},    // first column, inside its outline
        {{255, 324}, qRgb(255, 0, 0)},
        {{3, 166}, qRgb(0, 0, 0)},      // its outline
        {{256, 250}, qRgb(0, 0, 0)},
        {{257, 250}, qRgb(255, 255, 255)},
        {{4, 165}, qRgb(255, 255, 255)}, // above it
        {{512, 23}, qRgb(0, 0, 255)},   // second column
        {{763, 324}, qRgb(0, 0, 255)},
        {{510, 200}, qRgb(255, 255, 255)},
        {{0, 0}, qRgb(0, 0, 0)},        // the chart's border
        {{1021, 328}, qRgb(0, 0, 0)},
    };
    for (const auto &[pixel, colour] : expected)
        QVERIFY2(saved.pixel(chart + pixel) == colour, qPrintable(QStringLiteral("chart pixel %1,%2 is %3").arg(pixel.x()).arg(pixel.y()).arg(QColor(saved.pixel(chart + pixel)).name())));
}

void tst_SaveGraph::secondSaveReplacesTheFirst()
{
    number()->setText(QStringLiteral("5"));
    clickSave();
    const QString path = m_folder->filePath(QStringLiteral("graph5.bmp"));
    const QImage first(path);

    m_window->findChild<QLineEdit *>(QStringLiteral("txtMainHeading"))->setText(QStringLiteral("Second"));
    number()->setText(QStringLiteral("5"));
    clickSave();
    const QImage second(path);
    QVERIFY(first != second);
    QCOMPARE(second.convertToFormat(QImage::Format_RGB32),
             m_window->findChild<PictureBox *>(QStringLiteral("Picture1"))->image().convertToFormat(QImage::Format_RGB32));
    // No temporary file is left beside it.
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("graph5.bmp")});
    QCOMPARE(number()->text(), QStringLiteral("6"));
}

void tst_SaveGraph::refusedNumberWritesNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("leading ../") << "../../etc/x";
    QTest::newRow("slash") << "sub/1";
    QTest::newRow("control character") << "1\x01";
    QTest::newRow("colon") << "1:2";
    QTest::newRow("too large to count on from") << "1E400";
}

void tst_SaveGraph::refusedNumberWritesNothing()
{
    QFETCH(QString, typed);
    // Something the window could write into if it went one folder up.
    const QString inner = m_folder->filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(inner));
    m_window->setPictureFolder(inner);
    number()->setText(typed);

    QString message;
    ModalAnswer<QMessageBox> answer([&message](QMessageBox *box) {
        message = box->text();
        box->accept();
    });
    clickSave();
    QVERIFY(answer.seen());
    QVERIFY2(message.contains(typed), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("Nothing was saved")));
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("program")});
    QVERIFY(QDir(inner).isEmpty());
    QCOMPARE(number()->text(), typed);
    QVERIFY(m_window->findChild<PictureBox *>(QStringLiteral("Picture1"))->image().isNull());
}

void tst_SaveGraph::failedWriteChangesNothing_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expectedPath");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QByteArray>("diskSize"); // of a tmpfs mounted on the folder; empty for none
    // As root, permissions do not stop a write; a folder that takes the
    // file's name, a folder that is not there, or a full disk does.
    QTest::newRow("a folder has the file's name") << "" << "graph3.bmp" << "Filename refers to a directory" << QByteArray();
    QTest::newRow("the program folder is missing") << "missing" << "missing/graph3.bmp"
                                                   << "No such file or directory" << QByteArray();
    QTest::newRow("the disk takes part of the file") << "disk" << "disk/graph3.bmp"
                                                     << "No space left on device" << QByteArray("64k");
}

void tst_SaveGraph::failedWriteChangesNothing()
{
    QFETCH(QString, folder);
    QFETCH(QString, expectedPath);
    QFETCH(QString, reason);
    QFETCH(QByteArray, diskSize);
    const QString folderPath = m_folder->filePath(folder);
    if (folder.isEmpty())
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("graph3.bmp")));
    else
        m_window->setPictureFolder(folderPath);
    if (!diskSize.isEmpty()) {
        QVERIFY(QDir().mkpath(folderPath));
        const QByteArray options = "size=" + diskSize;
        if (::mount("tmpfs", QFile::encodeName(folderPath).constData(), "tmpfs", 0, options.constData()) != 0)
            QSKIP(qPrintable(QStringLiteral("cannot mount a small tmpfs here: %1").arg(QString::fromLocal8Bit(std::strerror(errno)))));
    }
    const auto unmount = qScopeGuard([&] {
        if (!diskSize.isEmpty())
            ::umount2(QFile::encodeName(folderPath).constData(), MNT_DETACH);
    });

    // A first good save gives the buffer a picture to keep.
    number()->setText(QStringLiteral("keep"));
    if (folder.isEmpty())
        clickSave();
    const QImage before = m_window->findChild<PictureBox *>(QStringLiteral("Picture1"))->image();
    const QStringList entries = folderEntries();

    number()->setText(QStringLiteral("3"));
    m_window->findChild<QLineEdit *>(QStringLiteral("txtMainHeading"))->setText(QStringLiteral("changed"));
    QString message;
    ModalAnswer<QMessageBox> answer([&message](QMessageBox *box) {
        message = box->text();
        box->accept();
    });
    clickSave();
    QVERIFY(answer.seen());
    QVERIFY2(message.contains(QDir::toNativeSeparators(m_folder->filePath(expectedPath)) + QStringLiteral(": ") + reason + u'.'),
             qPrintable(message));
    QCOMPARE(number()->text(), QStringLiteral("3"));
    QCOMPARE(folderEntries(), entries);
    if (!diskSize.isEmpty())
        QVERIFY2(QDir(folderPath).isEmpty(), "a temporary file was left on the full disk");
    QCOMPARE(m_window->findChild<PictureBox *>(QStringLiteral("Picture1"))->image(), before);
    QCOMPARE(m_window->size(), QSize(1131, 644));
}

void tst_SaveGraph::rootFolderDoublesTheSeparator()
{
    // A program in the root folder writes to "//graph1.bmp", which the
    // system resolves to the file of that name in the root.
    const QString path = GraphFile::path(QStringLiteral("/"), QStringLiteral("1"));
    QCOMPARE(path, QStringLiteral("//graph1.bmp"));
    char resolved[PATH_MAX];
    QVERIFY(::realpath(QFile::encodeName(path.left(path.lastIndexOf(u'/') + 1)).constData(), resolved));
    QCOMPARE(QByteArray(resolved), QByteArray("/"));

    // Any folder given with its separator at the end, as the root is, gets
    // the file in it, not in a folder of an empty name.
    m_window->setPictureFolder(m_folder->path() + u'/');
    clickSave();
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("graph1.bmp")});
    QCOMPARE(number()->text(), QStringLiteral("2"));
}

void tst_SaveGraph::clickDuringAnErrorStartsNoSecondSave()
{
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("graph1.bmp")));
    int boxes = 0;
    std::unique_ptr<ModalAnswer<QMessageBox>> inner;
    ModalAnswer<QMessageBox> answer([this, &boxes, &inner](QMessageBox *box) {
        ++boxes;
        // A second click while the error is shown.
        inner = std::make_unique<ModalAnswer<QMessageBox>>([&boxes](QMessageBox *nested) {
            ++boxes;
            nested->accept();
        });
        clickSave();
        box->accept();
    });
    clickSave();
    QVERIFY(answer.seen());
    QCOMPARE(boxes, 1);
    QCOMPARE(number()->text(), QStringLiteral("1"));
}

QTEST_MAIN(tst_SaveGraph)
#include "tst_savegraph.moc"
