#include "buttontesthost.h"
#include "designfonts.h"
#include "fonts.h"
#include "twips.h"
#include "runtimeerror.h"
#include "windowsystem.h"

#include <QCursor>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

FontDescription verdana(double size)
{
    return {QStringLiteral("Verdana"), size, 400, 0, false, false, false};
}

} // namespace

class tst_ButtonProperties : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void accessKey_data();
    void accessKey();
    void accessKeyReachesTheButton();
    void defaultCaption_data();
    void defaultCaption();
    void newButtonDefaultsAndNotifications();
    void readPropertiesOrderAndLook_data();
    void readPropertiesOrderAndLook();
    void saveOfDefaultButtonWritesOnlyFont();
    void saveAndRestoreEveryProperty();
    void windowButtonsComeUpRestored_data();
    void windowButtonsComeUpRestored();
    void changingTheFontObjectRepaints();
    void emptyFontIsStoredAsGiven();
    void failingReadPropertiesLeavesNoHook();
    void focusRectCarriesItsDescription();
    void focusRectWithoutFocusDoesNotRepaint();
    void enabledChoosesTheLook();
    void hWndIsAssignedOnceAndFindsTheButton();
    void snapMouseToCentre_data();
    void snapMouseToCentre();
    void terminateReleasesTheFont();

private:
    ccXPButton *newButton(const QString &name = QStringLiteral("ccXPButton1"));

    ButtonTestHost *m_host = nullptr;
};

void tst_ButtonProperties::initTestCase()
{
    installDesignFonts();
}

void tst_ButtonProperties::init()
{
    m_host = new ButtonTestHost;
}

void tst_ButtonProperties::cleanup()
{
    delete m_host;
    m_host = nullptr;
}

// A button as the host creates it, before its properties are set.
ccXPButton *tst_ButtonProperties::newButton(const QString &name)
{
    auto *button = new ccXPButton(m_host);
    button->setSite(new FormSite(button, name, button));
    button->resize(81, 33);
    button->Initialize();
    return button;
}

void tst_ButtonProperties::accessKey_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("&OK gives o") << QStringLiteral("&OK") << QStringLiteral("o");
    QTest::newRow("&Cancel gives c") << QStringLiteral("&Cancel") << QStringLiteral("c");
    QTest::newRow("&Apply gives a") << QStringLiteral("&Apply") << QStringLiteral("a");
    QTest::newRow("inside a word") << QStringLiteral("Save &Graph") << QStringLiteral("g");
    QTest::newRow("only a doubled pair: none") << QStringLiteral("Fish && Chips") << QString();
    QTest::newRow("a pair, then a mark") << QStringLiteral("A&&B &Clear") << QStringLiteral("c");
    QTest::newRow("trailing single &: none") << QStringLiteral("Exit&") << QString();
    QTest::newRow("& and a letter") << QStringLiteral("&x") << QStringLiteral("x");
    QTest::newRow("three & then a letter") << QStringLiteral("&&&x") << QStringLiteral("x");
    QTest::newRow("no ampersand") << QStringLiteral("Add Column") << QString();
    QTest::newRow("empty caption") << QString() << QString();
}

void tst_ButtonProperties::accessKey()
{
    QFETCH(QString, caption);
    QFETCH(QString, key);
    ccXPButton *button = newButton();
    FormSite *site = ButtonTestHost::siteOf(button);
    site->setAccessKeys(QStringLiteral("z"));
    button->SetCaption(caption);
    QCOMPARE(site->accessKeys(), key);
}

void tst_ButtonProperties::accessKeyReachesTheButton()
{
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("Save &Graph"));
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXSaveGraph"), QRect(10, 10, 81, 33), bag);
    QSignalSpy pressed(ButtonTestHost::siteOf(button), &ControlSite::AccessKeyPress);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowActive(m_host));
    QTest::keyClick(m_host, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(pressed.first().first().toInt(), int(u'g'));
}

