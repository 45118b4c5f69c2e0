#include "jchart.h"

#include "controlsite.h"
#include "propertybag.h"
#include "runtimeerror.h"

jChart::jChart(QWidget *parent)
    : QWidget(parent)
{
}

void jChart::Initialize()
{
    m_backColor = 0x00FFFFFF;
}

void jChart::ReadProperties(const PropertyBag &bag)
{
    m_backColor = BagValue::toColour(bag.read(QStringLiteral("BackColor"), int(0x00FFFFFF)));
}

void jChart::WriteProperties(PropertyBag &bag) const
{
    bag.write(QStringLiteral("BackColor"), int(m_backColor), int(0x00FFFFFF));
}

void jChart::SetBackColor(OleColor New_BackColor)
{
    m_backColor = New_BackColor;
    if (m_site)
        m_site->propertyChanged(QStringLiteral("BackColor"));
    update();
}

void jChart::AddItem(const QString &, std::int16_t, OleColor, OleColor)
{
    if (m_count >= Capacity)
        throw RuntimeError::indexOutOfRange(QStringLiteral("The chart holds at most 100 columns."));
    ++m_count;
}

void jChart::Clear()
{
    m_count = 0;
}
