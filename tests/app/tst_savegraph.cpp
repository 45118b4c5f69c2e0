#include "ccxpbutton.h"
#include "designfonts.h"
#include "formlabel.h"
#include "formpicture.h"
#include "frmmain.h"
#include "graphfile.h"
#include "jchart.h"
#include "modaldialogs.h"
#include "picturebox.h"
#include "runtimeerror.h"
#include "savenotice.h"

#include <QAccessible>
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
#include <sys/stat.h>
#include <unistd.h>

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
    void folderOf_data();
    void folderOf();

    void firstSaveWritesGraph1();
    void fileNameAndNextNumber_data();
    void fileNameAndNextNumber();
    void commaDecimalLocale();
    void savedImageShowsTheChartAndNotTheFrame();
    void savedColumnsStandWhereTheLayoutPutsThem();
    void secondSaveReplacesTheFirstWhenAsked();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void pictureFolder_data();
    void pictureFolder();
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
        return QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
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
    qint32 dotsPerMetreX = 0;
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
    in.skipRawData(8); // compression, image size
    in >> header.dotsPerMetreX;
    return in.status() == QDataStream::Ok ? header : BitmapHeader{};
}

bool exists(const QByteArray &path)
{
    return ::access(path.constData(), F_OK) == 0;
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
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << true;
    for (const char16_t c : {0x01, 0x1F, 0x80, 0x85, 0x9F})
        QTest::addRow("control U+%04X", c) << QStringLiteral("1%1").arg(QChar(c)) << true;
    QTest::newRow("no-break space is a character") << QStringLiteral("1\u00A0") << false;
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
    QTest::newRow("2.5 gives 3.5 in any locale") << "2.5" << "3.5" << "3.5";
    QTest::newRow("0.1 gives 1.1") << "0.1" << "1.1" << "1.1";
    QTest::newRow("2,5 reads as 2") << "2,5" << "3" << "3";
    QTest::newRow("-1 gives 0") << "-1" << "0" << "0";
    QTest::newRow("1E2 gives 101") << "1E2" << "101" << "101";
    QTest::newRow("&H10 gives 17") << "&H10" << "17" << "17";
    QTest::newRow("15 digits") << "999999999999999" << "1E+15" << "1E+15";
    // Refused: the next one cannot be told from the number, or its text reads
    // back as another number.
    QTest::newRow("1E+15 would stick") << "1E+15" << "" << "";
    QTest::newRow("16 digits would stick") << "1234567890123456" << "" << "";
    QTest::newRow("1E300 plus one is 1E300") << "1E300" << "" << "";
    QTest::newRow("-1E300 plus one is -1E300") << "-1E300" << "" << "";
}

void tst_SaveGraph::nextNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, c);
    QFETCH(QString, comma);
    for (const QString &expected : {c, comma}) {
        QLocale::setDefault(expected == c ? QLocale::c() : QLocale(QLocale::German, QLocale::Germany));
        if (expected.isEmpty())
            QVERIFY_THROWS_EXCEPTION(RuntimeError, GraphFile::nextNumber(number));
        else
            QCOMPARE(GraphFile::nextNumber(number), expected);
    }
}

void tst_SaveGraph::folderOf_data()
{
    QTest::addColumn<QByteArray>("executable");
    QTest::addColumn<QByteArray>("folder");
    QTest::newRow("the root folder") << QByteArray("/plinthos") << QByteArray("/");
    QTest::newRow("a Latin-1 name") << QByteArray("/home/\xdc" "bungen/plinthos") << QByteArray("/home/\xdc" "bungen");
    QTest::newRow("no folder is not the root") << QByteArray("plinthos") << QByteArray();
}

