#include "ccxpbutton.h"
#include "charteditor.h"
#include "columndialog.h"
#include "designfonts.h"
#include "documentcontroller.h"
#include "formpicture.h"
#include "frmmain.h"
#include "jchart.h"
#include "modaldialogs.h"
#include "picturemenu.h"
#include "runtimeerror.h"

#include <QAction>
#include <QAbstractButton>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <QWindow>

#include <memory>

#include <sys/stat.h>

// The window's chart as a document: saved and opened again, refused when
// bad, changed and changed back step by step, and kept when the window closes.
class tst_Document : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void undoRedo_data();
    void undoRedo();
    void closePrompt_data();
    void closePrompt();

private:
    DocumentController *document() const { return m_window->document(); }
    jChart *chart() const { return m_window->findChild<jChart *>(QStringLiteral("UserControl11")); }
    QLineEdit *heading() const { return m_window->findChild<QLineEdit *>(QStringLiteral("txtMainHeading")); }
    QString title() const { return m_window->windowHandle()->title(); }
    // Save Chart As and Open Chart answer with this path.
    void chooseFile(const QString &path)
    {
        document()->setFileChooser([path](bool, const QString &, const QString &, QString *) { return path; });
    }
    // The columns as "label:value", the undo step's name in [ ], and the
    // heading when it is not the design's.
    QString state() const;
    void step(const QString &step);

    QTemporaryDir m_folder;
    std::unique_ptr<frmMain> m_window;
    QHash<QString, QImage> m_pictures; // the "picture" step's, by name
};

void tst_Document::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    installDesignFonts();
    QVERIFY(m_folder.isValid());
}

void tst_Document::init()
{
    m_window = std::make_unique<frmMain>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void tst_Document::cleanup()
{
    // Nothing asks on the way out.
    document()->history()->setClean();
    m_window.reset();
}

QString tst_Document::state() const
{
    QStringList columns;
    for (const ChartColumn &column : chart()->columns())
        columns << QStringLiteral("%1:%2").arg(column.label).arg(column.value);
    QString state = columns.join(u' ') + QStringLiteral(" [%1]").arg(document()->history()->undoText());
    if (heading()->text() != ChartDocument().heading)
        state += QStringLiteral(" heading:") + heading()->text();
    return state.trimmed();
}

void tst_Document::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("headingText");
    QTest::addColumn<QString>("savedTitle");
    QTest::newRow("chart file") << "sales.plinthos" << "Sales in May ✓" << "   The Plinthos - sales.plinthos";
    QTest::newRow("a name with a dot gets the extension") << "sales.2024" << "Sales" << "   The Plinthos - sales.2024.plinthos";
    // A table holds the data only: the chart itself stays unsaved.
    QTest::newRow("CSV table") << "sales.csv" << ChartDocument().heading << "   The Plinthos*";
    // Copied, cleared and pasted back into the same window.
    QTest::newRow("Copy Picture, Clear Graph, Paste Columns") << "" << ChartDocument().heading << "   The Plinthos*";
}

// What is saved comes back: the same columns, texts and picture, pixel for
// pixel, whatever column the keyboard was on in the saved window.
void tst_Document::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, headingText);
    QFETCH(QString, savedTitle);
    heading()->setText(headingText);
    for (const ChartColumn &column : {ChartColumn{QStringLiteral("Apples, \"red\""), 60, 0x0000FF, 0x00FF00},
                                      ChartColumn{QString(), 95, 0xE0E0E0, 0}, ChartColumn{QStringLiteral("  Ünï  "), -5, 0x855475, 0xFFFFFF}})
        document()->editor()->addColumn(column);
    chart()->setFocus();
    chart()->setCurrentColumn(1);
    if (name.isEmpty()) {
        const ChartDocument copied = document()->document();
        const QImage picture = FormPicture::capture(m_window.get());
        QTest::keyClick(chart(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        step(QStringLiteral("clear"));
        QCOMPARE(chart()->ItemCount(), 0);
        chart()->setFocus();
        QTest::keySequence(chart(), QKeySequence::Paste);
        QCOMPARE(document()->document(), copied);
        QCOMPARE(FormPicture::capture(m_window.get()), picture);
        QCOMPARE(document()->history()->undoText(), QStringLiteral("Paste 3 Columns"));
        QCOMPARE(title(), savedTitle);
        return;
    }
    chooseFile(m_folder.filePath(name));
    QVERIFY(document()->saveChart());
    QCOMPARE(title(), savedTitle);
    const QString written = savedTitle.contains(u'-') ? savedTitle.section(QStringLiteral(" - "), 1) : name;
    const QString path = m_folder.filePath(written);
    const ChartDocument saved = document()->document();
    const QImage picture = FormPicture::capture(m_window.get());

    document()->history()->setClean();
    m_window = std::make_unique<frmMain>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // The chart file is dropped on the window, the table opened.
    if (written.endsWith(u".plinthos")) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(m_window->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_window.get(), &enter);
        QDropEvent drop(QPointF(m_window->rect().center()), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_window.get(), &drop);
        QVERIFY(enter.isAccepted() && drop.isAccepted());
        QTRY_COMPARE(document()->document(), saved);
    } else {
        document()->load(path);
    }
    QCOMPARE(document()->document(), saved);
    QCOMPARE(FormPicture::capture(m_window.get()), picture);
    QCOMPARE(title(), QStringLiteral("   The Plinthos - ") + written);
    QCOMPARE(document()->history()->count(), 0);
}

