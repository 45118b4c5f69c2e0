#include "ccxpbutton.h"

#include "propertybag.h"

#include <QMouseEvent>
#include <QPainter>

ccXPButton::ccXPButton(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void ccXPButton::Initialize()
{
    pFONT = makeFont({QStringLiteral("Verdana"), 8.25});
}

void ccXPButton::InitProperties()
{
    SetCaption(QStringLiteral("&OK"));
}

void ccXPButton::ReadProperties(const PropertyBag &bag)
{
    SetCaption(BagValue::toText(bag.read(QStringLiteral("Caption"), QStringLiteral("&OK"))));
    const QVariant font = bag.read(QStringLiteral("Font"));
    if (font.isValid())
        SetFont(makeFont(BagValue::toFont(font)));
}

void ccXPButton::WriteProperties(PropertyBag &bag) const
{
    bag.write(QStringLiteral("Caption"), pCaption, QStringLiteral("&OK"));
    bag.write(QStringLiteral("Font"), QVariant::fromValue(pFONT->description()), QStringLiteral("Verdana"));
}

void ccXPButton::Terminate()
{
    pFONT.reset();
}

void ccXPButton::SetCaption(const QString &NewValue)
{
    pCaption = NewValue;
    update();
}

void ccXPButton::SetFont(const SharedFont &NewValue)
{
    pFONT = NewValue;
    update();
}

void ccXPButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(245, 244, 234));
    painter.setPen(QColor(0, 60, 116));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (pFONT)
        painter.setFont(pFONT->toQFont());
    painter.setPen(Qt::black);
    painter.drawText(rect(), Qt::TextSingleLine | Qt::AlignCenter | Qt::TextShowMnemonic, pCaption);
}

void ccXPButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
    QWidget::mouseReleaseEvent(event);
}
