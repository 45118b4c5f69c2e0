#include "ccxpbutton.h"

#include "accessibility.h"
#include "ccxpbuttonaccessible.h"
#include "controlsite.h"
#include "numbers.h"
#include "propertybag.h"
#include "twips.h"
#include "windowsystem.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <exception>
#include <iterator>

namespace {

const QString CaptionKey = QStringLiteral("Caption");
const QString EnabledKey = QStringLiteral("Enabled");
const QString ForeColorKey = QStringLiteral("ForeColor");
const QString FontKey = QStringLiteral("Font");
const QString FocusRectKey = QStringLiteral("FocusRect");

const QString DefaultCaption = QStringLiteral("&OK");
constexpr bool DefaultEnabled = true;
constexpr std::int32_t DefaultForeColor = 0;
constexpr bool DefaultFocusRect = true;
// The font default is a text, which a font never equals: "Font" is always saved.
const QString FontWriteDefault = QStringLiteral("Verdana");

// The captions a newly placed button takes, the first that no XP-style
// sibling has yet; after these it takes its own instance name.
const QString NewButtonCaptions[] = {QStringLiteral("&OK"), QStringLiteral("&Cancel"), QStringLiteral("&Apply")};
constexpr QChar CaptionSeparator = u'|';
constexpr QChar Mnemonic = u'&';

const QString DisplayAsDefault = QStringLiteral("DisplayAsDefault");

// Mouse buttons and shift keys as the control runtime numbers them in MouseMove.
constexpr int LeftButton = 1;
constexpr int RightButton = 2;
constexpr int MiddleButton = 4;
constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;

// The keys the button reacts to; every other key goes on to the form.
constexpr int ButtonKeys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Left,
                              Qt::Key_Up,     Qt::Key_Right, Qt::Key_Down};

// The button is never smaller than this either way.
constexpr double MinimumTwips = 100.0;

// The activation messages carry the new state in the low word of wParam.
constexpr std::int32_t LowWordMask = 0xFFFF;

FontDescription designFont()
{
    return {QStringLiteral("Verdana"), 8.25, 400, 0, false, false, false};
}

int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? LeftButton : 0) | (buttons & Qt::RightButton ? RightButton : 0)
         | (buttons & Qt::MiddleButton ? MiddleButton : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? ShiftMask : 0) | (modifiers & Qt::ControlModifier ? CtrlMask : 0)
         | (modifiers & Qt::AltModifier ? AltMask : 0);
}

bool isButtonKey(int key)
{
    return std::find(std::begin(ButtonKeys), std::end(ButtonKeys), key) != std::end(ButtonKeys);
}

// The fewest whole logical pixels whose device pixels span the minimum.
int minimumPixels(double twipsPerPixel, double pixelRatio)
{
    return int(std::ceil(std::ceil(MinimumTwips / twipsPerPixel) / pixelRatio));
}

} // namespace

ccXPButton::ccXPButton(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a held mouse button are notifications too.
    setMouseTracking(true);
    // Every pixel comes from the picture, but for the corners the shape cuts off.
    setAttribute(Qt::WA_OpaquePaintEvent);
    static const bool accessible = [] {
        registerAccessible(QString::fromLatin1(staticMetaObject.className()), [](QObject *object) {
            return new ccXPButtonAccessible(static_cast<ccXPButton *>(object));
        });
        return true;
    }();
    Q_UNUSED(accessible);
}

// A button that goes without Terminate leaves no hook behind. Its hooks go
// while the button is whole: a hook's last message may still reach it.
ccXPButton::~ccXPButton()
{
    m_hook.detachAll();
}

void ccXPButton::setSite(ControlSite *site)
{
    if (m_site)
        disconnect(m_site, nullptr, this, nullptr);
    m_site = site;
    if (!m_site)
        return;
    connect(m_site, &ControlSite::AccessKeyPress, this, &ccXPButton::clickByAccessKey);
    connect(m_site, &ControlSite::AmbientChanged, this, &ccXPButton::updateFromAmbient);
}

// Properties and life cycle