void tst_SaveGraph::folderOf()
{
    QFETCH(QByteArray, executable);
    QFETCH(QByteArray, folder);
    QCOMPARE(GraphFile::folderOf(executable), folder);
    // The tests run in their program's folder, whatever its encoding.
    char current[PATH_MAX];
    QVERIFY(::getcwd(current, sizeof current));
    QString problem;
    QCOMPARE(GraphFile::programFolder(&problem), QByteArray(current));
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
    QCOMPARE(header.dotsPerMetreX, 3780); // the screen's 96 dpi

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
    QCOMPARE(number()->text(), QStringLiteral("3.5"));
    clickSave();
    QCOMPARE(folderEntries(), (QStringList{QStringLiteral("graph2.5.bmp"), QStringLiteral("graph3.5.bmp")}));
    QCOMPARE(number()->text(), QStringLiteral("4.5"));
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

void tst_SaveGraph::secondSaveReplacesTheFirstWhenAsked()
{
    number()->setText(QStringLiteral("5"));
    clickSave();
    const QString path = m_folder->filePath(QStringLiteral("graph5.bmp"));
    const QImage first(path);

    m_window->findChild<QLineEdit *>(QStringLiteral("txtMainHeading"))->setText(QStringLiteral("Second"));
    number()->setText(QStringLiteral("5"));
    QCOMPARE(answerMessageBoxes([this] { clickSave(); }, {QStringLiteral("&Replace")}).size(), 1);
    const QImage second(path);
    QVERIFY(first != second);
    QCOMPARE(second.convertToFormat(QImage::Format_RGB32),
             m_window->findChild<PictureBox *>(QStringLiteral("Picture1"))->image().convertToFormat(QImage::Format_RGB32));
    // No temporary file is left beside it.
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("graph5.bmp")});
    QCOMPARE(number()->text(), QStringLiteral("6"));
}

void tst_SaveGraph::overwriteQuestion_data()
{
    QTest::addColumn<QString>("occupant"); // at the first name, with graph2.bmp taken too
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("answer"); // a button's caption; empty for Return
    QTest::addColumn<QString>("picture"); // the file the picture went to; empty for none
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("asked"); // a part of the question
    QTest::newRow("Return saves as the next free number") << "file" << "1" << "" << "graph3.bmp" << "4"
        << "graph1.bmp already exists.\n\nReplace it with this picture, or save this one as graph3.bmp?";
    QTest::newRow("abc counts on to 1, which is taken") << "file" << "abc" << "" << "graph3.bmp" << "4" << "graph1.bmp already";
    QTest::newRow("Cancel keeps everything") << "file" << "1" << "Cancel" << "" << "1" << "graph1.bmp already";
    QTest::newRow("a link is replaced itself") << "link" << "1" << "&Replace" << "graph1.bmp" << "2" << ". Replacing it replaces the link itself;";
    QTest::newRow("a dangling link is not followed") << "dangling link" << "1" << "&Replace" << "graph1.bmp" << "2" << ", which does not exist.";
    QTest::newRow("no number after the last: Return cancels") << "file" << "999999999999999" << "" << "" << "999999999999999"
        << "exists.\n\nReplace it with this picture?";
}

void tst_SaveGraph::overwriteQuestion()
{
    QFETCH(QString, occupant);
    QFETCH(QString, typed);
    QFETCH(QString, answer);
    QFETCH(QString, picture);
    QFETCH(QString, next);
    QFETCH(QString, asked);
    QTemporaryDir outside; // where a link points
    const QString target = outside.filePath(QStringLiteral("elsewhere.bmp"));
    const QString first = m_folder->filePath(QStringLiteral("graph%1.bmp").arg(typed == u"abc" ? QStringLiteral("1") : typed));
    QFile earlier(occupant == u"file" ? first : target);
    QVERIFY(occupant == u"dangling link" || (earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7 && earlier.flush()));
    QVERIFY(occupant == u"file" || QFile::link(target, first));
    QVERIFY(QFile(m_folder->filePath(QStringLiteral("graph2.bmp"))).open(QIODevice::WriteOnly));
    number()->setText(typed);
    if (typed == u"abc")
        clickSave(); // a new graphabc.bmp; the number then shows 1
    QStringList entries = folderEntries();
    if (!picture.isEmpty() && !entries.contains(picture))
        (entries << picture).sort();

    const QList<ShownBox> boxes = answerMessageBoxes([this] { clickSave(); }, {answer});
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].text.contains(asked), qPrintable(boxes[0].text));
    QCOMPARE(number()->text(), next);
    QCOMPARE(folderEntries(), entries);
    if (!picture.isEmpty())
        QCOMPARE(QImage(m_folder->filePath(picture)).size(), QSize(1131, 509));
    // A link is replaced as a whole or kept; what it points to stays as it was.
    QCOMPARE(QFileInfo(first).isSymLink(), occupant != u"file" && picture.isEmpty());
    QCOMPARE(QFile::exists(target), occupant == u"link");
    if (occupant == u"link" || picture != u"graph1.bmp")
        QCOMPARE(QFileInfo(occupant == u"link" ? target : first).size(), 7);
}

