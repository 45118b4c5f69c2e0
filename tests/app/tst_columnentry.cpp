#include "ccxpbutton.h"
#include "designfonts.h"
#include "formlabel.h"
#include "frmmain.h"
#include "jchart.h"
#include "modaldialogs.h"

#include <QColorDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <memory>

class tst_ColumnEntry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addRightAfterStart();
    void valueText_data();
    void valueText();
    void labelTextIsTakenAsTyped_data();
    void labelTextIsTakenAsTyped();
    void valueThatDoesNotFit_data();
    void valueThatDoesNotFit();
    void the101stColumn();
    void paletteSetsTheColumnColour_data();
    void paletteSetsTheColumnColour();
    void rightClickOnThePaletteDoesNothing();
    void swatchDialog_data();
    void swatchDialog();
    void dialogThatChangesNothing_data();
    void dialogThatChangesNothing();
    void dialogOpensOnItsLastColour();
    void laterChoiceWins();
    void captionDialogColoursOnlyTheCaption();
    void clearKeepsTheEntries();
    void clearOnAnEmptyChart();

private:
    void click(const char *button) { emit m_window->findChild<ccXPButton *>(QString::fromLatin1(button))->Click(); }
    QLineEdit *edit(const char *name) const { return m_window->findChild<QLineEdit *>(QString::fromLatin1(name)); }
    FormLabel *label(const QString &name) const { return m_window->findChild<FormLabel *>(name); }
    FormLabel *swatch(int index) const { return label(QStringLiteral("Label5(%1)").arg(index)); }
    FormLabel *paletteCell(int index) const { return label(QStringLiteral("lblOtherColors(%1)").arg(index)); }
    jChart *chart() const { return m_window->findChild<jChart *>(QStringLiteral("UserControl11")); }
    // Picks colour in the next colour dialog, or cancels it for an invalid one.
    static auto pick(const QColor &colour)
    {
        return [colour](QColorDialog *dialog) {
            if (!colour.isValid())
                return dialog->reject();
            dialog->setCurrentColor(colour);
            dialog->accept();
        };
    }

    std::unique_ptr<frmMain> m_window;
};

void tst_ColumnEntry::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    installDesignFonts();
}

void tst_ColumnEntry::init()
{
    m_window = std::make_unique<frmMain>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_ColumnEntry::cleanup()
{
    m_window.reset();
}

void tst_ColumnEntry::addRightAfterStart()
{
    click("CcXAddColumn");
    QCOMPARE(chart()->ItemCount(), 1);
    QVERIFY(chart()->columns()[0] == (ChartColumn{QStringLiteral("Value "), 50, 0x00E0E0E0u, 0x00000000u}));
    // The entry fields keep what they held.
    QCOMPARE(edit("Text1")->text(), QStringLiteral("50"));
    QCOMPARE(edit("Text2")->text(), QStringLiteral("Value "));
}

void tst_ColumnEntry::valueText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("12.5 gives 12") << "12.5" << 12;
    QTest::newRow("13.5 gives 14") << "13.5" << 14;
    QTest::newRow("-2.5 gives -2") << "-2.5" << -2;
    QTest::newRow("50% gives 50") << "50%" << 50;
    QTest::newRow("7 5 gives 75") << "7 5" << 75;
    QTest::newRow("1E2 gives 100") << "1E2" << 100;
    QTest::newRow("&H20 gives 32") << "&H20" << 32;
    QTest::newRow("no digits give 0") << "abc" << 0;
    QTest::newRow("empty gives 0") << "" << 0;
    QTest::newRow("-10 gives -10") << "-10" << -10;
    QTest::newRow("12,5 gives 12") << "12,5" << 12;
    QTest::newRow("32767.4 still fits") << "32767.4" << 32767;
    QTest::newRow("-32768.5 rounds to even and fits") << "-32768.5" << -32768;
    QTest::newRow("150 is kept above 100") << "150" << 150;
}

void tst_ColumnEntry::valueText()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    edit("Text1")->setText(text);
    click("CcXAddColumn");
    QCOMPARE(chart()->ItemCount(), 1);
    QCOMPARE(chart()->columns()[0].value, std::int16_t(value));
}

void tst_ColumnEntry::labelTextIsTakenAsTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty label") << "";
    QTest::newRow("blanks kept") << "  a b  ";
    QTest::newRow("ampersand") << "R&D";
}

void tst_ColumnEntry::labelTextIsTakenAsTyped()
{
    QFETCH(QString, text);
    edit("Text2")->setText(text);
    click("CcXAddColumn");
    QCOMPARE(chart()->ItemCount(), 1);
    QCOMPARE(chart()->columns()[0].label, text);
}