void ccXPButton::Initialize()
{
    m_paintLocked = true;
    m_colours = ButtonPainter::designColours();
    attachFont(makeFont(designFont()));
    m_handle = WindowSystem::handleOf(this);
}

void ccXPButton::InitProperties()
{
    QString captions(CaptionSeparator);
    const QList<QWidget *> controls = m_site ? m_site->formControls() : QList<QWidget *>();
    for (QWidget *control : controls) {
        if (const auto *button = qobject_cast<ccXPButton *>(control))
            captions += button->Caption() + CaptionSeparator;
    }
    QString caption = m_site ? m_site->name() : QString();
    for (const QString &candidate : NewButtonCaptions) {
        if (!captions.contains(CaptionSeparator + candidate + CaptionSeparator)) {
            caption = candidate;
            break;
        }
    }
    SetCaption(caption);
    SetForeColor(DefaultForeColor);
    SetEnabled(DefaultEnabled);
    SetFocusRect(DefaultFocusRect);
}

void ccXPButton::ReadProperties(const PropertyBag &bag)
{
    m_formHandle = WindowSystem::handleOf(parentForm());
    SetCaption(BagValue::toText(bag.read(CaptionKey, DefaultCaption)));
    SetForeColor(BagValue::toColour(bag.read(ForeColorKey, DefaultForeColor)));
    const QVariant font = bag.read(FontKey);
    SetFont(font.isValid() ? makeFont(BagValue::toFont(font)) : m_font);
    SetFocusRect(BagValue::toBool(bag.read(FocusRectKey, DefaultFocusRect)));
    SetEnabled(BagValue::toBool(bag.read(EnabledKey, DefaultEnabled)));
    installHooks();
    m_paintLocked = false;
    DrawButton(m_state);
}

void ccXPButton::WriteProperties(PropertyBag &bag) const
{
    bag.write(CaptionKey, m_caption, DefaultCaption);
    bag.write(EnabledKey, m_enabled, DefaultEnabled);
    bag.write(ForeColorKey, std::int32_t(m_foreColor), DefaultForeColor);
    if (m_font)
        bag.write(FontKey, QVariant::fromValue(m_font->description()), FontWriteDefault);
    bag.write(FocusRectKey, m_focusRect, DefaultFocusRect);
}

void ccXPButton::Terminate()
{
    try {
        attachFont(nullptr);
        removeHooks();
    } catch (...) {
        // The host is closing; a failure here has nobody to tell.
    }
}

void ccXPButton::SetCaption(const QString &caption)
{
    m_caption = caption;
    if (m_site)
        m_site->setAccessKeys(accessKey());
    DrawButton(m_state);
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    notifyChanged(CaptionKey);
}

void ccXPButton::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    setEnabled(enabled);
    m_paintLocked = false;
    if (m_mouseOver && m_enabled) {
        DrawButton(ButtonState::Hot);
    } else if (m_isDefault && enabled) {
        DrawButton(ButtonState::Focused);
    } else {
        const ButtonState target = enabled ? ButtonState::Normal : ButtonState::Disabled;
        if (m_state != target)
            DrawButton(target);
    }
    notifyChanged(EnabledKey);
}

void ccXPButton::SetFont(const SharedFont &font)
{
    attachFont(font);
    applyFont();
}

void ccXPButton::SetForeColor(OleColor colour)
{
    m_foreColor = colour;
    m_surface.setTextColour(colour);
    DrawButton(m_state);
    notifyChanged(ForeColorKey);
}

void ccXPButton::SetFocusRect(bool focusRect)
{
    m_focusRect = focusRect;
    if (m_hasFocus)
        DrawButton(m_state);
    notifyChanged(FocusRectKey);
}