void tst_SaveGraph::pictureFolder_data()
{
    QTest::addColumn<QByteArray>("program"); // the program's folder, in the test's folder
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("hasPictures");
    QTest::addColumn<QByteArray>("saved"); // where the pictures go; empty for nowhere
    QTest::newRow("a writable program folder keeps its pictures") << QByteArray("program") << true << true << QByteArray("program");
    QTest::newRow("a program folder named in Latin-1") << QByteArray("\xdc" "bungen") << true << true << QByteArray("\xdc" "bungen");
    QTest::newRow("a read-only program folder: the pictures folder") << QByteArray("program") << false << true << QByteArray("home/Pictures");
    QTest::newRow("a read-only program folder: home without a pictures folder") << QByteArray("program") << false << false << QByteArray("home");
    QTest::newRow("no program folder: nowhere, not the root") << QByteArray() << true << true << QByteArray();
}

void tst_SaveGraph::pictureFolder()
{
    QFETCH(QByteArray, program);
    QFETCH(bool, writable);
    QFETCH(bool, hasPictures);
    QFETCH(QByteArray, saved);
    const QByteArray base = QFile::encodeName(m_folder->path()) + '/';
    QVERIFY(QDir(m_folder->path()).mkpath(hasPictures ? QStringLiteral("home/Pictures") : QStringLiteral("home")));
    QVERIFY(program.isEmpty() || ::mkdir((base + program).constData(), writable ? 0700 : 0500) == 0);
    const auto remove = qScopeGuard([&] { // QTemporaryDir cannot name a folder that is not UTF-8
        for (const char *file : {"/graph1.bmp", "/graph2.bmp"})
            ::unlink((base + program + file).constData());
        ::rmdir((base + program).constData());
    });
    if (!writable && ::access((base + program).constData(), W_OK) == 0)
        QSKIP("This user may write into any folder; the test runs as an unprivileged user too.");
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", base + "home");
    const auto restore = qScopeGuard([&] { qputenv("HOME", home); });
    const bool rootHadOne = exists("/graph1.bmp");
    m_window->setPictureFolder(program.isEmpty() ? QByteArray() : base + program);

    // Two saves: where each picture went is told, why there only once.
    for (const char *file : {"/graph1.bmp", "/graph2.bmp"}) {
        const QList<ShownBox> boxes = answerMessageBoxes([this] { clickSave(); });
        QCOMPARE(exists(base + saved + file), !saved.isEmpty());
        auto *notice = m_window->findChild<SaveNotice *>();
        if (saved.isEmpty()) {
            QVERIFY(boxes.size() == 1 && boxes[0].text.contains(QStringLiteral("cannot find the program's folder")));
            QVERIFY(exists("/graph1.bmp") == rootHadOne && !notice);
            return;
        }
        QVERIFY(boxes.isEmpty() && notice && notice->isVisible());
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(notice);
        QCOMPARE(accessible->role(), QAccessible::Notification);
        const QString told = accessible->text(QAccessible::Name);
        QVERIFY2(told.startsWith(QStringLiteral("Saved ") + QFile::decodeName(base + saved + file)), qPrintable(told));
        QCOMPARE(told.contains(QStringLiteral("cannot be written to")), saved != program && file[6] == '1');
        // Neither in the picture nor over a control.
        QVERIFY(notice->y() >= FormPicture::area(m_window.get()).bottom());
        QVERIFY(!notice->geometry().intersects(m_window->findChild<QWidget *>(QStringLiteral("Frame1"))->geometry()));
    }
    QCOMPARE(number()->text(), QStringLiteral("3"));
}

