#include "fontobject.h"

QFont FontDescription::toQFont() const
{
    QFont font(name);
    font.setPointSizeF(size);
    font.setWeight(QFont::Weight(qBound(1, weight, 1000)));
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikethrough);
    return font;
}

FontObject::FontObject(const FontDescription &description, QObject *parent)
    : QObject(parent)
    , m_description(description)
    , m_font(description.toQFont())
{
}

template<typename T>
void FontObject::change(T FontDescription::*field, const T &value, const QString &propertyName)
{
    if (m_description.*field == value)
        return;
    m_description.*field = value;
    m_font = m_description.toQFont();
    emit FontChanged(propertyName);
}

void FontObject::setName(const QString &name)
{
    change(&FontDescription::name, name, QStringLiteral("Name"));
}

void FontObject::setSize(double size)
{
    change(&FontDescription::size, size, QStringLiteral("Size"));
}

void FontObject::setWeight(int weight)
{
    change(&FontDescription::weight, weight, QStringLiteral("Weight"));
}

void FontObject::setBold(bool bold)
{
    change(&FontDescription::weight, bold ? 700 : 400, QStringLiteral("Bold"));
}

void FontObject::setCharset(int charset)
{
    change(&FontDescription::charset, charset, QStringLiteral("Charset"));
}

void FontObject::setItalic(bool italic)
{
    change(&FontDescription::italic, italic, QStringLiteral("Italic"));
}

void FontObject::setUnderline(bool underline)
{
    change(&FontDescription::underline, underline, QStringLiteral("Underline"));
}

void FontObject::setStrikethrough(bool strikethrough)
{
    change(&FontDescription::strikethrough, strikethrough, QStringLiteral("Strikethrough"));
}

SharedFont makeFont(const FontDescription &description)
{
    return SharedFont::create(description);
}
