#include "formbuilder.h"

#include "ccxpbutton.h"
#include "controlsite.h"
#include "fonts.h"
#include "formframe.h"
#include "formlabel.h"
#include "formshape.h"
#include "jchart.h"
#include "picturebox.h"
#include "propertybag.h"
#include "twips.h"

#include <QFontMetrics>
#include <QLineEdit>

#include <algorithm>

namespace {

QFont designFont(const FontDesign &design)
{
    if (!design.face)
        return defaultControlFont();
    QFont font(QString::fromUtf16(design.face));
    font.setPointSizeF(design.size);
    return font;
}

QRect pixelRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width), twipsToPixelsY(height));
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

// A hosted control's life cycle up to the first show: created, given its
// site, initialised, restored from its bag, then sized.
template<typename Control>
Control *host(QWidget *container, const QString &name, const PropertyBag &bag, const QRect &place)
{
    auto *control = new Control(container);
    control->setSite(new FormSite(control, name, control));
    control->Initialize();
    control->ReadProperties(bag);
    control->setGeometry(place);
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
    if (design.kind != ControlKind::Chart && design.kind != ControlKind::PushButton) {
        widget->setFont(designFont(design.font));
        QRect place = pixelRect(design.left, design.top, design.width, design.height);
        if (design.style & AutoSize) {
            const QFontMetrics metrics(widget->font());
            place.setSize(QSize(metrics.horizontalAdvance(designText(design)), metrics.height()));
        }
        widget->setGeometry(place);
    }
    if (design.focus != NoFocus && widget->focusPolicy() != Qt::NoFocus)
        m_focusPlaces.append({design.focus, widget});
    return widget;
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
    // As the form runtime does: create, restore from the Property bag, then
    // size from the stored extents.
    const QString name = objectName(design);
    const PropertyBag bag = PropertyBag::fromText(FormDesign::storedProperties(name));
    const QSize size(twipsToPixelsX(himetricToTwips(BagValue::toLong(bag.read(QStringLiteral("_extentx"), 0)))),
                     twipsToPixelsY(himetricToTwips(BagValue::toLong(bag.read(QStringLiteral("_extenty"), 0)))));
    const QPoint place(twipsToPixelsX(design.left), twipsToPixelsY(design.top));

    if (design.kind == ControlKind::Chart)
        return host<jChart>(container, name, bag, QRect(place, size));
    return host<ccXPButton>(container, name, bag, QRect(place, size));
}

void FormBuilder::applyFocusOrder() const
{
    QList<QPair<int, QWidget *>> order = m_focusPlaces;
    std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
}
