#include "propertybag.h"
#include "runtimeerror.h"

#include <QTest>

class tst_PropertyBag : public QObject
{
    Q_OBJECT

private slots:
    void keysIgnoreCase();
    void readGivesDefaultForMissingKey();
    void valueEqualToDefaultIsNotStored_data();
    void valueEqualToDefaultIsNotStored();
    void writeReplacesEarlierValue();
    void textRoundTrip();
    void readsDesignText();
    void brokenText_data();
    void brokenText();
    void conversions();
    void conversionMismatch_data();
    void conversionMismatch();
    void everyValueTypeToEveryTarget_data();
    void everyValueTypeToEveryTarget();
    void writingAValueOfNoBagTypeFails();
};

void tst_PropertyBag::keysIgnoreCase()
{
    PropertyBag bag;
    bag.write(QStringLiteral("caption"), QStringLiteral("Add Column"));
    QCOMPARE(bag.read(QStringLiteral("Caption")).toString(), QStringLiteral("Add Column"));
    QCOMPARE(bag.read(QStringLiteral("CAPTION")).toString(), QStringLiteral("Add Column"));
    QVERIFY(bag.contains(QStringLiteral("CaPtIoN")));
}

void tst_PropertyBag::readGivesDefaultForMissingKey()
{
    PropertyBag bag;
    QCOMPARE(bag.read(QStringLiteral("BackColor"), 0xFFFFFF).toInt(), 0xFFFFFF);
    QVERIFY(!bag.read(QStringLiteral("BackColor")).isValid());
}

void tst_PropertyBag::valueEqualToDefaultIsNotStored_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<bool>("stored");
    QTest::newRow("white equal to white") << QVariant(0xFFFFFF) << QVariant(0xFFFFFF) << false;
    QTest::newRow("black differs from white") << QVariant(0) << QVariant(0xFFFFFF) << true;
    QTest::newRow("&OK equal to &OK") << QVariant(QStringLiteral("&OK")) << QVariant(QStringLiteral("&OK")) << false;
    QTest::newRow("&ok differs from &OK") << QVariant(QStringLiteral("&ok")) << QVariant(QStringLiteral("&OK")) << true;
    QTest::newRow("True equal to True") << QVariant(true) << QVariant(true) << false;
    QTest::newRow("a font never equals a text") << QVariant::fromValue(FontDescription{QStringLiteral("Verdana"), 8.25})
                                                << QVariant(QStringLiteral("Verdana")) << true;
    QTest::newRow("no default stores") << QVariant(0) << QVariant() << true;
}

void tst_PropertyBag::valueEqualToDefaultIsNotStored()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, defaultValue);
    QFETCH(bool, stored);
    PropertyBag bag;
    bag.write(QStringLiteral("Key"), value, defaultValue);
    QCOMPARE(bag.contains(QStringLiteral("key")), stored);
}

void tst_PropertyBag::writeReplacesEarlierValue()
{
    PropertyBag bag;
    bag.write(QStringLiteral("BackColor"), 0xFF);
    bag.write(QStringLiteral("backcolor"), 0xFFFFFF, 0xFFFFFF);
    QVERIFY(bag.isEmpty());
    bag.write(QStringLiteral("BackColor"), 1);
    bag.write(QStringLiteral("BACKCOLOR"), 2);
    QCOMPARE(bag.size(), 1);
    QCOMPARE(bag.read(QStringLiteral("BackColor")).toInt(), 2);
}

void tst_PropertyBag::textRoundTrip()
{
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("Say \"hi\"\\ & go\n\ttab\x01 é"));
    bag.write(QStringLiteral("Enabled"), false);
    bag.write(QStringLiteral("ForeColor"), int(0x80000008u));
    bag.write(QStringLiteral("_extentx"), 2355);
    FontDescription font{QStringLiteral("Verdana"), 9.75, 700, 0, true, false, true};
    bag.write(QStringLiteral("Font"), QVariant::fromValue(font));

    const PropertyBag copy = PropertyBag::fromText(bag.toText());
    QCOMPARE(copy.keys(), bag.keys());
    for (const QString &key : bag.keys())
        QCOMPARE(copy.read(key), bag.read(key));
    QCOMPARE(copy.toText(), bag.toText());
}