void tst_ButtonProperties::defaultCaption_data()
{
    QTest::addColumn<QStringList>("siblings");
    QTest::addColumn<QStringList>("otherControls");
    QTest::addColumn<QString>("caption");
    QTest::newRow("alone: &OK") << QStringList() << QStringList() << QStringLiteral("&OK");
    QTest::newRow("&OK taken: &Cancel") << QStringList{QStringLiteral("&OK")} << QStringList() << QStringLiteral("&Cancel");
    QTest::newRow("&OK and &Cancel taken: &Apply")
        << QStringList{QStringLiteral("&Cancel"), QStringLiteral("&OK")} << QStringList() << QStringLiteral("&Apply");
    QTest::newRow("all three taken: the instance name")
        << QStringList{QStringLiteral("&Apply"), QStringLiteral("&OK"), QStringLiteral("&Cancel")} << QStringList()
        << QStringLiteral("ccXPButton4");
    QTest::newRow("only &Cancel taken: &OK") << QStringList{QStringLiteral("&Cancel")} << QStringList() << QStringLiteral("&OK");
    QTest::newRow("&ok differs in case: &OK") << QStringList{QStringLiteral("&ok")} << QStringList() << QStringLiteral("&OK");
    QTest::newRow("OK lacks the ampersand: &OK") << QStringList{QStringLiteral("OK")} << QStringList() << QStringLiteral("&OK");
    QTest::newRow("&OK inside a longer caption: &OK") << QStringList{QStringLiteral("&OK now")} << QStringList()
                                                      << QStringLiteral("&OK");
    QTest::newRow("an ordinary button captioned &OK does not count")
        << QStringList() << QStringList{QStringLiteral("&OK")} << QStringLiteral("&OK");
}

void tst_ButtonProperties::defaultCaption()
{
    QFETCH(QStringList, siblings);
    QFETCH(QStringList, otherControls);
    QFETCH(QString, caption);
    for (const QString &sibling : siblings) {
        PropertyBag bag;
        bag.write(QStringLiteral("Caption"), sibling);
        m_host->addButton(QStringLiteral("sibling"), QRect(0, 0, 81, 33), bag);
    }
    for (const QString &text : otherControls)
        new QPushButton(text, m_host);
    ccXPButton *button = newButton(QStringLiteral("ccXPButton4"));
    button->InitProperties();
    QCOMPARE(button->Caption(), caption);
}

void tst_ButtonProperties::newButtonDefaultsAndNotifications()
{
    ccXPButton *button = newButton();
    FormSite *site = ButtonTestHost::siteOf(button);
    button->InitProperties();
    QCOMPARE(button->ForeColor(), 0u);
    QVERIFY(button->Enabled());
    QVERIFY(button->FocusRect());
    QCOMPARE(button->Font()->description(), verdana(8.25));
    QCOMPARE(site->changedProperties(),
             (QStringList{QStringLiteral("Caption"), QStringLiteral("ForeColor"), QStringLiteral("Enabled"),
                          QStringLiteral("FocusRect")}));
    QVERIFY(!button->isPaintLocked());
    QCOMPARE(button->paintedState(), ButtonState::Normal);
}

void tst_ButtonProperties::readPropertiesOrderAndLook_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<ButtonState>("look");
    QTest::newRow("enabled button paints Normal") << true << ButtonState::Normal;
    QTest::newRow("disabled button paints Disabled") << false << ButtonState::Disabled;
}

void tst_ButtonProperties::readPropertiesOrderAndLook()
{
    QFETCH(bool, enabled);
    QFETCH(ButtonState, look);
    ccXPButton *button = newButton();
    FormSite *site = ButtonTestHost::siteOf(button);
    PropertyBag bag;
    bag.write(QStringLiteral("Enabled"), enabled, true);
    button->ReadProperties(bag);
    QCOMPARE(site->changedProperties(),
             (QStringList{QStringLiteral("Caption"), QStringLiteral("ForeColor"), QStringLiteral("Font"),
                          QStringLiteral("FocusRect"), QStringLiteral("Enabled")}));
    QCOMPARE(button->paintedState(), look);
    QCOMPARE(button->isEnabled(), enabled);
}

void tst_ButtonProperties::saveOfDefaultButtonWritesOnlyFont()
{
    ccXPButton *button = newButton();
    button->ReadProperties(PropertyBag());
    PropertyBag saved;
    button->WriteProperties(saved);
    QCOMPARE(saved.keys(), QStringList{QStringLiteral("Font")});

    ccXPButton *restored = newButton(QStringLiteral("ccXPButton2"));
    restored->ReadProperties(saved);
    QCOMPARE(restored->Caption(), QStringLiteral("&OK"));
    QCOMPARE(restored->ForeColor(), 0u);
    QVERIFY(restored->Enabled());
    QVERIFY(restored->FocusRect());
    QCOMPARE(restored->Font()->description(), verdana(8.25));
    QVERIFY(restored->Font() != button->Font());
}