void ccXPButton::SnapMouseTo()
{
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    // The surface's scale is in twips; half of it, back in device pixels and
    // then in the logical pixels of the pointer's position.
    const Resolution resolution = Resolution::of(this);
    const QSize device = resolution.toDevicePixels(size());
    const auto halfWidth = float(resolution.toTwipsX(device.width()) / 2);
    const auto halfHeight = float(resolution.toTwipsY(device.height()) / 2);
    const double ratio = resolution.pixelRatio();
    QCursor::setPos(int(roundHalfEven(origin.x() + halfWidth / resolution.twipsPerPixelX() / ratio)),
                    int(roundHalfEven(origin.y() + halfHeight / resolution.twipsPerPixelY() / ratio)));
}

// The character after the first "&" that is not part of a "&&" pair, lower-cased.
QString ccXPButton::accessKey() const
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype mark = m_caption.indexOf(Mnemonic, from);
        if (mark < 0 || mark == m_caption.size() - 1)
            return {};
        if (m_caption[mark + 1] != Mnemonic)
            return m_caption.mid(mark + 1, 1).toLower();
        from = mark + 2;
    }
}

// Draws the caption in the font as it now is: a new font object, or a change
// of the one the button holds.
void ccXPButton::applyFont()
{
    // Without a font object the caption is drawn in the default control font,
    // which the surface takes at its own resolution.
    m_surface.setFont(m_font ? m_font->toQFont() : FontDescription().toQFont());
    DrawButton(m_state);
    notifyChanged(FontKey);
}

// Holds the font object and listens to its changes; the surface draws in it.
void ccXPButton::attachFont(const SharedFont &font)
{
    if (m_font)
        disconnect(m_font.data(), &FontObject::FontChanged, this, &ccXPButton::applyFont);
    m_font = font;
    if (!m_font)
        return;
    connect(m_font.data(), &FontObject::FontChanged, this, &ccXPButton::applyFont);
    m_surface.setFont(m_font->toQFont());
}

void ccXPButton::notifyChanged(const QString &key)
{
    if (m_site)
        m_site->propertyChanged(key);
}

bool ccXPButton::userMode() const
{
    return m_site && m_site->userMode();
}

QWidget *ccXPButton::parentForm() const
{
    return m_site ? m_site->parentForm() : window();
}

// Painting

void ccXPButton::DrawButton(ButtonState state)
{
    if (m_paintLocked)
        return;
    m_state = state;
    // The picture is drawn at the device pixels the button covers.
    const Resolution resolution = Resolution::of(this);
    m_surface.resize(resolution.toDevicePixels(size()));
    m_surface.setResolution(resolution);
    ButtonPainter::drawBody(m_surface, state, m_colours);
    applyShape();

    // Nothing may paint over the picture while its caption is drawn.
    m_paintLocked = true;
    const auto unlock = qScopeGuard([this] { m_paintLocked = false; });
    ButtonPainter::drawCaption(m_surface, state, {m_caption, m_enabled, m_foreColor, m_focusRect, m_hasFocus});
    update();
}

// The shape only changes with the size, so it is made again only then. It
// leaves out one device pixel at each corner: a mask, which is in logical
// pixels, does that where the device pixel ratio is 1. At another ratio the
// mask would leave out ratio x ratio pixels, so the button lets the form
// show through and leaves out the corners as it paints.
void ccXPButton::applyShape()
{
    const bool logicalIsDevice = m_surface.size() == size();
    if (m_shapeSize == size() && testAttribute(Qt::WA_OpaquePaintEvent) == logicalIsDevice)
        return;
    if (logicalIsDevice)
        setMask(DrawingSurface::roundedShape(size()));
    else
        clearMask();
    setAttribute(Qt::WA_OpaquePaintEvent, logicalIsDevice);
    m_shapeSize = size();
}

void ccXPButton::paintEvent(QPaintEvent *)
{
    // A picture drawn for another resolution (the window moved to another
    // screen, or its screen changed its scale) is drawn again first.
    const Resolution resolution = Resolution::of(this);
    const QSize device = resolution.toDevicePixels(size());
    if (!m_paintLocked && (m_surface.size() != device || m_surface.resolution() != resolution))
        DrawButton(m_state);

    QPainter painter(this);
    resolution.paintInDevicePixels(painter);
    if (m_surface.size() != device) {
        painter.fillRect(QRect(QPoint(0, 0), device), toQColor(ButtonPainter::Background));
        return;
    }
    if (device != size())
        painter.setClipRegion(DrawingSurface::roundedShape(device));
    painter.drawImage(QPoint(0, 0), m_surface.image());
}

void ccXPButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    enforceMinimumSize();
}

// Keeps the button at least 100 twips high and wide. Growing it runs this
// reaction again from within resize(); that nested run finds the lock set and
// does not paint. Once the size is in place, the lock this reaction raised is
// lowered again and the button is painted once at its new size; a lock that
// was already set (properties not yet known) is left alone.
void ccXPButton::enforceMinimumSize()
{
    const bool lockedBefore = m_paintLocked;
    const Resolution resolution = Resolution::of(this);
    if (resolution.toTwipsY(resolution.toDevicePixels(size()).height()) < MinimumTwips) {
        m_paintLocked = true;
        resize(width(), minimumPixels(resolution.twipsPerPixelY(), resolution.pixelRatio()));
    }
    if (resolution.toTwipsX(resolution.toDevicePixels(size()).width()) < MinimumTwips) {
        m_paintLocked = true;
        resize(minimumPixels(resolution.twipsPerPixelX(), resolution.pixelRatio()), height());
    }
    if (!lockedBefore)
        m_paintLocked = false;
    if (!m_paintLocked)
        DrawButton(m_state);
}

// Input: Qt's events change the state and repaint the look that follows.

// Raises an event to the host, whose handler runs to its end first. A handler
// that throws does not take the window down with it: the error ends the
// handler, not the button's reaction. Returns whether the button still
// exists, since a handler may delete it.
template<typename Emit>
bool ccXPButton::raiseEvent(Emit emitEvent)
{
    const QPointer<ccXPButton> alive(this);
    try {
        emitEvent();
    } catch (const std::exception &error) {
        qWarning("ccXPButton: an event handler failed: %s", error.what());
    } catch (...) {
        qWarning("ccXPButton: an event handler failed");
    }
    return !alive.isNull();
}

void ccXPButton::paintIfLookChanges(ButtonState look)
{
    if (m_state != look)
        DrawButton(look);
}

// Windows reports the pointer's position with a move whenever the window
// under it changes, and never twice for one position; Qt reports an entry
// separately and may repeat a position.
void ccXPButton::reportMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position)
{
    if (m_lastMove == position)
        return;
    m_lastMove = position;
    followPointer(buttonCode(buttons), shiftCode(modifiers), float(position.x()), float(position.y()));
}

void ccXPButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    // Qt tells a disabled widget of the pointer's entry too; Windows does not.
    if (isEnabled())
        reportMove(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers(), event->position());
}

// The button is its own window's procedure: the hooks on it hear of a leave
// before and after the button's own processing. The reaction to leaving
// comes through them.
void ccXPButton::leaveEvent(QEvent *event)
{
    const QList<WindowMessage> messages = WindowSystem::leaveMessages(this);
    const QPointer<ccXPButton> alive(this);
    WindowProcedure::report(this, messages, true);
    if (!alive)
        return;
    QWidget::leaveEvent(event);
    m_lastMove.reset();
    WindowProcedure::report(this, messages, false);
}

// The mouse handlers do not call the base handlers, which would pass the
// events on to the form: the button takes them.
void ccXPButton::mousePressEvent(QMouseEvent *event)
{
    m_lastButton = event->button();
    if (event->button() != Qt::LeftButton)
        return;
    m_hasFocus = true;
    m_armed = true;
    m_mouseDown = true;
    paintIfLookChanges(ButtonState::Pressed);
}

void ccXPButton::mouseMoveEvent(QMouseEvent *event)
{
    reportMove(event->buttons(), event->modifiers(), event->position());
}

void ccXPButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_formActive) {
        if (m_mouseOver)
            paintIfLookChanges(ButtonState::Hot);
        else if (m_hasFocus)
            DrawButton(ButtonState::Focused);
        if (m_mouseOver && m_hasFocus && m_armed && !raiseEvent([this] { emit Click(); }))
            return;
    }
    // After the host's Click handler, and also while the form is inactive.
    m_armed = false;
    m_mouseDown = false;
}

