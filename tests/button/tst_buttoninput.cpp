#include "buttontesthost.h"
#include "designfonts.h"
#include "fonts.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <stdexcept>

namespace {

// A site whose ambient DisplayAsDefault can change without a notification.
class QuietDefaultSite : public FormSite
{
public:
    using FormSite::FormSite;
    bool displayAsDefault() const override { return quietDefault; }
    bool quietDefault = false;
};

} // namespace

class tst_ButtonInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sequences_data();
    void sequences();
    void arrowsMoveTheFocus_data();
    void arrowsMoveTheFocus();
    void boundsAreInclusive_data();
    void boundsAreInclusive();
    void ambientChangeRepaintsOnlyForDisplayAsDefault();
    void mouseMoveIsPassedOn();
    void throwingClickHandlerDoesNotStopTheButton();

private:
    void showAndActivate();
    void deactivate();
    void moveTo(QPointF position, Qt::MouseButtons held = Qt::NoButton);
    void apply(const QString &input);

    ButtonTestHost *m_host = nullptr;
    QLineEdit *m_before = nullptr;
    ccXPButton *m_button = nullptr;
    QLineEdit *m_after = nullptr;
    QWidget *m_other = nullptr;
    QSignalSpy *m_clicks = nullptr;
    QPoint m_pointer;
    int m_moves = 0;
};

void tst_ButtonInput::initTestCase()
{
    installDesignFonts();
}

void tst_ButtonInput::init()
{
    // Away from every window, so that no test starts with the pointer over the button.
    QCursor::setPos(790, 790);
    m_host = new ButtonTestHost;
    m_host->move(0, 0);
    m_before = new QLineEdit(m_host);
    m_before->setGeometry(10, 10, 100, 20);
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("Save &Graph"));
    m_button = m_host->addButton(QStringLiteral("CcXSaveGraph"), QRect(10, 50, 81, 33), bag);
    m_after = new QLineEdit(m_host);
    m_after->setGeometry(10, 100, 100, 20);
    m_clicks = new QSignalSpy(m_button, &ccXPButton::Click);
    m_pointer = QPoint(120, 16);
    m_moves = 0;
}

void tst_ButtonInput::cleanup()
{
    delete m_clicks;
    delete m_host;
    delete m_other;
    m_other = nullptr;
}

void tst_ButtonInput::showAndActivate()
{
    m_host->show();
    m_host->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_host));
}

// Makes another window active, so that the form becomes inactive.
void tst_ButtonInput::deactivate()
{
    if (!m_other) {
        m_other = new QWidget;
        m_other->setGeometry(500, 500, 50, 50);
    }
    m_other->show();
    m_other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_other));
    QTRY_VERIFY(!m_host->isActiveWindow());
}

// A move as the window system reports it to the button, also outside it (as
// while a mouse button is held).
void tst_ButtonInput::moveTo(QPointF position, Qt::MouseButtons held)
{
    QMouseEvent move(QEvent::MouseMove, position, m_button->mapToGlobal(position), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(m_button, &move);
}

void tst_ButtonInput::apply(const QString &input)
{
    const auto is = [&input](const char *name) { return input == QLatin1String(name); };
    if (is("in") || is("out")) {
        // Never the same position twice in a row: that would be no move.
        ++m_moves;
        m_pointer = QPoint((is("in") ? 40 : 120) + m_moves % 2, 16);
        QTest::mouseMove(m_button, m_pointer);
    } else if (is("leave")) {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(m_button, &leave);
    } else if (is("down") || is("rdown")) {
        QTest::mousePress(m_button, is("down") ? Qt::LeftButton : Qt::RightButton, {}, m_pointer);
    } else if (is("up") || is("rup")) {
        QTest::mouseRelease(m_button, is("up") ? Qt::LeftButton : Qt::RightButton, {}, m_pointer);
    } else if (is("dbl") || is("rdbl")) {
        QTest::mouseDClick(m_button, is("dbl") ? Qt::LeftButton : Qt::RightButton, {}, m_pointer);
    } else if (is("space")) {
        QTest::keyPress(m_button, Qt::Key_Space);
    } else if (is("spaceup")) {
        QTest::keyRelease(m_button, Qt::Key_Space);
    } else if (is("enter")) {
        QTest::keyClick(m_button, Qt::Key_Return);
    } else if (is("alt")) {
        QTest::keyClick(m_host, Qt::Key_G, Qt::AltModifier);
    } else if (is("focus") || is("blur")) {
        (is("focus") ? static_cast<QWidget *>(m_button) : m_after)->setFocus();
    } else if (is("deact")) {
        deactivate();
    } else if (is("act")) {
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host));
    } else if (is("default") || is("nodefault")) {
        ButtonTestHost::siteOf(m_button)->setDisplayAsDefault(is("default"));
    } else if (is("disable") || is("enable")) {
        m_button->SetEnabled(is("enable"));
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown input %1").arg(input)));
    }
}

