#include "formbuilder.h"

#include "ccxpbutton.h"
#include "controlsite.h"
#include "fonts.h"
#include "formframe.h"
#include "formlabel.h"
#include "formshape.h"
#include "jchart.h"
#include "numbers.h"
#include "picturebox.h"
#include "propertybag.h"
#include "twips.h"

#include <QFontMetrics>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace {

QFont designFont(const FontDesign &design, const Resolution &resolution)
{
    if (!design.face)
        return defaultControlFont(resolution);
    QFont font(QString::fromUtf16(design.face));
    font.setPointSizeF(design.size);
    // Smoothed as the toolkit draws text, not crisp as the default control
    // font it would otherwise take this from.
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

QRect pixelRect(const Resolution &resolution, int left, int top, int width, int height)
{
    return QRect(resolution.toLogicalX(left), resolution.toLogicalY(top), resolution.toLogicalX(width),
                 resolution.toLogicalY(height));
}

// A hosted control's design-time size, which its host keeps in HIMETRIC, in
// whole twips as the design gives it: 2143 HIMETRIC are 1215 twips.
QSize hostedExtent(const PropertyBag &bag)
{
    const auto twips = [&bag](const QString &key) {
        return int(roundHalfEven(himetricToTwips(BagValue::toLong(bag.read(key, 0)))));
    };
    return QSize(twips(QStringLiteral("_extentx")), twips(QStringLiteral("_extenty")));
}

// A text box keeps this many pixels between its edge and its text, in
// logical pixels whatever the device pixel ratio.
constexpr int TextBoxMargin = 2;

// The left text margin that puts a text box's left-aligned text where it
// stands at the same device resolution with a ratio of 1: at 96 dpi x 2 the
// box's own margin is 4 device pixels, at 192 dpi 2.
int leftTextMargin(const Resolution &resolution)
{
    return int(std::lround(TextBoxMargin / resolution.pixelRatio())) - TextBoxMargin;
}

QString designText(const ControlDesign &design)
{
    return design.text ? QString::fromUtf16(design.text) : QString();
}

QWidget *createTextBox(const ControlDesign &design, QWidget *container)
{
    auto *box = new QLineEdit(designText(design), container);
    box->setFrame(!(design.style & Borderless));
    box->setAlignment(design.style & Centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    QPalette colours = box->palette();
    colours.setColor(QPalette::Base, toQColor(SystemColour::Window));
    colours.setColor(QPalette::Text, toQColor(SystemColour::WindowText));
    box->setPalette(colours);
    return box;
}

QWidget *createLabel(const ControlDesign &design, QWidget *container)
{
    auto *label = new FormLabel(container);
    label->setText(designText(design));
    label->setTransparent(design.style & Transparent);
    label->setSingleBorder(design.style & SingleBorder);
    if (design.back != DefaultColour)
        label->SetBackColor(design.back);
    return label;
}

QWidget *createFrame(const ControlDesign &design, QWidget *container)
{
    auto *frame = new FormFrame(designText(design), container);
    frame->SetBackColor(design.back);
    return frame;
}

QWidget *createShape(const ControlDesign &design, QWidget *container)
{
    auto *shape = new FormShape(container);
    shape->SetBackColor(design.back);
    return shape;
}

QWidget *createPictureBox(const ControlDesign &design, QWidget *container)
{
    // The capture buffer is never needed on screen, and shown it would cover
    // part of the Exit button, so it stays hidden from the start.
    auto *picture = new PictureBox(container);
    picture->SetBackColor(design.back);
    if (design.fore != DefaultColour)
        picture->SetForeColor(design.fore);
    picture->hide();
    return picture;
}

// A hosted control's life cycle up to its first paint: created, given its
// site and initialised; its window then takes the size the form keeps for it,
// and the properties restored from its bag paint it once, at that size.
template<typename Control>
Control *host(QWidget *container, const QString &name, const PropertyBag &bag, const QRect &place)
{
    auto *control = new Control(container);
    control->setSite(new FormSite(control, name, control));
    control->Initialize();
    control->setGeometry(place);
    control->ReadProperties(bag);
    return control;
}

} // namespace

QString FormBuilder::objectName(const ControlDesign &design)
{
    const QString name = QString::fromLatin1(design.name);
    return design.index == NotIndexed ? name : QStringLiteral("%1(%2)").arg(name).arg(design.index);
}

QWidget *FormBuilder::build(const ControlDesign &design, QWidget *container)
{
    QWidget *widget = create(design, container);
    widget->setObjectName(objectName(design));
    place(design, widget);
    if (design.focus != NoFocus && widget->focusPolicy() != Qt::NoFocus)
        m_focusPlaces.append({design.focus, widget});
    return widget;
}

QRect FormBuilder::hostedPlace(const ControlDesign &design, const PropertyBag &bag) const
{
    const QSize extent = hostedExtent(bag);
    return pixelRect(m_resolution, design.left, design.top, extent.width(), extent.height());
}

void FormBuilder::place(const ControlDesign &design, QWidget *widget) const
{
    if (design.kind == ControlKind::Chart || design.kind == ControlKind::PushButton) {
        widget->setGeometry(hostedPlace(design, PropertyBag::fromText(FormDesign::storedProperties(objectName(design)))));
        return;
    }
    widget->setFont(designFont(design.font, m_resolution));
    QRect place = pixelRect(m_resolution, design.left, design.top, design.width, design.height);
    if (design.style & AutoSize) {
        // Measured in device pixels, as the label draws its text; the label
        // spans them.
        const QFontMetrics metrics(fontForDevicePixels(widget->font(), m_resolution), widget);
        const QSize device(metrics.horizontalAdvance(designText(design)), metrics.height());
        const double ratio = m_resolution.pixelRatio();
        place.setSize(QSize(int(std::ceil(device.width() / ratio)), int(std::ceil(device.height() / ratio))));
        if (auto *label = qobject_cast<FormLabel *>(widget))
            label->setDeviceSize(device);
    }
    widget->setGeometry(place);
    if (auto *box = qobject_cast<QLineEdit *>(widget); box && (box->alignment() & Qt::AlignLeft))
        box->setTextMargins(leftTextMargin(m_resolution), 0, 0, 0);
}

QWidget *FormBuilder::create(const ControlDesign &design, QWidget *container) const
{
    switch (design.kind) {
    case ControlKind::TextBox: return createTextBox(design, container);
    case ControlKind::Label: return createLabel(design, container);
    case ControlKind::Frame: return createFrame(design, container);
    case ControlKind::Shape: return createShape(design, container);
    case ControlKind::PictureBox: return createPictureBox(design, container);
    case ControlKind::Chart:
    case ControlKind::PushButton: return createHosted(design, container);
    }
    Q_UNREACHABLE();
}

QWidget *FormBuilder::createHosted(const ControlDesign &design, QWidget *container) const
{
    const QString name = objectName(design);
    const PropertyBag bag = PropertyBag::fromText(FormDesign::storedProperties(name));
    const QRect place = hostedPlace(design, bag);
    if (design.kind == ControlKind::Chart)
        return host<jChart>(container, name, bag, place);
    return host<ccXPButton>(container, name, bag, place);
}

void FormBuilder::applyFocusOrder() const
{
    QList<QPair<int, QWidget *>> order = m_focusPlaces;
    std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
}
