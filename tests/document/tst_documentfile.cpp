#include "chartdocument.h"
#include "columntable.h"
#include "documentfields.h"
#include "documentfile.h"

#include <QTest>

// Charts read from the bytes of files as a tool without a window reads them:
// no application with a display is made here.
class tst_DocumentFile : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void writesWhatItReads();
};

namespace {

// Each column as "label value #colour #labelColour".
QStringList describe(const QList<ChartColumn> &columns)
{
    QStringList described;
    for (const ChartColumn &column : columns) {
        described << QStringLiteral("%1 %2 #%3 #%4")
                         .arg(column.label)
                         .arg(column.value)
                         .arg(column.colour, 6, 16, QLatin1Char('0'))
                         .arg(column.labelColour, 6, 16, QLatin1Char('0'));
    }
    return described;
}

} // namespace

void tst_DocumentFile::reads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QStringList>("columns"); // colours as 0xBBGGRR
    const QString designHeading = ChartDocument().heading;

    QTest::newRow("spreadsheet CSV: BOM, header, quotes, CRLF, colour names")
        << "fruit.csv" << QByteArray("\xEF\xBB\xBFLabel,Value,Colour,Label colour\r\n\"Apples, red\",60,red,#00FF80\r\n"
                                     "\"Say \"\"hi\"\"\",30.5,Light Grey,\r\n,,,\r\n")
        << designHeading << QStringList{"Apples, red 60 #0000ff #80ff00", "Say \"hi\" 30 #e0e0e0 #000000"};
    QTest::newRow("TSV as a spreadsheet copies it, a line break in quotes")
        << "fruit.tsv" << QByteArray("Pears\t12.5\n\"two\nlines\"\t13.5\tblue\n")
        << designHeading << QStringList{"Pears 12 #e0e0e0 #000000", "two\nlines 14 #ff0000 #000000"};
    QTest::newRow("values as the value box reads them") << "v.csv" << QByteArray("a;50%\nb;&H20\nc;1E2\nd;7 5\n")
                                                        << designHeading
                                                        << QStringList{"a 50 #e0e0e0 #000000", "b 32 #e0e0e0 #000000",
                                                                       "c 100 #e0e0e0 #000000", "d 75 #e0e0e0 #000000"};
    QTest::newRow("a chart file by its text, without its name")
        << "chart" << QByteArray("{\"format\": \"plinthos-chart\", \"version\": 1, \"heading\": \"Sales\", \"future\": 1,"
                                 " \"columns\": [{\"label\": \"Q1\", \"value\": 95.5, \"colour\": \"#8000FF\"}]}")
        << "Sales" << QStringList{"Q1 96 #ff0080 #000000"};
    QTest::newRow("an empty table is an empty chart") << "empty.csv" << QByteArray("\xEF\xBB\xBF") << designHeading
                                                      << QStringList{};
}

void tst_DocumentFile::reads()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, heading);
    QFETCH(QStringList, columns);
    const ChartDocument document = DocumentFile::parse(bytes, name, DocumentFile::formatOfName(name));
    QCOMPARE(document.heading, heading);
    QCOMPARE(describe(document.columns), columns);
}

void tst_DocumentFile::writesWhatItReads()
{
    ChartDocument document;
    document.heading = QStringLiteral("Ünïcode \"quoted\"\ttab");
    document.xAxisTitle.clear();
    document.columns = {{QStringLiteral(" padded, \"quoted\" "), -5, 0x123456, 0xABCDEF}, {QString(), 32767, 0, 0xFFFFFF}};
    QCOMPARE(DocumentFile::parse(DocumentFile::encode(document, DocumentFile::Format::Chart), QStringLiteral("c")), document);
    const QByteArray csv = DocumentFile::encode(document, DocumentFile::Format::Table);
    QCOMPARE(DocumentFile::parse(csv, QStringLiteral("t.csv"), DocumentFile::Format::Table).columns, document.columns);
    QVERIFY(csv.startsWith("Label,Value,Colour,Label colour\r\n\" padded, \"\"quoted\"\" \",-5,#563412,#EFCDAB\r\n"));

    // Rows of text for a spreadsheet: a label and a value, read back the same.
    document.columns.append({QStringLiteral("tab\tand\nbreak"), 1, 0, 0});
    const QString text = ColumnTable::toText(document.columns);
    QCOMPARE(text, QStringLiteral("\" padded, \"\"quoted\"\" \"\t-5\n\t32767\n\"tab\tand\nbreak\"\t1\n"));
    for (ChartColumn &column : document.columns)
        column = {column.label, column.value, DocumentFields::defaultColour(), DocumentFields::defaultLabelColour()};
    QCOMPARE(ColumnTable::read(text, QString()), document.columns);
}

QTEST_GUILESS_MAIN(tst_DocumentFile)
#include "tst_documentfile.moc"