void tst_Document::badInputChangesNothing_data()
{
    QTest::addColumn<QString>("name");    // a file in the test's folder; empty for a paste
    QTest::addColumn<QByteArray>("input"); // the file's bytes, or the pasted text
    QTest::addColumn<QString>("message"); // after the file's path

    const QByteArray rows101 = QByteArray("A,1\n").repeated(101);
    QByteArray columns101 = "{\"format\": \"plinthos-chart\", \"version\": 1, \"columns\": [";
    for (int i = 0; i < 101; ++i)
        columns101 += (i ? "," : "") + QByteArray("{\"value\": 1}");
    QTest::newRow("no JSON") << "a.plinthos" << QByteArray("Apples,1")
                             << ", line 1: this is not a chart file: its JSON is broken here (illegal value).";
    QTest::newRow("JSON that is no chart") << "a.json" << QByteArray("{\"a\": 1}")
                                           << ": this is not a Plinthos chart: it does not say \"format\": \"plinthos-chart\".";
    QTest::newRow("newer format version")
        << "a.plinthos" << QByteArray("{\"format\": \"plinthos-chart\", \"version\": 2}")
        << ": this chart was saved by a newer Plinthos in format version 2; this Plinthos reads format version 1.";
    QTest::newRow("JSON value no number")
        << "a.plinthos" << QByteArray("{\"format\": \"plinthos-chart\", \"version\": 1, \"columns\": [{\"value\": 1}, {\"value\": \"x\"}]}")
        << ", at columns[1].value: the value \"x\" is not a number.";
    QTest::newRow("JSON unknown colour")
        << "a.plinthos" << QByteArray("{\"format\": \"plinthos-chart\", \"version\": 1, \"columns\": [{\"value\": 1, \"colour\": \"mauve\"}]}")
        << ", at columns[0].colour: \"mauve\" is not a colour: write #RRGGBB or a palette colour's name, such as red or light grey.";
    QTest::newRow("JSON 101 columns") << "a.plinthos" << columns101 + "]}"
                                      << ", at columns: the chart has 101 columns; a chart holds at most 100.";
    QTest::newRow("CSV value missing") << "a.csv" << QByteArray("A,1\nB,\n") << ", line 2: the value is missing.";
    QTest::newRow("CSV value no number") << "a.csv" << QByteArray("A,1\r\n\r\nB,ten\r\n") << ", line 3: the value \"ten\" is not a number.";
    QTest::newRow("version past any number") << "a.plinthos" << QByteArray("{\"format\": \"plinthos-chart\", \"version\": 1e30}")
        << ": this chart was saved by a newer Plinthos in format version 1E+30; this Plinthos reads format version 1.";
    QTest::newRow("CSV first value past any number") << "a.csv" << QByteArray("A,1e999") << ", line 1: the value 1e999 is out of range: a whole number from -32768 to 32767 is needed.";
    QTest::newRow("CSV long colour, quoted in part") << "a.csv" << "A,1," + QByteArray(100000, 'x')
        << ", line 1: \"" + QString(40, u'x') + "…\" is not a colour: write #RRGGBB or a palette colour's name, such as red or light grey.";
    QTest::newRow("CSV label past a text box") << "a.csv" << QByteArray(40000, 'L') + ",1"
        << ", line 1: the text is 40000 characters long; a label or a title holds at most 32767.";
    QTest::newRow("CSV value out of range") << "a.csv" << QByteArray("A,40000")
                                            << ", line 1: the value 40000 is out of range: a whole number from -32768 to 32767 is needed.";
    QTest::newRow("CSV quote never closed") << "a.csv" << QByteArray("A,1\n\"B,2\n") << ", line 2: a field opens a quote that is never closed.";
    QTest::newRow("CSV 101 rows") << "a.csv" << rows101 << ": it has 101 rows of columns; a chart holds at most 100.";
    QTest::newRow("invalid UTF-8") << "a.csv" << QByteArray("A,1\nB\xFF,2\n") << ", line 2: the text is not UTF-8; save the file as UTF-8 text.";
    QTest::newRow("a folder") << "folder" << QByteArray() << ": this is a folder, not a chart file.";
    QTest::newRow("a pipe, which would never end") << "pipe.csv" << QByteArray() << ": this is a device or a pipe, not a chart file.";
    QTest::newRow("no such file") << "missing.plinthos" << QByteArray() << ": the file cannot be read: No such file or directory.";

    QTest::newRow("paste: unknown colour") << "" << QByteArray("A\t5\tmauve")
                                           << "The pasted text, line 1: \"mauve\" is not a colour: write #RRGGBB or a palette colour's name, such as red or light grey.";
    QTest::newRow("paste: nothing") << "" << QByteArray("\n") << "The pasted text holds no columns: copy rows of a label and a value.";
    QTest::newRow("paste: 5 MB") << "" << QByteArray(5 * 1024 * 1024, 'x') << "The pasted text is larger than 4 MB, far more than a chart holds.";
    QTest::newRow("paste: past the capacity") << "" << QByteArray("A\t1\n").repeated(99)
                                              << "Pasting 99 columns would give the chart 101; a chart holds at most 100, and this one holds 2 already.";
}