void tst_PropertyBag::readsDesignText()
{
    const PropertyBag bag = PropertyBag::fromText(QStringLiteral(
        "# CcXAddColumn\n"
        "_extentx = 2355\n"
        "  _extenty=2143  \n"
        "\n"
        "caption = \"Add Column\"\n"
        "font = Font(\"Verdana\", 9.75, 400, 0, False, False, False)\n"
        "forecolor = &H80000008\n"));
    QCOMPARE(BagValue::toLong(bag.read(QStringLiteral("_ExtentX"))), 2355);
    QCOMPARE(BagValue::toLong(bag.read(QStringLiteral("_ExtentY"))), 2143);
    QCOMPARE(BagValue::toText(bag.read(QStringLiteral("Caption"))), QStringLiteral("Add Column"));
    const FontDescription font = BagValue::toFont(bag.read(QStringLiteral("Font")));
    QCOMPARE(font.name, QStringLiteral("Verdana"));
    QCOMPARE(font.size, 9.75);
    QCOMPARE(font.weight, 400);
    QVERIFY(!font.italic && !font.underline && !font.strikethrough);
    QCOMPARE(BagValue::toColour(bag.read(QStringLiteral("ForeColor"))), 0x80000008u);
}

void tst_PropertyBag::brokenText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::newRow("no equals sign") << "caption \"x\"" << 1;
    QTest::newRow("no value") << "\n\ncaption =" << 3;
    QTest::newRow("no key") << "= 5" << 1;
    QTest::newRow("key with a blank") << "cap tion = 5" << 1;
    QTest::newRow("unclosed quote") << "caption = \"Add" << 1;
    QTest::newRow("text after the quote") << "caption = \"Add\" Column" << 1;
    QTest::newRow("unknown escape") << "caption = \"a\\qb\"" << 1;
    QTest::newRow("short hex escape") << "caption = \"a\\x4\"" << 1;
    QTest::newRow("bare word") << "enabled = Yes" << 1;
    QTest::newRow("number too large") << "_extentx = 99999999999" << 1;
    QTest::newRow("font with too few fields") << "font = Font(\"Verdana\", 9.75)" << 1;
    QTest::newRow("font with a bad size") << "font = Font(\"Verdana\", big, 400, 0, False, False, False)" << 1;
    QTest::newRow("font with a negative size") << "font = Font(\"Verdana\", -3, 400, 0, False, False, False)" << 1;
    QTest::newRow("font without a quoted name") << "font = Font(Verdana, 9.75, 400, 0, False, False, False)" << 1;
    QTest::newRow("hex escape with a sign") << "caption = \"a\\x+4\"" << 1;
    QTest::newRow("hex escape with a blank") << "caption = \"a\\x 4\"" << 1;
    QTest::newRow("hex colour with 0x") << "forecolor = &H0x10" << 1;
    QTest::newRow("hex colour with a blank") << "forecolor = &H 10" << 1;
    QTest::newRow("hex colour too long") << "forecolor = &H123456789" << 1;
    QTest::newRow("font size out of range") << "font = Font(\"V\", 1e300, 400, 0, False, False, False)" << 1;
    QTest::newRow("font weight out of range") << "font = Font(\"V\", 9, 5000, 0, False, False, False)" << 1;
    QTest::newRow("font with a bad flag") << "font = Font(\"V\", 9, 400, 0, Maybe, False, False)" << 1;
}

void tst_PropertyBag::brokenText()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    try {
        PropertyBag::fromText(text);
        QFAIL("the text was accepted");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.kind(), ErrorKind::InvalidFormat);
        QVERIFY2(error.message().startsWith(QStringLiteral("Line %1:").arg(line)), qPrintable(error.message()));
    }
}

void tst_PropertyBag::conversions()
{
    QCOMPARE(BagValue::toText(QVariant(12)), QStringLiteral("12"));
    QCOMPARE(BagValue::toText(QVariant(true)), QStringLiteral("True"));
    QCOMPARE(BagValue::toBool(QVariant(0)), false);
    QCOMPARE(BagValue::toBool(QVariant(-1)), true);
    QCOMPARE(BagValue::toBool(QVariant(QStringLiteral("false"))), false);
    QCOMPARE(BagValue::toLong(QVariant(true)), -1);
    QCOMPARE(BagValue::toLong(QVariant(QStringLiteral(" 42 "))), 42);
    QCOMPARE(BagValue::toColour(QVariant(0xE0E0E0)), 0xE0E0E0u);
}

