#include "ccxpbutton.h"

#include "accessibility.h"
#include "ccxpbuttonaccessible.h"
#include "controlsite.h"
#include "numbers.h"
#include "propertybag.h"
#include "twips.h"
#include "windowsystem.h"

#include <QAccessible>
#include <QCursor>

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

FontDescription designFont()
{
    return {QStringLiteral("Verdana"), 8.25, 400, 0, false, false, false};
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

ccXPButton::~ccXPButton()
{
    ReleaseHooks();
}

void ccXPButton::setSite(ControlSite *site)
{
    if (m_site)
        disconnect(m_site, nullptr, this, nullptr);
    m_site = site;
    if (!m_site)
        return;
    connect(m_site, &ControlSite::AccessKeyPress, this, &ccXPButton::UserControl_AccessKeyPress);
    connect(m_site, &ControlSite::AmbientChanged, this, &ccXPButton::UserControl_AmbientChanged);
}

void ccXPButton::Initialize()
{
    pPaintLock = true;
    InitColours();
    AttachFont(makeFont(designFont()));
    pHwnd = WindowSystem::handleOf(this);
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
    pHwndParent = WindowSystem::handleOf(ParentForm());
    SetCaption(BagValue::toText(bag.read(CaptionKey, DefaultCaption)));
    SetForeColor(BagValue::toColour(bag.read(ForeColorKey, DefaultForeColor)));
    const QVariant font = bag.read(FontKey);
    SetFont(font.isValid() ? makeFont(BagValue::toFont(font)) : pFONT);
    SetFocusRect(BagValue::toBool(bag.read(FocusRectKey, DefaultFocusRect)));
    SetEnabled(BagValue::toBool(bag.read(EnabledKey, DefaultEnabled)));
    InstallHooks();
    pPaintLock = false;
    DrawButton(ButtonState(pState));
}

void ccXPButton::WriteProperties(PropertyBag &bag) const
{
    bag.write(CaptionKey, pCaption, DefaultCaption);
    bag.write(EnabledKey, pEnabled, DefaultEnabled);
    bag.write(ForeColorKey, std::int32_t(pForeColor), DefaultForeColor);
    if (pFONT)
        bag.write(FontKey, QVariant::fromValue(pFONT->description()), FontWriteDefault);
    bag.write(FocusRectKey, pFocusRect, DefaultFocusRect);
}

void ccXPButton::Terminate()
{
    try {
        AttachFont(nullptr);
        RemoveHooks();
    } catch (...) {
        // The host is closing; a failure here has nobody to tell.
    }
}

void ccXPButton::SetCaption(const QString &NewValue)
{
    pCaption = NewValue;
    if (m_site)
        m_site->setAccessKeys(ParseAccessKey());
    DrawButton(ButtonState(pState));
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    NotifyChanged(CaptionKey);
}

void ccXPButton::SetEnabled(bool NewValue)
{
    pEnabled = NewValue;
    setEnabled(NewValue);
    pPaintLock = false;
    if (pMouseOver && pEnabled) {
        DrawButton(ButtonState::Hot);
    } else if (pIsDefault && NewValue) {
        DrawButton(ButtonState::Focused);
    } else {
        const ButtonState target = NewValue ? ButtonState::Normal : ButtonState::Disabled;
        if (ButtonState(pState) != target)
            DrawButton(target);
    }
    NotifyChanged(EnabledKey);
}

void ccXPButton::SetFont(const SharedFont &NewValue)
{
    AttachFont(NewValue);
    pFONT_FontChanged(QString());
}

void ccXPButton::SetForeColor(OleColor NewValue)
{
    pForeColor = NewValue;
    m_surface.setTextColour(NewValue);
    DrawButton(ButtonState(pState));
    NotifyChanged(ForeColorKey);
}

void ccXPButton::SetFocusRect(bool NewValue)
{
    pFocusRect = NewValue;
    if (pHasFocus)
        DrawButton(ButtonState(pState));
    NotifyChanged(FocusRectKey);
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
QString ccXPButton::ParseAccessKey() const
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype mark = pCaption.indexOf(Mnemonic, from);
        if (mark < 0 || mark == pCaption.size() - 1)
            return {};
        if (pCaption[mark + 1] != Mnemonic)
            return pCaption.mid(mark + 1, 1).toLower();
        from = mark + 2;
    }
}

void ccXPButton::pFONT_FontChanged(const QString &PropertyName)
{
    Q_UNUSED(PropertyName)
    // Without a font object the caption is drawn in the default control font,
    // which the surface takes at its own resolution.
    m_surface.setFont(pFONT ? pFONT->toQFont() : FontDescription().toQFont());
    DrawButton(ButtonState(pState));
    NotifyChanged(FontKey);
}

// Holds the font object and listens to its changes; the surface draws in it.
void ccXPButton::AttachFont(const SharedFont &font)
{
    if (pFONT)
        disconnect(pFONT.data(), &FontObject::FontChanged, this, &ccXPButton::pFONT_FontChanged);
    pFONT = font;
    if (!pFONT)
        return;
    connect(pFONT.data(), &FontObject::FontChanged, this, &ccXPButton::pFONT_FontChanged);
    m_surface.setFont(pFONT->toQFont());
}

void ccXPButton::NotifyChanged(const QString &key)
{
    if (m_site)
        m_site->propertyChanged(key);
}

bool ccXPButton::UserMode() const
{
    return m_site && m_site->userMode();
}

QWidget *ccXPButton::ParentForm() const
{
    return m_site ? m_site->parentForm() : window();
}