// The chart, its history and the title stay as they were.
void tst_Document::badInputChangesNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, input);
    QFETCH(QString, message);
    document()->editor()->addColumn({QStringLiteral("A"), 10, 0, 0});
    document()->editor()->addColumn({QStringLiteral("B"), 20, 0, 0});
    const ChartDocument before = document()->document();
    const QString titleBefore = title();

    const QString path = m_folder.filePath(name);
    if (name == u"folder")
        QVERIFY(QDir(m_folder.path()).mkpath(name));
    else if (name == u"pipe.csv")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (!name.isEmpty() && !input.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(input) == input.size());
    }
    try {
        if (name.isEmpty())
            document()->editor()->pasteText(QString::fromUtf8(input));
        else
            document()->load(path);
        QFAIL("no error");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.message(), name.isEmpty() ? message : QDir::toNativeSeparators(path) + message);
    }
    QCOMPARE(document()->document(), before);
    QCOMPARE(document()->history()->count(), 2);
    QCOMPARE(title(), titleBefore);
}

void tst_Document::step(const QString &step)
{
    const QString verb = step.section(u' ', 0, 0);
    QString rest = step.section(u' ', 1);
    if (verb == u"add") {
        document()->editor()->addColumn({rest.section(u' ', 0, 0), std::int16_t(rest.section(u' ', 1).toInt()), 0, 0});
    } else if (verb == u"clear") {
        emit m_window->findChild<ccXPButton *>(QStringLiteral("CcXClearGraph"))->Click();
    } else if (verb == u"undo" || verb == u"redo") {
        (verb == u"undo" ? document()->undoAction() : document()->redoAction())->trigger();
    } else if (verb == u"keys") {
        // Keys pressed in the focused chart, or in the heading box.
        QWidget *target = rest.startsWith(u"heading") ? static_cast<QWidget *>(heading()) : chart();
        target->setFocus();
        for (const QString &key : rest.split(u' ', Qt::SkipEmptyParts).mid(target == chart() ? 0 : 1))
            QTest::keySequence(target, QKeySequence(key));
    } else if (verb == u"edit") {
        // Double-click column n and change its label in the dialog, or its value ("=v").
        const QPoint at = chart()->columnRect(rest.section(u' ', 0, 0).toInt()).center();
        ModalAnswer<ColumnDialog> answer([change = rest.section(u' ', 1)](ColumnDialog *dialog) {
            if (change.startsWith(u'='))
                dialog->valueBox()->setText(change.mid(1));
            else
                dialog->labelBox()->setText(change);
            dialog->accept();
        });
        QTest::mouseDClick(chart(), Qt::LeftButton, {}, at);
        QVERIFY(answer.seen());
    } else if (verb == u"menu") {
        // Right-click column n and choose an entry of the chart's menu.
        const QPoint at = chart()->columnRect(rest.section(u' ', 0, 0).toInt()).center();
        QTest::mousePress(chart(), Qt::RightButton, {}, at);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, chart()->mapToGlobal(at));
        QApplication::sendEvent(chart(), &request);
        QMenu *menu = m_window->findChild<PictureMenu *>()->menu();
        QTRY_VERIFY(menu->isVisible());
        const QList<QAction *> actions = menu->actions();
        const auto entry = std::find_if(actions.begin(), actions.end(),
                                        [&](QAction *action) { return action->text().startsWith(rest.section(u' ', 1)); });
        QVERIFY(entry != actions.end() && (*entry)->isEnabled());
        menu->hide();
        (*entry)->trigger();
    } else if (verb == u"paste") {
        QGuiApplication::clipboard()->setText(rest.replace(u'|', u'\n').replace(u',', u'\t'));
        chart()->setFocus();
        QTest::keySequence(chart(), QKeySequence::Paste);
    } else if (verb == u"copy") {
        m_window->findChild<PictureMenu *>()->copyAction()->trigger();
    } else if (verb == u"picture") {
        // The window's picture is kept under its name, or compared, pixel for
        // pixel, with the one kept under it before.
        const QImage picture = FormPicture::capture(m_window.get());
        if (m_pictures.contains(rest))
            QCOMPARE(picture, m_pictures.value(rest));
        m_pictures.insert(rest, picture);
    } else if (verb == u"save") {
        chooseFile(m_folder.filePath(rest));
        QVERIFY(document()->saveChartAs());
    } else if (verb == u"open") {
        document()->load(m_folder.filePath(rest));
    } else if (verb == u"new") {
        init();
    } else if (verb == u"type") {
        heading()->setFocus();
        heading()->selectAll();
        QTest::keyClicks(heading(), rest);
    } else {
        QFAIL(qPrintable(step));
    }
}