// Each row is a sequence of inputs, each written "input>looks" or
// "input>looks:events", as they reach the button on an active form whose
// focus is elsewhere and whose pointer is away from the button.
//   looks:  the looks painted by that input, in order (Disabled, Normal,
//           Focused, Hot, Pressed), "-" for none; the test sees how many
//           paints there were and which look came last
//   events: c Click, d DblClick, m MouseMove, 1 and 0 FormActivate
// Inputs: in / out (pointer moves; with the left button held, as the button
// gets them while it holds the mouse), leave (the pointer leaves after a
// leave request), down / up / dbl (left button), rdown / rup / rdbl (right
// button), space / spaceup, enter, alt (access key), focus / blur, deact /
// act (another window takes the activation, the form takes it back),
// default / nodefault (ambient DisplayAsDefault), disable / enable.
void tst_ButtonInput::sequences_data()
{
    QTest::addColumn<QString>("sequence");
    const auto row = [](const char *name, const char *sequence) { QTest::newRow(name) << QString::fromLatin1(sequence); };

    row("click released over the button", "in>H:m down>P up>H:c");
    row("press moved out and in, released outside", "in>H:m down>P out>F:m in>P:m out>F:m up>F");
    row("right button changes nothing", "in>H:m rdown>- rup>- rdbl>- rup>-");
    row("left double click", "in>H:m down>P up>H:c dbl>P:d up>H");
    row("Space pressed away from the pointer", "focus>F space>P space>- spaceup>F:c in>H:m");
    row("Space pressed under the pointer", "in>H:m focus>- space>P spaceup>H:c");
    row("Space ignored while the mouse button is held", "in>H:m down>P space>- out>F:m in>P:m spaceup>- up>H:c");
    row("mouse ignored while Space is held", "focus>F space>P in>- out>- spaceup>F:c");
    row("Space released during a mouse press does not stick", "focus>F space>P in>- down>- spaceup>- up>H:c leave>F");
    row("losing the focus ends a Space press", "focus>F space>P blur>N in>H:m");
    row("release without the focus raises no Click", "space>P in>- up>H spaceup>-");
    row("Enter clicks without a repaint", "focus>F enter>-:c");
    row("access key clicks without a repaint", "alt>-:c");
    row("access key cancels a held Space", "focus>F space>P alt>F spaceup>F");
    row("access key of a disabled button does nothing", "disable>D alt>-");
    row("deactivation ends a mouse press without Click", "in>H:m down>P deact>N:0 up>-");
    row("deactivation clears the Space flag", "space>P deact>N:0 act>-:1 in>H:m");
    row("Space held while the form is switched away", "focus>F space>P deact>N:0 act>FF:1 in>H:m");
    row("moves while the form is inactive", "deact>-:0 in>- act>H:1");
    row("GotFocus keeps a press of an inactive form", "deact>-:0 in>- down>P out>- act>F:1 up>F");
    row("GotFocus keeps Pressed under the pointer", "space>P in>- focus>- spaceup>H:c");
    row("disabled button still raises FormActivate", "disable>D deact>-:0 act>-:1");
    row("LostFocus under the pointer shows Hot", "focus>F in>H:m blur>-");
    row("LostFocus of the default button shows Focused", "default>F focus>F blur>F");
    row("LostFocus otherwise shows Normal", "focus>F blur>N");
    row("DisplayAsDefault repaints", "default>F nodefault>N");
    row("pointer left without the focus", "in>H:m out>N");
    row("pointer left with the focus", "focus>F in>H:m out>F");
    row("pointer left the default button", "default>F in>H:m out>F");
    row("pointer left during an armed press", "in>H:m down>P leave>F up>F");
    row("pointer left after a double click", "in>H:m down>P up>H:c dbl>P:d leave>N up>F");
    row("pointer left while Space is held", "focus>F in>H:m space>P leave>-");
    row("pointer left a disabled button", "in>H:m disable>D leave>-");
    row("enabled under the pointer", "in>H:m disable>D enable>H");
    row("enabled as the default button", "default>F disable>D enable>F");
}