void tst_SaveGraph::refusedNumberWritesNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("leading ../") << "../../etc/x";
    QTest::newRow("slash") << "sub/1";
    QTest::newRow("control character") << "1\x01";
    QTest::newRow("colon") << "1:2";
    QTest::newRow("too large to read") << "1E400";
    QTest::newRow("too large to count on from: the next would stick") << "1E+15";
    QTest::newRow("C1 control character") << "1\u0085";
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
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("advice");
    QTest::addColumn<QByteArray>("diskSize"); // of a tmpfs mounted on the folder; empty for none
    // As root, permissions do not stop a write; a folder that takes the
    // file's name, a folder that is not there, or a full disk does.
    QTest::newRow("the final rename fails: a folder has the file's name") << "" << "3" << "Is a directory"
        << "A folder has that name: use another picture number, or move the folder." << QByteArray();
    // These two also run on a small screen at 144 dpi.
    QTest::newRow("the final rename fails: the name is too long") << "" << QString(300, u'n') << "File name too long"
        << "use a shorter picture number." << QByteArray();
    QTest::newRow("the program folder is missing") << "missing" << "3" << "No such file or directory"
        << "The folder is not there" << QByteArray();
    QTest::newRow("the disk takes part of the file") << "disk" << "3" << "No space left on device"
        << "Free some space on the disk" << QByteArray("64k");
    QTest::newRow("a long path wraps within the screen") << QStringLiteral("long/").repeated(560).append(QString(200, u'l'))
        << "3" << "No such file or directory" << "The folder is not there" << QByteArray();
    // For a user whom permissions bind.
    QTest::newRow("the existing file is read-only") << "" << "3" << "the file is read-only"
        << "the file is as it was. Use another picture number, or make the file writable" << QByteArray();
}

void tst_SaveGraph::failedWriteChangesNothing()
{
    QFETCH(QString, folder);
    QFETCH(QString, typed);
    QFETCH(QString, reason);
    QFETCH(QString, advice);
    QFETCH(QByteArray, diskSize);
    const QString folderPath = m_folder->filePath(folder);
    const QString file = QStringLiteral("graph%1.bmp").arg(typed);
    if (folder.isEmpty() && reason == u"Is a directory")
        QVERIFY(QDir(m_folder->path()).mkdir(file));
    else
        m_window->setPictureFolder(folderPath);
    QFile readOnly(m_folder->filePath(file));
    if (reason == u"the file is read-only" && readOnly.open(QIODevice::WriteOnly) && readOnly.setPermissions(QFile::ReadOwner)
        && QFileInfo(readOnly).isWritable())
        QSKIP("This user may write any file; the test runs as an unprivileged user too.");
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
    const QSize windowSize = m_window->size();

    number()->setText(typed);
    m_window->findChild<QLineEdit *>(QStringLiteral("txtMainHeading"))->setText(QStringLiteral("changed"));
    // A read-only file is asked about first.
    const QList<ShownBox> boxes = answerMessageBoxes([this] { clickSave(); }, {QStringLiteral("&Replace")});
    const QString message = boxes.value(boxes.size() - 1).text;
    QVERIFY2(message.contains(QDir::toNativeSeparators(QDir(folderPath).filePath(file)) + QStringLiteral(": ") + reason + u'.'),
             qPrintable(message));
    QVERIFY2(message.contains(advice), qPrintable(message));
    QVERIFY(boxes.last().fitsScreen);
    QCOMPARE(number()->text(), typed);
    QCOMPARE(folderEntries(), entries);
    if (!diskSize.isEmpty())
        QVERIFY2(QDir(folderPath).isEmpty(), "a temporary file was left on the full disk");
    QCOMPARE(m_window->findChild<PictureBox *>(QStringLiteral("Picture1"))->image(), before);
    QCOMPARE(m_window->size(), windowSize);
}

void tst_SaveGraph::rootFolderDoublesTheSeparator()
{
    // A program in the root folder writes to "//graph1.bmp", which the
    // system resolves to the file of that name in the root.
    const QByteArray path = GraphFile::path("/", QStringLiteral("1"));
    QCOMPARE(path, QByteArray("//graph1.bmp"));
    char resolved[PATH_MAX];
    QVERIFY(::realpath(path.left(path.lastIndexOf('/') + 1).constData(), resolved));
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