void tst_Document::undoRedo_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("states"); // after each step

    QTest::newRow("add, undo, redo") << QStringList{"add A 60", "add B 30", "undo", "redo"}
                                     << QStringList{"A:60 [Add Column]", "A:60 B:30 [Add Column]", "A:60 [Add Column]", "A:60 B:30 [Add Column]"};
    QTest::newRow("Clear Graph undone brings every column back")
        << QStringList{"add A 1", "add B 2", "clear", "clear", "undo", "undo"}
        << QStringList{"A:1 [Add Column]", "A:1 B:2 [Add Column]", "[Clear Graph]", "[Clear Graph]", "A:1 B:2 [Add Column]", "A:1 [Add Column]"};
    QTest::newRow("keys pick, move and remove a column")
        << QStringList{"add A 1", "add B 2", "add C 3", "keys Right Right Ctrl+Left", "keys End Delete", "keys Left Delete", "undo", "undo", "redo"}
        << QStringList{"A:1 [Add Column]", "A:1 B:2 [Add Column]", "A:1 B:2 C:3 [Add Column]", "B:2 A:1 C:3 [Move Column Left]",
                       "B:2 A:1 [Remove Column]", "A:1 [Remove Column]", "B:2 A:1 [Remove Column]", "B:2 A:1 C:3 [Move Column Left]",
                       "B:2 A:1 [Remove Column]"};
    QTest::newRow("the chart's menu acts on the column clicked")
        << QStringList{"add A 1", "add B 2", "menu 0 Move Righ&t", "menu 0 Re&move Column"}
        << QStringList{"A:1 [Add Column]", "A:1 B:2 [Add Column]", "B:2 A:1 [Move Column Right]", "A:1 [Remove Column]"};
    QTest::newRow("edit by a double click, then undo")
        << QStringList{"add A 1", "add B 2", "edit 1 Beta", "undo", "redo"}
        << QStringList{"A:1 [Add Column]", "A:1 B:2 [Add Column]", "A:1 Beta:2 [Edit Column]", "A:1 B:2 [Add Column]", "A:1 Beta:2 [Edit Column]"};
    QTest::newRow("paste a spreadsheet's rows") << QStringList{"add A 1", "paste P,5|Q,6|", "undo", "paste R,7"}
                                                << QStringList{"A:1 [Add Column]", "A:1 P:5 Q:6 [Paste 2 Columns]", "A:1 [Add Column]", "A:1 R:7 [Paste 1 Column]"};
    QTest::newRow("a copied chart pasted adds its columns after those there")
        << QStringList{"add A 1", "add B 2", "copy", "keys Ctrl+V", "undo"}
        << QStringList{"A:1 [Add Column]", "A:1 B:2 [Add Column]", "A:1 B:2 [Add Column]", "A:1 B:2 A:1 B:2 [Paste 2 Columns]",
                       "A:1 B:2 [Add Column]"};
    QTest::newRow("typing the heading is one step; Ctrl+Z there undoes it")
        << QStringList{"type Sales", "add A 1", "undo", "keys heading Ctrl+Z", "keys heading Ctrl+Shift+Z"}
        << QStringList{"[Edit Heading] heading:Sales", "A:1 [Add Column] heading:Sales", "[Edit Heading] heading:Sales", "[]",
                       "[Edit Heading] heading:Sales"};

    // Twenty columns whose labels reach over the next column; the label of
    // a column above 93 is drawn in front of the others, pixel for pixel as before.
    QString rows;
    for (int i = 0; i < 20; ++i)
        rows += i == 3 ? QStringLiteral("Revenue 2024,50|") : QStringLiteral("Sales of region %1,80|").arg(i);
    const QString pasted = QString(rows).replace(u',', u':').replace(u'|', u' ').trimmed();
    const QString edited = QString(pasted).replace(QStringLiteral("2024:50"), QStringLiteral("2024:95"));
    QTest::newRow("an edit undone and redone draws the labels in their order again")
        << QStringList{"paste " + rows, "picture pasted", "edit 3 =95", "picture edited", "undo", "picture pasted", "redo",
                       "picture edited"}
        << QStringList{pasted + " [Paste 20 Columns]", pasted + " [Paste 20 Columns]", edited + " [Edit Column]",
                       edited + " [Edit Column]", pasted + " [Paste 20 Columns]", pasted + " [Paste 20 Columns]",
                       edited + " [Edit Column]", edited + " [Edit Column]"};
    // Saved after the edit: in the window that made it, the label shows in
    // front, as it did in the edit. The file opened there is drawn as a new
    // window draws it.
    QTest::newRow("a chart opened in a used window is drawn as in a new one")
        << QStringList{"paste " + QString(rows).replace(QStringLiteral("2024,50"), QStringLiteral("2024,95")), "edit 3 =50",
                       "save used.plinthos", "open used.plinthos", "picture opened", "new window", "open used.plinthos", "picture opened"}
        << QStringList{edited + " [Paste 20 Columns]", pasted + " [Edit Column]", pasted + " [Edit Column]", pasted + " []",
                       pasted + " []", "[]", pasted + " []", pasted + " []"};
}