void tst_ButtonInput::sequences()
{
    QFETCH(QString, sequence);
    showAndActivate();
    QString events;
    const QObject receiver; // ends the connections before events goes
    connect(m_button, &ccXPButton::Click, &receiver, [&events] { events += u'c'; });
    connect(m_button, &ccXPButton::DblClick, &receiver, [&events] { events += u'd'; });
    connect(m_button, &ccXPButton::MouseMove, &receiver, [&events] { events += u'm'; });
    connect(m_button, &ccXPButton::FormActivate, &receiver,
            [&events](int state) { events += QString::number(state); });

    for (const QString &step : sequence.split(u' ')) {
        const QString input = step.section(u'>', 0, 0);
        const QString looks = step.section(u'>', 1).section(u':', 0, 0);
        const QString expectedEvents = step.section(u':', 1);
        const quint64 paints = m_button->surface().clearCount();
        events.clear();
        apply(input);
        const QString where = QStringLiteral("after %1").arg(input);
        QVERIFY2(!QTest::currentTestFailed(), qPrintable(where));
        QCOMPARE(events, expectedEvents);
        if (looks == u'-') {
            QVERIFY2(m_button->surface().clearCount() == paints, qPrintable(where + QStringLiteral(": repainted")));
            continue;
        }
        QCOMPARE(m_button->surface().clearCount() - paints, quint64(looks.size()));
        QCOMPARE(QString(u"DNFHP"[int(m_button->paintedState())]), looks.right(1));
    }
    // A button left held would turn the next row's moves into drags.
    QCOMPARE(QTestPrivate::qtestMouseButtons, Qt::MouseButtons());
}

void tst_ButtonInput::arrowsMoveTheFocus_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("forward");
    QTest::newRow("Left: previous control") << int(Qt::Key_Left) << false;
    QTest::newRow("Up: previous control") << int(Qt::Key_Up) << false;
    QTest::newRow("Right: next control") << int(Qt::Key_Right) << true;
    QTest::newRow("Down: next control") << int(Qt::Key_Down) << true;
    QTest::newRow("Tab still works: next control") << int(Qt::Key_Tab) << true;
    QTest::newRow("Backtab still works: previous control") << int(Qt::Key_Backtab) << false;
}

void tst_ButtonInput::arrowsMoveTheFocus()
{
    QFETCH(int, key);
    QFETCH(bool, forward);
    showAndActivate();
    m_button->setFocus();
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
    QTest::keyClick(m_button, Qt::Key(key));
    QVERIFY((forward ? m_after : m_before)->hasFocus());
    QCOMPARE(m_button->paintedState(), ButtonState::Normal);
}