void tst_PropertyBag::conversionMismatch_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("target");
    const auto font = QVariant::fromValue(FontDescription{});
    QTest::newRow("font as text") << font << 0;
    QTest::newRow("word as boolean") << QVariant(QStringLiteral("Yes")) << 1;
    QTest::newRow("word as number") << QVariant(QStringLiteral("12abc")) << 2;
    QTest::newRow("empty text as number") << QVariant(QString()) << 2;
    QTest::newRow("text as font") << QVariant(QStringLiteral("Verdana")) << 3;
    QTest::newRow("nothing as text") << QVariant() << 0;
}

void tst_PropertyBag::conversionMismatch()
{
    QFETCH(QVariant, value);
    QFETCH(int, target);
    try {
        switch (target) {
        case 0: BagValue::toText(value); break;
        case 1: BagValue::toBool(value); break;
        case 2: BagValue::toLong(value); break;
        default: BagValue::toFont(value); break;
        }
        QFAIL("the value was converted");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.kind(), ErrorKind::TypeMismatch);
        QVERIFY(!error.message().isEmpty());
    }
}

void tst_PropertyBag::everyValueTypeToEveryTarget_data()
{
    // What each conversion makes of each kind of stored value: the result as
    // text, or the error's kind as "!TypeMismatch" / "!Overflow".
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("boolean");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("font");
    const QString mismatch = QStringLiteral("!TypeMismatch");
    const QString font = QStringLiteral("MS Sans Serif");
    QTest::newRow("nothing") << QVariant() << mismatch << mismatch << mismatch << mismatch;
    QTest::newRow("empty text") << QVariant(QString()) << "" << mismatch << mismatch << mismatch;
    QTest::newRow("word") << QVariant(QStringLiteral("x")) << "x" << mismatch << mismatch << mismatch;
    QTest::newRow("number as text") << QVariant(QStringLiteral("12")) << "12" << mismatch << "12" << mismatch;
    QTest::newRow("huge number as text") << QVariant(QStringLiteral("1e400")) << "1e400" << mismatch << mismatch
                                         << mismatch;
    QTest::newRow("too large for 32 bits") << QVariant(QStringLiteral("3e9")) << "3e9" << mismatch << "!Overflow"
                                           << mismatch;
    QTest::newRow("True as text") << QVariant(QStringLiteral("true")) << "true" << "true" << mismatch << mismatch;
    QTest::newRow("True") << QVariant(true) << "True" << "true" << "-1" << mismatch;
    QTest::newRow("minus one") << QVariant(-1) << "-1" << "true" << "-1" << mismatch;
    QTest::newRow("zero") << QVariant(0) << "0" << "false" << "0" << mismatch;
    QTest::newRow("font") << QVariant::fromValue(FontDescription{}) << mismatch << mismatch << mismatch << font;
    QTest::newRow("double") << QVariant(3.5) << mismatch << mismatch << mismatch << mismatch;
    QTest::newRow("bytes") << QVariant(QByteArray("raw")) << mismatch << mismatch << mismatch << mismatch;
}

void tst_PropertyBag::everyValueTypeToEveryTarget()
{
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QFETCH(QString, boolean);
    QFETCH(QString, number);
    QFETCH(QString, font);
    const auto outcome = [](auto convert) -> QString {
        try {
            return convert();
        } catch (const RuntimeError &error) {
            return error.kind() == ErrorKind::Overflow ? QStringLiteral("!Overflow") : QStringLiteral("!TypeMismatch");
        }
    };
    QCOMPARE(outcome([&] { return BagValue::toText(value); }), text);
    QCOMPARE(outcome([&] { return BagValue::toBool(value) ? QStringLiteral("true") : QStringLiteral("false"); }),
             boolean);
    QCOMPARE(outcome([&] { return QString::number(BagValue::toLong(value)); }), number);
    QCOMPARE(outcome([&] { return BagValue::toFont(value).name; }), font);
}

void tst_PropertyBag::writingAValueOfNoBagTypeFails()
{
    PropertyBag bag;
    bag.write(QStringLiteral("Ratio"), 1);
    for (const QVariant &value : {QVariant(3.5), QVariant(QByteArray("raw")), QVariant()}) {
        try {
            bag.write(QStringLiteral("ratio"), value);
            QFAIL("the value was stored");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.kind(), ErrorKind::TypeMismatch);
        }
    }
    QCOMPARE(bag.toText(), QStringLiteral("Ratio = 1\n"));
}

QTEST_APPLESS_MAIN(tst_PropertyBag)
#include "tst_propertybag.moc"
