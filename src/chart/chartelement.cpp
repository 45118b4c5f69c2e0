#include "chartelement.h"

ChartElement::ChartElement(Kind kind, float left, float top, float width, float height)
    : m_kind(kind)
    , m_left(left)
    , m_top(top)
{
    setWidth(width);
    setHeight(height);
}

bool ChartElement::setWidth(float width)
{
    if (!(width >= 0))
        return false;
    m_width = width;
    return true;
}

bool ChartElement::setHeight(float height)
{
    if (!(height >= 0))
        return false;
    m_height = height;
    return true;
}

void ChartElement::setCaption(const QString &caption, float width, float height)
{
    m_caption = caption;
    setWidth(width);
    setHeight(height);
}