void tst_ButtonProperties::saveAndRestoreEveryProperty()
{
    ccXPButton *button = newButton();
    button->ReadProperties(PropertyBag());
    button->SetCaption(QStringLiteral("Clear &Graph"));
    button->SetForeColor(0x80000012u);
    button->SetFont(makeFont(verdana(15.75)));
    button->SetFocusRect(false);
    button->SetEnabled(false);
    PropertyBag saved;
    button->WriteProperties(saved);
    QCOMPARE(saved.keys(), (QStringList{QStringLiteral("Caption"), QStringLiteral("Enabled"), QStringLiteral("ForeColor"),
                                        QStringLiteral("Font"), QStringLiteral("FocusRect")}));

    // Through the bag's text form, as a form file keeps it.
    ccXPButton *restored = newButton(QStringLiteral("ccXPButton2"));
    restored->ReadProperties(PropertyBag::fromText(saved.toText()));
    QCOMPARE(restored->Caption(), QStringLiteral("Clear &Graph"));
    QCOMPARE(restored->ForeColor(), 0x80000012u);
    QCOMPARE(restored->Font()->description(), verdana(15.75));
    QVERIFY(!restored->FocusRect());
    QVERIFY(!restored->Enabled());
    QCOMPARE(restored->paintedState(), ButtonState::Disabled);
}

void tst_ButtonProperties::windowButtonsComeUpRestored_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<double>("points");
    QTest::addColumn<QSize>("size");
    QTest::newRow("Add Column") << QStringLiteral("CcXAddColumn") << QStringLiteral("Add Column") << 9.75 << QSize(89, 81);
    QTest::newRow("Save Graph") << QStringLiteral("CcXSaveGraph") << QStringLiteral("Save Graph") << 8.25 << QSize(81, 33);
    QTest::newRow("Clear Graph") << QStringLiteral("CcXClearGraph") << QStringLiteral("Clear Graph") << 8.25 << QSize(81, 33);
    QTest::newRow("Exit") << QStringLiteral("CcXExit") << QStringLiteral("Exit") << 15.75 << QSize(89, 81);
}

void tst_ButtonProperties::windowButtonsComeUpRestored()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(double, points);
    QFETCH(QSize, size);
    // The keys as the window's design stores them.
    const PropertyBag bag = PropertyBag::fromText(QStringLiteral("_extentx = 2355\n_extenty = 2143\ncaption = \"%1\"\n"
                                                                 "font = Font(\"Verdana\", %2, 400, 0, False, False, False)\n")
                                                      .arg(caption)
                                                      .arg(points));
    // As on the window, a text box comes first in the focus order.
    auto *textBox = new QLineEdit(m_host);
    textBox->setGeometry(200, 20, 100, 20);
    ccXPButton *button = m_host->addButton(name, QRect(QPoint(20, 20), size), bag);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowActive(m_host));
    QVERIFY(textBox->hasFocus());
    QCOMPARE(button->Caption(), caption);
    QCOMPARE(button->Font()->size(), points);
    QCOMPARE(button->paintedState(), ButtonState::Normal);
    QCOMPARE(button->surface().size(), size);
    // The caption is drawn in black in the middle of the face.
    int ink = 0;
    for (int x = 3; x < size.width() - 3; ++x)
        ink += button->surface().pixel(x, size.height() / 2) == 0 ? 1 : 0;
    QVERIFY(ink > 0);
}

void tst_ButtonProperties::changingTheFontObjectRepaints()
{
    ccXPButton *button = newButton();
    button->ReadProperties(PropertyBag());
    FormSite *site = ButtonTestHost::siteOf(button);
    site->clearChangedProperties();
    const quint64 paints = button->surface().clearCount();

    button->Font()->setSize(12);
    QCOMPARE(button->surface().clearCount(), paints + 1);
    QCOMPARE(site->changedProperties(), QStringList{QStringLiteral("Font")});
    QCOMPARE(button->surface().font().pointSizeF(), 12.0);

    // A font set later takes over; the old object no longer reaches the button.
    const SharedFont old = button->Font();
    button->SetFont(makeFont(verdana(9.75)));
    old->setSize(20);
    QCOMPARE(button->surface().clearCount(), paints + 2);
    QCOMPARE(button->surface().font().pointSizeF(), 9.75);
}

void tst_ButtonProperties::emptyFontIsStoredAsGiven()
{
    ccXPButton *button = newButton();
    button->ReadProperties(PropertyBag());
    FormSite *site = ButtonTestHost::siteOf(button);
    site->clearChangedProperties();
    const SharedFont old = button->Font();
    const quint64 paints = button->surface().clearCount();

    button->SetFont(SharedFont());
    QVERIFY(!button->Font());
    QCOMPARE(site->changedProperties(), QStringList{QStringLiteral("Font")});
    QCOMPARE(button->surface().clearCount(), paints + 1);
    const QFont controlFont = defaultControlFont(Resolution::of(button));
    QCOMPARE(button->surface().drawnFont().family(), controlFont.family());
    QCOMPARE(button->surface().drawnFont().pixelSize(), controlFont.pixelSize());
    old->setSize(20);
    QCOMPARE(button->surface().clearCount(), paints + 1);

    // Every look still paints, caption included.
    for (ButtonState state : {ButtonState::Normal, ButtonState::Focused, ButtonState::Hot, ButtonState::Pressed,
                              ButtonState::Disabled}) {
        button->DrawButton(state);
        QCOMPARE(button->paintedState(), state);
    }
    int ink = 0;
    for (int x = 0; x < button->width(); ++x)
        ink += button->surface().pixel(x, button->height() / 2) == 0 ? 1 : 0;
    QVERIFY(ink > 0);
}

