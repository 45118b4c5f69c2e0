#include "numbers.h"
#include "propertybag.h"
#include "runtimeerror.h"

#include <QTest>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

// Generated input, a million strings at a time: the number scanner and the
// Property bag's text form must neither crash nor misbehave, and the scanner
// must agree with a plain reading of every well-formed number.
class tst_HostileInput : public QObject
{
    Q_OBJECT

private slots:
    void scannerAgreesOnWellFormedNumbers();
    void scannerSurvivesAnyText();
    void bagTextIsReadOrRefused();

private:
    std::mt19937 m_random{20261208};

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool chance(int percent) { return below(100) < percent; }
    QChar pick(QStringView from) { return from[below(int(from.size()))]; }
};

namespace {

constexpr int Rounds = 1'000'000;
constexpr QStringView Blanks = u" \t\n";
// What may follow a number without continuing it.
constexpr QStringView Stoppers = u"%,xZ$#!/é€\u00A0\r";

// A well-formed text in two spellings: the scanner's (with blanks, tabs and
// line feeds anywhere, E or D, any letter case) and strtod's plain one.
struct Sample
{
    QString text;
    std::string plain;
    int radix = 10;
};

} // namespace

void tst_HostileInput::scannerAgreesOnWellFormedNumbers()
{
    int compared = 0;
    for (int round = 0; round < Rounds; ++round) {
        Sample sample;
        const auto add = [&](QChar scanned, char plain) {
            if (chance(10))
                sample.text += pick(Blanks);
            sample.text += scanned;
            if (plain)
                sample.plain += plain;
        };
        const auto sign = [&] {
            const bool minus = chance(50);
            add(minus ? u'-' : u'+', minus ? '-' : '+');
        };
        const auto digits = [&](int count, int radix) {
            for (int i = 0; i < count; ++i) {
                const char digit = "0123456789abcdef"[below(radix)];
                add(chance(50) ? QChar(digit).toUpper() : QChar(digit), digit);
            }
        };

        if (chance(10)) {
            sample.radix = chance(50) ? 16 : 8;
            add(u'&', 0);
            add(sample.radix == 16 ? pick(u"Hh") : pick(u"Oo"), 0);
            digits(1 + below(13), sample.radix);
        } else {
            if (chance(30))
                sign();
            const int whole = below(18);
            digits(whole, 10);
            if (whole == 0 || chance(40)) {
                add(u'.', '.');
                digits(1 + below(18), 10);
            }
            if (chance(40)) {
                add(pick(u"EeDd"), 'e');
                if (chance(50))
                    sign();
                digits(1 + below(3), 10);
            }
        }
        if (chance(70))
            sample.text += pick(Stoppers);

        double expected = 0;
        bool overflow = false;
        if (sample.radix != 10) {
            expected = double(std::strtoull(sample.plain.c_str(), nullptr, sample.radix));
        } else {
            errno = 0;
            expected = std::strtod(sample.plain.c_str(), nullptr);
            overflow = errno == ERANGE && std::isinf(expected);
        }

        try {
            const double scanned = scanNumber(sample.text);
            QVERIFY2(!overflow, qPrintable(sample.text));
            QVERIFY2(scanned == expected,
                     qPrintable(QStringLiteral("%1 scanned as %2, expected %3")
                                    .arg(sample.text).arg(scanned, 0, 'g', 17).arg(expected, 0, 'g', 17)));
            ++compared;
        } catch (const RuntimeError &error) {
            QVERIFY2(overflow && error.kind() == ErrorKind::Overflow, qPrintable(sample.text));
        }
    }
    QVERIFY(compared > Rounds / 2);
}

void tst_HostileInput::scannerSurvivesAnyText()
{
    static const QString Alphabet = QStringLiteral("0123456789+-.EeDd&HhOo \t\n\rxZ,%") + QString::fromUtf8("é€\u00A0\U0001F600");
    for (int round = 0; round < Rounds; ++round) {
        QString text;
        for (int length = below(24); length > 0; --length)
            text += chance(3) ? QChar(char16_t(below(0x10000))) : Alphabet[below(int(Alphabet.size()))];
        try {
            const double value = scanNumber(text);
            QVERIFY2(std::isfinite(value), qPrintable(text));
            // Whatever was read converts or reports an overflow; nothing else.
            try {
                toInt16(value);
            } catch (const RuntimeError &error) {
                QCOMPARE(error.kind(), ErrorKind::Overflow);
            }
        } catch (const RuntimeError &error) {
            QCOMPARE(error.kind(), ErrorKind::Overflow);
        }
    }
}

void tst_HostileInput::bagTextIsReadOrRefused()
{
    const QStringList pieces = {"caption", "Font", "_extentx", "=", " = ", "\"", "\\", "\\x4", "\\n", "Font(",
                                ")", ",", "True", "False", "-", "99999999999", "&H", "&HFFFFFFFF", "9.75",
                                "#", "\n", "\r\n", " ", "é", "\U0001F600", "Add Column", "\"Verdana\""};
    int read = 0;
    int refused = 0;
    for (int round = 0; round < Rounds / 10; ++round) {
        QString text;
        for (int count = below(12); count > 0; --count)
            text += pieces[below(int(pieces.size()))];
        try {
            const PropertyBag bag = PropertyBag::fromText(text);
            // What was read writes out and reads back the same.
            const PropertyBag again = PropertyBag::fromText(bag.toText());
            QCOMPARE(again.toText(), bag.toText());
            ++read;
        } catch (const RuntimeError &error) {
            QCOMPARE(error.kind(), ErrorKind::InvalidFormat);
            QVERIFY(error.message().startsWith(QStringLiteral("Line ")));
            ++refused;
        }
    }
    QVERIFY(read > 0);
    QVERIFY(refused > 0);
}

QTEST_APPLESS_MAIN(tst_HostileInput)
#include "tst_hostileinput.moc"
