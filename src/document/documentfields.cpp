#include "documentfields.h"

#include "colourpalette.h"
#include "formdesign.h"
#include "numbers.h"

#include <algorithm>
#include <limits>

namespace DocumentFields {

namespace {

QString outOfRange(QStringView number)
{
    return QStringLiteral("the value %1 is out of range: a whole number from %2 to %3 is needed")
        .arg(excerpt(number))
        .arg(std::numeric_limits<std::int16_t>::min())
        .arg(std::numeric_limits<std::int16_t>::max());
}

} // namespace

OleColor defaultColour()
{
    return FormDesign::ColumnSwatchColour;
}

OleColor defaultLabelColour()
{
    return FormDesign::LabelSwatchColour;
}

QString readValue(QStringView text, std::int16_t *value)
{
    if (text.trimmed().isEmpty())
        return QStringLiteral("the value is missing");
    try {
        const std::optional<double> number = scanNumberIfAny(text);
        if (!number)
            return QStringLiteral("the value \"%1\" is not a number").arg(excerpt(text));
        *value = toInt16(*number);
    } catch (const RuntimeError &) {
        return outOfRange(text.trimmed());
    }
    return {};
}

QString readValue(double number, std::int16_t *value)
{
    try {
        *value = toInt16(number);
    } catch (const RuntimeError &) {
        return outOfRange(formatNumber(number, QLocale::c()));
    }
    return {};
}

QString readColour(QStringView text, OleColor *colour)
{
    const QStringView name = text.trimmed();
    const auto isHexDigit = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    if (name.size() == 7 && name.startsWith(u'#') && std::all_of(name.begin() + 1, name.end(), isHexDigit)) {
        const uint rgb = name.mid(1).toUInt(nullptr, 16);
        *colour = rgbColour(int(rgb >> 16), int(rgb >> 8), int(rgb));
        return {};
    }
    if (const std::optional<OleColor> named = ColourPalette::colourNamed(name)) {
        *colour = *named;
        return {};
    }
    return QStringLiteral("\"%1\" is not a colour: write #RRGGBB or a palette colour's name, such as red or light grey")
        .arg(excerpt(text));
}

QString checkTextLength(QStringView text)
{
    constexpr qsizetype Longest = 32767;
    if (text.size() <= Longest)
        return {};
    return QStringLiteral("the text is %1 characters long; a label or a title holds at most %2").arg(text.size()).arg(Longest);
}

QString colourText(OleColor colour)
{
    const OleColor rgb = resolveColour(colour);
    return QStringLiteral("#%1%2%3")
        .arg(rgb & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(rgb >> 8 & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(rgb >> 16 & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

RuntimeError readError(const QString &source, const QString &place, const QString &reason)
{
    const QString where = place.isEmpty() ? source : source + QStringLiteral(", ") + place;
    return RuntimeError(ErrorKind::InvalidFormat, where + QStringLiteral(": ") + reason + u'.');
}

QString excerpt(QStringView text)
{
    constexpr qsizetype Shown = 40;
    return text.size() <= Shown ? text.toString() : text.left(Shown).toString() + u'…';
}

QString linePlace(int line)
{
    return QStringLiteral("line %1").arg(line);
}

} // namespace DocumentFields