void tst_ButtonProperties::failingReadPropertiesLeavesNoHook()
{
    ccXPButton *button = newButton();
    PropertyBag bag;
    bag.write(QStringLiteral("Font"), QStringLiteral("Verdana"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, button->ReadProperties(bag));
    QVERIFY(button->hook().records().empty());
    QVERIFY(button->isPaintLocked());
    QCOMPARE(button->Caption(), QStringLiteral("&OK"));
}

void tst_ButtonProperties::focusRectCarriesItsDescription()
{
    const QMetaObject &meta = ccXPButton::staticMetaObject;
    QVERIFY(meta.indexOfProperty("FocusRect") >= 0);
    const int info = meta.indexOfClassInfo("FocusRect");
    QVERIFY(info >= 0);
    QCOMPARE(QString::fromUtf8(meta.classInfo(info).value()),
             QStringLiteral("Displays a rect inside button border when the control has the focus."));
}

void tst_ButtonProperties::focusRectWithoutFocusDoesNotRepaint()
{
    ccXPButton *button = newButton();
    button->ReadProperties(PropertyBag());
    FormSite *site = ButtonTestHost::siteOf(button);
    site->clearChangedProperties();
    const quint64 paints = button->surface().clearCount();
    button->SetFocusRect(false);
    QCOMPARE(button->surface().clearCount(), paints);
    QCOMPARE(site->changedProperties(), QStringList{QStringLiteral("FocusRect")});
}

void tst_ButtonProperties::enabledChoosesTheLook()
{
    ccXPButton *button = newButton();
    button->ReadProperties(PropertyBag());
    const quint64 paints = button->surface().clearCount();
    button->SetEnabled(true); // already Normal: no repaint
    QCOMPARE(button->surface().clearCount(), paints);
    button->SetEnabled(false);
    QCOMPARE(button->paintedState(), ButtonState::Disabled);
    QVERIFY(!button->isEnabled());
    button->SetEnabled(true);
    QCOMPARE(button->paintedState(), ButtonState::Normal);
    QVERIFY(button->isEnabled());
}

void tst_ButtonProperties::hWndIsAssignedOnceAndFindsTheButton()
{
    ccXPButton *first = newButton();
    ccXPButton *second = newButton(QStringLiteral("ccXPButton2"));
    QVERIFY(first->hWnd() != 0);
    QVERIFY(first->hWnd() != second->hWnd());
    const std::int32_t handle = first->hWnd();
    first->ReadProperties(PropertyBag());
    first->resize(120, 40);
    QCOMPARE(first->hWnd(), handle);
    QCOMPARE(WindowSystem::window(handle), first);
    delete first;
    QCOMPARE(WindowSystem::window(handle), nullptr);
}

void tst_ButtonProperties::snapMouseToCentre_data()
{
    QTest::addColumn<QPoint>("origin");
    QTest::addColumn<QPoint>("pointer");
    // 81 x 33: half of each is 40.5 and 16.5
    QTest::newRow("100 + 40.5 goes to the even 140") << QPoint(100, 50) << QPoint(140, 66);
    QTest::newRow("101 + 40.5 goes to the even 142") << QPoint(101, 51) << QPoint(142, 68);
}

void tst_ButtonProperties::snapMouseToCentre()
{
    QFETCH(QPoint, origin);
    QFETCH(QPoint, pointer);
    m_host->setGeometry(QRect(origin - QPoint(10, 10), QSize(200, 100)));
    ccXPButton *button = m_host->addButton(QStringLiteral("CcXSaveGraph"), QRect(10, 10, 81, 33));
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host));
    QCOMPARE(button->mapToGlobal(QPoint(0, 0)), origin);
    button->SnapMouseTo();
    QCOMPARE(QCursor::pos(), pointer);
}

void tst_ButtonProperties::terminateReleasesTheFont()
{
    ccXPButton *button = newButton();
    button->ReadProperties(PropertyBag());
    const SharedFont font = button->Font();
    button->Terminate();
    QVERIFY(!button->Font());
    const quint64 paints = button->surface().clearCount();
    font->setSize(30);
    QCOMPARE(button->surface().clearCount(), paints);
}

QTEST_MAIN(tst_ButtonProperties)
#include "tst_buttonproperties.moc"