void tst_ColumnEntry::valueThatDoesNotFit_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("40000") << "40000";
    QTest::newRow("1E6") << "1E6";
    QTest::newRow("32767.5 rounds to 32768") << "32767.5";
    QTest::newRow("-32768.6") << "-32768.6";
    QTest::newRow("1E400 is too large for any number") << "1E400";
}

void tst_ColumnEntry::valueThatDoesNotFit()
{
    QFETCH(QString, text);
    edit("Text1")->setText(QStringLiteral("30"));
    click("CcXAddColumn");
    paletteCell(12)->Click();
    edit("Text1")->setText(text);

    QString message;
    ModalAnswer<QMessageBox> answer([&message](QMessageBox *box) {
        message = box->text();
        box->accept();
    });
    click("CcXAddColumn");
    QVERIFY(answer.seen());
    QVERIFY2(message.contains(QStringLiteral("from -32768 to 32767")), qPrintable(message));
    QVERIFY2(message.contains(text), qPrintable(message));

    QCOMPARE(chart()->ItemCount(), 1);
    QCOMPARE(chart()->columns().size(), 1);
    QCOMPARE(chart()->columns()[0].value, std::int16_t(30));
    QCOMPARE(edit("Text1")->text(), text);
    QCOMPARE(edit("Text2")->text(), QStringLiteral("Value "));
    QCOMPARE(swatch(1)->BackColor(), 0x000000FFu);
    QCOMPARE(swatch(0)->BackColor(), 0x00000000u);
}

void tst_ColumnEntry::the101stColumn()
{
    for (int i = 0; i < 100; ++i) {
        edit("Text1")->setText(QString::number(i));
        click("CcXAddColumn");
    }
    QCOMPARE(chart()->ItemCount(), 100);
    const QList<ChartColumn> columns = chart()->columns();

    QString message;
    ModalAnswer<QMessageBox> answer([&message](QMessageBox *box) {
        message = box->text();
        box->accept();
    });
    edit("Text1")->setText(QStringLiteral("77"));
    click("CcXAddColumn");
    QVERIFY(answer.seen());
    QVERIFY2(message.contains(QStringLiteral("at most 100 columns")), qPrintable(message));
    QCOMPARE(chart()->ItemCount(), 100);
    QVERIFY(chart()->columns() == columns);
    QCOMPARE(edit("Text1")->text(), QStringLiteral("77"));
}

void tst_ColumnEntry::paletteSetsTheColumnColour_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<uint>("colour");
    QTest::newRow("cell 12 is red") << 12 << 0x0000FFu;
    QTest::newRow("cell 0 is light grey") << 0 << 0xE0E0E0u;
    QTest::newRow("cell 9 is dull purple") << 9 << 0x855475u;
    QTest::newRow("cell 15 is light blue") << 15 << 0xFFC0C0u;
}

void tst_ColumnEntry::paletteSetsTheColumnColour()
{
    QFETCH(int, cell);
    QFETCH(uint, colour);
    QTest::mouseClick(paletteCell(cell), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(swatch(1)->BackColor(), OleColor(colour));
    QCOMPARE(swatch(0)->BackColor(), 0x000000u);
    QCOMPARE(paletteCell(cell)->BackColor(), OleColor(colour));

    click("CcXAddColumn");
    QCOMPARE(chart()->columns()[0].colour, OleColor(colour));
    QCOMPARE(chart()->columns()[0].labelColour, 0x000000u);
}

void tst_ColumnEntry::rightClickOnThePaletteDoesNothing()
{
    QTest::mouseClick(paletteCell(12), Qt::RightButton, {}, QPoint(4, 4));
    QCOMPARE(swatch(1)->BackColor(), 0xE0E0E0u);
}

void tst_ColumnEntry::swatchDialog_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("label colour swatch") << 0;
    QTest::newRow("column colour swatch") << 1;
}

void tst_ColumnEntry::swatchDialog()
{
    QFETCH(int, index);
    const OleColor other = swatch(1 - index)->BackColor();
    ModalAnswer<QColorDialog> answer(pick(QColor(1, 2, 3)));
    QTest::mouseClick(swatch(index), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(answer.seen());
    QCOMPARE(swatch(index)->BackColor(), 0x030201u);
    QCOMPARE(swatch(1 - index)->BackColor(), other);

    click("CcXAddColumn");
    QCOMPARE(index == 0 ? chart()->columns()[0].labelColour : chart()->columns()[0].colour, 0x030201u);
}

void tst_ColumnEntry::dialogThatChangesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QColor>("answer"); // invalid: the dialog is cancelled
    QTest::newRow("cancelled on the label colour swatch") << "Label5(0)" << QColor();
    QTest::newRow("cancelled on the column colour swatch") << "Label5(1)" << QColor();
    QTest::newRow("cancelled on the Column Color caption") << "Label6" << QColor();
    QTest::newRow("label colour swatch given its own black") << "Label5(0)" << QColor(0, 0, 0);
    QTest::newRow("column colour swatch given its own grey") << "Label5(1)" << QColor(224, 224, 224);
}