void tst_ButtonInput::boundsAreInclusive_data()
{
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<ButtonState>("look");
    QTest::newRow("x = w is inside") << QPointF(81, 16) << ButtonState::Hot;
    QTest::newRow("y = h is inside") << QPointF(40, 33) << ButtonState::Hot;
    QTest::newRow("(0, 0) is inside") << QPointF(0, 0) << ButtonState::Hot;
    QTest::newRow("x = -0.5 is outside") << QPointF(-0.5, 16) << ButtonState::Normal;
    QTest::newRow("y = h + 0.5 is outside") << QPointF(40, 33.5) << ButtonState::Normal;
}

void tst_ButtonInput::boundsAreInclusive()
{
    QFETCH(QPointF, position);
    QFETCH(ButtonState, look);
    showAndActivate();
    moveTo(QPointF(40, 16));
    moveTo(QPointF(-20, 16));
    QCOMPARE(m_button->paintedState(), ButtonState::Normal);
    moveTo(position);
    QCOMPARE(m_button->paintedState(), look);
}

void tst_ButtonInput::ambientChangeRepaintsOnlyForDisplayAsDefault()
{
    auto *button = new ccXPButton(m_host);
    auto *site = new QuietDefaultSite(button, QStringLiteral("CcXExit"), button);
    button->setSite(site);
    button->Initialize();
    button->ReadProperties(PropertyBag());
    showAndActivate();
    QCOMPARE(button->paintedState(), ButtonState::Normal);

    site->quietDefault = true;
    emit site->AmbientChanged(QStringLiteral("ForeColor"));
    QCOMPARE(button->paintedState(), ButtonState::Normal);
    // ... but the button now knows it is the default button.
    button->SetEnabled(true);
    QCOMPARE(button->paintedState(), ButtonState::Focused);

    site->quietDefault = false;
    emit site->AmbientChanged(QStringLiteral("displayasdefault"));
    QCOMPARE(button->paintedState(), ButtonState::Focused);
    emit site->AmbientChanged(QStringLiteral("DisplayAsDefault"));
    QCOMPARE(button->paintedState(), ButtonState::Normal);
}

void tst_ButtonInput::mouseMoveIsPassedOn()
{
    showAndActivate();
    QSignalSpy moves(m_button, &ccXPButton::MouseMove);
    QMouseEvent move(QEvent::MouseMove, QPointF(12.5, 7.25), m_button->mapToGlobal(QPointF(12.5, 7.25)), Qt::NoButton,
                     Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier | Qt::AltModifier);
    QApplication::sendEvent(m_button, &move);
    QCOMPARE(moves.size(), 1);
    const QList<QVariant> arguments = moves.first();
    QCOMPARE(arguments.at(0).toInt(), 1 | 2); // left and right
    QCOMPARE(arguments.at(1).toInt(), 1 | 4); // Shift and Alt
    QCOMPARE(arguments.at(2).toFloat(), 12.5f);
    QCOMPARE(arguments.at(3).toFloat(), 7.25f);
    // The same position again is no move.
    QApplication::sendEvent(m_button, &move);
    QCOMPARE(moves.size(), 1);
}

void tst_ButtonInput::throwingClickHandlerDoesNotStopTheButton()
{
    showAndActivate();
    connect(m_button, &ccXPButton::Click, m_host, [] { throw std::runtime_error("handler failed"); });
    QTest::ignoreMessage(QtWarningMsg, "ccXPButton: an event handler failed: handler failed");
    QTest::mouseMove(m_button, QPoint(40, 16));
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QCOMPARE(m_clicks->size(), 1);
    QCOMPARE(m_button->paintedState(), ButtonState::Hot);
    // The press ended: moving out shows Focused, not Pressed, and the next click counts.
    moveTo(QPointF(120, 16));
    QCOMPARE(m_button->paintedState(), ButtonState::Focused);
    QTest::ignoreMessage(QtWarningMsg, "ccXPButton: an event handler failed: handler failed");
    moveTo(QPointF(40, 16));
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(40, 16));
    QCOMPARE(m_clicks->size(), 2);
}

QTEST_MAIN(tst_ButtonInput)
#include "tst_buttoninput.moc"
