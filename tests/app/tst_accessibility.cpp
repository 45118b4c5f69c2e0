#include "ccxpbutton.h"
#include "designfonts.h"
#include "formlabel.h"
#include "frmmain.h"
#include "jchart.h"
#include "modaldialogs.h"

#include <QAccessible>
#include <QColorDialog>
#include <QTest>

#include <memory>

// What assistive technology hears of the window's own controls.
class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void swatchesAndPaletteByColour_data();
    void swatchesAndPaletteByColour();
    void swatchNameFollowsItsColour();
    void textLabelsByTheirText();
    void chartWithItsColumnCount();
    void buttonsByTheirCaption_data();
    void buttonsByTheirCaption();
    void captionMnemonicsAreNotRead_data();
    void captionMnemonicsAreNotRead();
    void pressActionClicks();

private:
    QAccessibleInterface *accessible(const QString &name) const
    {
        QWidget *widget = m_window->findChild<QWidget *>(name);
        return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    }

    std::unique_ptr<frmMain> m_window;
};

void tst_Accessibility::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    installDesignFonts();
}

void tst_Accessibility::init()
{
    m_window = std::make_unique<frmMain>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_Accessibility::cleanup()
{
    m_window.reset();
}

void tst_Accessibility::swatchesAndPaletteByColour_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("heard");
    QTest::addColumn<QString>("described"); // the keys that reach it
    QTest::newRow("label colour swatch") << "Label5(0)" << "Label colour: black"
                                         << "Ctrl+Shift+L chooses the label colour";
    QTest::newRow("column colour swatch") << "Label5(1)" << "Column colour: light grey"
                                          << "Ctrl+Shift+N chooses the column colour";
    QTest::newRow("palette cell 0") << "lblOtherColors(0)" << "light grey" << "";
    QTest::newRow("palette cell 9") << "lblOtherColors(9)" << "dull purple" << "";
    QTest::newRow("palette cell 12") << "lblOtherColors(12)" << "red" << "";
    QTest::newRow("palette cell 15") << "lblOtherColors(15)" << "light blue" << "";
}

void tst_Accessibility::swatchesAndPaletteByColour()
{
    QFETCH(QString, name);
    QFETCH(QString, heard);
    QFETCH(QString, described);
    QAccessibleInterface *cell = accessible(name);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), heard);
    QCOMPARE(cell->text(QAccessible::Description), described);
}

void tst_Accessibility::swatchNameFollowsItsColour()
{
    emit m_window->findChild<FormLabel *>(QStringLiteral("lblOtherColors(12)"))->Click();
    QCOMPARE(accessible(QStringLiteral("Label5(1)"))->text(QAccessible::Name), QStringLiteral("Column colour: red"));

    ModalAnswer<QColorDialog> answer([](QColorDialog *dialog) {
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    emit m_window->findChild<FormLabel *>(QStringLiteral("Label5(0)"))->Click();
    QVERIFY(answer.seen());
    QCOMPARE(accessible(QStringLiteral("Label5(0)"))->text(QAccessible::Name),
             QStringLiteral("Label colour: red 1, green 2, blue 3"));
}

void tst_Accessibility::textLabelsByTheirText()
{
    QCOMPARE(accessible(QStringLiteral("Label4"))->text(QAccessible::Name), QStringLiteral("Label Value:"));
    QCOMPARE(accessible(QStringLiteral("Label3"))->text(QAccessible::Name), QStringLiteral("100"));
}

void tst_Accessibility::chartWithItsColumnCount()
{
    auto *chart = m_window->findChild<jChart *>(QStringLiteral("UserControl11"));
    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(chart);
    QVERIFY(interface);
    QCOMPARE(interface->role(), QAccessible::Chart);
    QCOMPARE(interface->text(QAccessible::Name), QStringLiteral("Column chart with 0 columns"));
    QCOMPARE(interface->text(QAccessible::Description),
             QStringLiteral("Ctrl+Shift+G gives the chart the focus; Shift+F10 then opens its menu"));

    auto *add = m_window->findChild<ccXPButton *>(QStringLiteral("CcXAddColumn"));
    emit add->Click();
    QCOMPARE(interface->text(QAccessible::Name), QStringLiteral("Column chart with 1 column"));
    emit add->Click();
    emit add->Click();
    QCOMPARE(interface->text(QAccessible::Name), QStringLiteral("Column chart with 3 columns"));
    // Each column is a child with its label and value.
    QCOMPARE(interface->childCount(), 3);
    QAccessibleInterface *column = interface->child(2);
    QCOMPARE(column->role(), QAccessible::ListItem);
    QCOMPARE(column->text(QAccessible::Name), QStringLiteral("Value "));
    QCOMPARE(column->text(QAccessible::Value), QStringLiteral("50"));
    QCOMPARE(interface->indexOfChild(column), 2);
    QCOMPARE(interface->childAt(column->rect().center().x(), column->rect().center().y()), column);
    emit m_window->findChild<ccXPButton *>(QStringLiteral("CcXClearGraph"))->Click();
    QCOMPARE(interface->text(QAccessible::Name), QStringLiteral("Column chart with 0 columns"));
    QCOMPARE(interface->childCount(), 0);
    QVERIFY(!column->isValid());
}

void tst_Accessibility::buttonsByTheirCaption_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("heard");
    QTest::newRow("add column") << "CcXAddColumn" << "Add Column";
    QTest::newRow("save graph") << "CcXSaveGraph" << "Save Graph";
    QTest::newRow("clear graph") << "CcXClearGraph" << "Clear Graph";
    QTest::newRow("exit") << "CcXExit" << "Exit";
}

void tst_Accessibility::buttonsByTheirCaption()
{
    QFETCH(QString, name);
    QFETCH(QString, heard);
    QAccessibleInterface *button = accessible(name);
    QVERIFY(button);
    QCOMPARE(button->role(), QAccessible::Button);
    QCOMPARE(button->text(QAccessible::Name), heard);
    QVERIFY(!button->state().disabled);
    QVERIFY(button->state().focusable);
}

void tst_Accessibility::captionMnemonicsAreNotRead_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("heard");
    QTest::newRow("&OK") << "&OK" << "OK";
    QTest::newRow("ampersand inside a word") << "Sa&ve" << "Save";
    QTest::newRow("doubled ampersand") << "R&&D" << "R&D";
    QTest::newRow("three ampersands") << "&&&x" << "&x";
    QTest::newRow("trailing ampersand") << "Go&" << "Go";
    QTest::newRow("empty") << "" << "";
}

void tst_Accessibility::captionMnemonicsAreNotRead()
{
    QFETCH(QString, caption);
    QFETCH(QString, heard);
    auto *button = m_window->findChild<ccXPButton *>(QStringLiteral("CcXExit"));
    button->SetCaption(caption);
    QCOMPARE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), heard);
}

void tst_Accessibility::pressActionClicks()
{
    auto *button = m_window->findChild<ccXPButton *>(QStringLiteral("CcXAddColumn"));
    QAccessibleActionInterface *actions = QAccessible::queryAccessibleInterface(button)->actionInterface();
    QVERIFY(actions);
    QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_window->findChild<jChart *>(QStringLiteral("UserControl11"))->ItemCount(), 1);

    button->SetEnabled(false);
    QVERIFY(QAccessible::queryAccessibleInterface(button)->state().disabled);
    QVERIFY(actions->actionNames().isEmpty());
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_window->findChild<jChart *>(QStringLiteral("UserControl11"))->ItemCount(), 1);
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