// Qt delivers a double click as press, release, double click, release; the
// double click stands in for the second press, as in the control runtime.
void ccXPButton::mouseDoubleClickEvent(QMouseEvent *)
{
    if (m_lastButton != Qt::LeftButton)
        return;
    DrawButton(ButtonState::Pressed);
    raiseEvent([this] { emit DblClick(); });
}

// The pointer's moves, inside the button and (while a mouse button is held)
// outside it: the look follows unless Space holds the button down.
void ccXPButton::followPointer(int button, int shift, float x, float y)
{
    // Both bounds count as inside.
    m_mouseOver = x >= 0 && x <= width() && y >= 0 && y <= height();
    if (m_mouseOver)
        WindowSystem::trackMouseLeave(m_handle);
    if (!m_formActive || m_spaceDown)
        return;

    if (m_mouseOver && m_armed)
        paintIfLookChanges(ButtonState::Pressed);
    else if (m_mouseOver)
        paintIfLookChanges(ButtonState::Hot);
    else if (m_hasFocus)
        paintIfLookChanges(ButtonState::Focused);
    else
        paintIfLookChanges(ButtonState::Normal);
    raiseEvent([&] { emit MouseMove(button, shift, x, y); });
}

void ccXPButton::keyPressEvent(QKeyEvent *event)
{
    if (!isButtonKey(event->key())) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        raiseEvent([this] { emit Click(); });
        break;
    case Qt::Key_Space:
        if (m_mouseDown)
            break;
        m_spaceDown = true;
        m_armed = true;
        paintIfLookChanges(ButtonState::Pressed);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusNextPrevChild(false);
        break;
    default: // Right and Down
        focusNextPrevChild(true);
        break;
    }
}

void ccXPButton::keyReleaseEvent(QKeyEvent *event)
{
    if (!isButtonKey(event->key())) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    // A held key repeats its key-down only, as on Windows; X11 also sends
    // releases for the repeats.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        releaseSpace();
}

void ccXPButton::releaseSpace()
{
    if (m_mouseDown) {
        // Ignored while the mouse button is held, but Space is up now: a
        // flag left set would keep the button deaf to the pointer.
        m_spaceDown = false;
        return;
    }
    if (m_mouseOver)
        paintIfLookChanges(ButtonState::Hot);
    else
        DrawButton(ButtonState::Focused);
    if (m_armed && !raiseEvent([this] { emit Click(); }))
        return;
    m_spaceDown = false;
    m_armed = false;
}

void ccXPButton::clickByAccessKey()
{
    if (!m_enabled)
        return;
    if (m_spaceDown) {
        // The access key cancels a press of Space.
        m_spaceDown = false;
        m_armed = false;
        if (m_mouseOver)
            paintIfLookChanges(ButtonState::Hot);
        else
            DrawButton(ButtonState::Focused);
        return;
    }
    const QPointer<ccXPButton> alive(this);
    QCoreApplication::processEvents();
    if (alive)
        raiseEvent([this] { emit Click(); });
}

void ccXPButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_hasFocus = true;
    if (m_mouseOver) {
        if (m_state != ButtonState::Hot && m_state != ButtonState::Pressed)
            DrawButton(ButtonState::Hot);
    } else if (!m_armed) {
        DrawButton(ButtonState::Focused);
    }
}

void ccXPButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    m_hasFocus = false;
    m_armed = false;
    m_spaceDown = false;
    if (!m_enabled)
        return;
    if (!m_formActive)
        paintIfLookChanges(ButtonState::Normal);
    else if (m_mouseOver)
        paintIfLookChanges(ButtonState::Hot);
    else if (m_isDefault)
        DrawButton(ButtonState::Focused);
    else
        paintIfLookChanges(ButtonState::Normal);
}