void tst_ColumnEntry::dialogThatChangesNothing()
{
    QFETCH(QString, target);
    QFETCH(QColor, answer);
    click("CcXAddColumn");
    const QList<FormLabel *> labels = {swatch(0), swatch(1), label(QStringLiteral("Label6"))};
    const auto state = [&] {
        QList<QVariant> seen;
        for (FormLabel *l : labels)
            seen << l->BackColor() << l->grab().toImage();
        return seen << chart()->grab().toImage();
    };
    const QList<QVariant> before = state();

    ModalAnswer<QColorDialog> dialog(pick(answer));
    label(target)->Click();
    QVERIFY(dialog.seen());
    QVERIFY(state() == before);
}

void tst_ColumnEntry::dialogOpensOnItsLastColour()
{
    // Each step clicks a control; a dialog it opens shows `opensOn` and is
    // given `answer` (invalid: cancelled). A palette click opens none.
    struct Step { const char *target; QColor opensOn; QColor answer; };
    const QColor black(0, 0, 0), first(10, 20, 30), second(40, 50, 60);
    const Step steps[] = {
        {"Label5(0)", black, QColor()},
        {"Label5(1)", black, first},
        {"lblOtherColors(12)", {}, {}},
        {"Label6", first, QColor()},
        {"Label5(0)", first, second},
        {"Label5(1)", second, QColor()},
        {"Label5(1)", second, second},
    };
    for (const Step &step : steps) {
        QColor shown;
        ModalAnswer<QColorDialog> dialog([&](QColorDialog *d) {
            shown = d->currentColor();
            pick(step.answer)(d);
        });
        label(QString::fromLatin1(step.target))->Click();
        QCOMPARE(dialog.seen(), step.opensOn.isValid());
        QCOMPARE(shown, step.opensOn);
    }
    QCOMPARE(swatch(0)->BackColor(), fromQColor(second));
    QCOMPARE(swatch(1)->BackColor(), fromQColor(second));
}

void tst_ColumnEntry::laterChoiceWins()
{
    {
        ModalAnswer<QColorDialog> answer(pick(QColor(10, 20, 30)));
        swatch(1)->Click();
        QVERIFY(answer.seen());
    }
    paletteCell(6)->Click();
    QCOMPARE(swatch(1)->BackColor(), 0xFF0000u);
    {
        ModalAnswer<QColorDialog> answer(pick(QColor(10, 20, 30)));
        swatch(1)->Click();
        QVERIFY(answer.seen());
    }
    QCOMPARE(swatch(1)->BackColor(), 0x1E140Au);
}

void tst_ColumnEntry::captionDialogColoursOnlyTheCaption()
{
    FormLabel *caption = label(QStringLiteral("Label6"));
    ModalAnswer<QColorDialog> answer(pick(QColor(255, 0, 0)));
    caption->Click();
    QVERIFY(answer.seen());
    QCOMPARE(caption->BackColor(), 0x0000FFu);
    QVERIFY(caption->isTransparent());
    QCOMPARE(swatch(1)->BackColor(), 0xE0E0E0u);
    click("CcXAddColumn");
    QCOMPARE(chart()->columns()[0].colour, 0xE0E0E0u);
}

void tst_ColumnEntry::clearKeepsTheEntries()
{
    click("CcXAddColumn");
    click("CcXAddColumn");
    edit("Text1")->setText(QStringLiteral("20"));
    edit("Text2")->setText(QStringLiteral("next"));
    paletteCell(11)->Click();

    click("CcXClearGraph");
    QCOMPARE(chart()->ItemCount(), 0);
    QCOMPARE(edit("Text1")->text(), QStringLiteral("20"));
    QCOMPARE(edit("Text2")->text(), QStringLiteral("next"));
    QCOMPARE(swatch(1)->BackColor(), 0x00FF00u);
    QCOMPARE(swatch(0)->BackColor(), 0x000000u);

    click("CcXAddColumn");
    QCOMPARE(chart()->ItemCount(), 1);
    QCOMPARE(chart()->columns()[0].value, std::int16_t(20));
    QCOMPARE(chart()->columns()[0].label, QStringLiteral("next"));
    QCOMPARE(chart()->columns()[0].colour, 0x00FF00u);
}

void tst_ColumnEntry::clearOnAnEmptyChart()
{
    click("CcXClearGraph");
    QCOMPARE(chart()->ItemCount(), 0);
    QCOMPARE(edit("Text1")->text(), QStringLiteral("50"));
}

QTEST_MAIN(tst_ColumnEntry)
#include "tst_columnentry.moc"