// Each step is one entry of the history, named after what it did.
void tst_Document::undoRedo()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, states);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        step(steps[i]);
        QVERIFY2(state() == states[i], qPrintable(steps[i] + QStringLiteral(" gives ") + state()));
    }
    QCOMPARE(document()->undoAction()->text(), QString(QStringLiteral("&Undo ") + document()->history()->undoText()).trimmed());
}

void tst_Document::closePrompt_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("link"); // the chart was opened through a link
    QTest::newRow("nothing changed: no question") << false << int(QMessageBox::NoButton) << true << false << false;
    QTest::newRow("Save") << true << int(QMessageBox::Save) << true << true << false;
    QTest::newRow("Save writes where the link opened points") << true << int(QMessageBox::Save) << true << true << true;
    QTest::newRow("Discard") << true << int(QMessageBox::Discard) << true << false << false;
    QTest::newRow("Cancel") << true << int(QMessageBox::Cancel) << false << false << false;
}

void tst_Document::closePrompt()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    QFETCH(bool, link);
    const QString path = m_folder.filePath(QStringLiteral("closed.plinthos"));
    const QString linkPath = m_folder.filePath(QStringLiteral("link.plinthos"));
    QFile::remove(path);
    QFile::remove(linkPath);
    chooseFile(path);
    if (link) {
        QVERIFY(document()->saveChart() && QFile::link(path, linkPath));
        document()->load(linkPath);
        QVERIFY(QFileInfo(linkPath).isSymLink());
    }
    if (changed)
        document()->editor()->addColumn({QStringLiteral("Kept"), 42, 0, 0});
    ModalAnswer<QMessageBox> question([answer](QMessageBox *box) { box->button(QMessageBox::StandardButton(answer))->click(); });
    QCOMPARE(m_window->close(), closes);
    QCOMPARE(question.seen(), changed);
    QCOMPARE(m_window->isVisible(), !closes);
    QCOMPARE(QFile::exists(path), saved);
    if (saved)
        QCOMPARE(DocumentFile::read(path).columns, chart()->columns());
    QCOMPARE(QFileInfo(linkPath).isSymLink(), link);
}

QTEST_MAIN(tst_Document)
#include "tst_document.moc"