// The form's ambient properties changed; only DisplayAsDefault changes the look.
void ccXPButton::updateFromAmbient(const QString &property)
{
    m_isDefault = m_site && m_site->displayAsDefault();
    if (!m_enabled || m_mouseOver || property != DisplayAsDefault)
        return;
    if (m_isDefault)
        DrawButton(ButtonState::Focused);
    else
        paintIfLookChanges(ButtonState::Normal);
}

void ccXPButton::setFormActive(bool active)
{
    if (active) {
        m_formActive = true;
        if (m_enabled) {
            if (m_mouseOver)
                paintIfLookChanges(ButtonState::Hot);
            else if (m_hasFocus || m_isDefault)
                DrawButton(ButtonState::Focused);
        }
        raiseEvent([this] { emit FormActivate(1); });
        return;
    }
    // Deactivation ends every press in progress without a Click.
    m_formActive = false;
    m_armed = false;
    m_mouseDown = false;
    m_spaceDown = false;
    if (m_enabled)
        paintIfLookChanges(ButtonState::Normal);
    raiseEvent([this] { emit FormActivate(0); });
}

// The pointer has left the button: it falls back from Hot or Pressed.
void ccXPButton::forgetPointer()
{
    m_mouseOver = false;
    if (m_spaceDown || m_state == ButtonState::Disabled)
        return;
    if (!m_hasFocus && !m_isDefault) {
        paintIfLookChanges(ButtonState::Normal);
    } else if (m_state == ButtonState::Pressed) {
        DrawButton(m_armed ? ButtonState::Focused : ButtonState::Normal);
    } else if (m_state != ButtonState::Focused && m_formActive) {
        DrawButton(ButtonState::Focused);
    }
}

// Message hook

void ccXPButton::zSubclass_Proc(bool bBefore, bool &bHandled, std::int32_t &lReturn, std::int32_t &lng_hWnd,
                                std::int32_t &uMsg, std::int32_t &wParam, std::int32_t &lParam)
{
    // The button reacts alike before and after; the result stays as it is.
    Q_UNUSED(bBefore)
    Q_UNUSED(bHandled)
    Q_UNUSED(lReturn)
    Q_UNUSED(lng_hWnd)
    Q_UNUSED(lParam)
    switch (uMsg) {
    case WindowSystem::WmActivate:
    case WindowSystem::WmNcActivate:
        // Low word 0: inactive, also while the high word says "minimized".
        setFormActive((wParam & LowWordMask) != 0);
        break;
    case WindowSystem::WmMouseLeave:
        forgetPointer();
        break;
    default:
        break;
    }
}

std::int32_t ccXPButton::HookAttach(std::int32_t lng_hWnd)
{
    return m_hook.attach(lng_hWnd);
}

void ccXPButton::HookWatch(std::int32_t lng_hWnd, std::int32_t uMsg, std::int32_t When)
{
    m_hook.watch(lng_hWnd, uMsg, When);
}

void ccXPButton::HookDetach(std::int32_t lng_hWnd)
{
    m_hook.detach(lng_hWnd);
}

std::int32_t ccXPButton::HookFind(std::int32_t lng_hWnd, bool bAdd) const
{
    return m_hook.find(lng_hWnd, bAdd);
}

// While the form runs: the button's own window for the pointer leaving it,
// the form's window for its activation (WM_NCACTIVATE on an MDI child form).
// Properties read a second time find the hooks in place: hooking the same
// windows again would hand every watched message to the button twice.
void ccXPButton::installHooks()
{
    if (!userMode() || HookFind(m_handle, false) != MessageHook::NotFound)
        return;
    HookAttach(m_handle);
    HookWatch(m_handle, WindowSystem::WmMouseLeave, HookAfter);
    HookAttach(m_formHandle);
    const bool mdiChild = m_site && m_site->isMdiChild();
    HookWatch(m_formHandle, mdiChild ? WindowSystem::WmNcActivate : WindowSystem::WmActivate, HookAfter);
}

void ccXPButton::removeHooks()
{
    if (!userMode())
        return;
    HookDetach(m_handle);
    HookDetach(m_formHandle);
}
