#include "propertybag.h"

#include "numbers.h"
#include "runtimeerror.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {

bool storedEqual(const QVariant &value, const QVariant &defaultValue)
{
    if (!defaultValue.isValid() || value.metaType() != defaultValue.metaType())
        return false;
    return value == defaultValue;
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString valueText(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return quoted(value.toString());
    case QMetaType::Bool:
        return boolText(value.toBool());
    case QMetaType::Int:
        return QString::number(value.toInt());
    default:
        break;
    }
    if (value.metaType() == QMetaType::fromType<FontDescription>()) {
        const auto font = value.value<FontDescription>();
        return QStringLiteral("Font(%1, %2, %3, %4, %5, %6, %7)")
            .arg(quoted(font.name), QString::number(font.size, 'g', 15))
            .arg(font.weight)
            .arg(font.charset)
            .arg(boolText(font.italic), boolText(font.underline), boolText(font.strikethrough));
    }
    throw RuntimeError(ErrorKind::TypeMismatch,
                       QStringLiteral("A value of type %1 cannot be stored.").arg(QString::fromLatin1(value.typeName())));
}

// Sizes and weights a font can have; anything else in a bag is damage.
constexpr double MaximumFontSize = 2048;
constexpr int MaximumFontWeight = 1000;

bool isHexDigits(QStringView digits)
{
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return false;
    }
    return true;
}

RuntimeError formatError(int line, const QString &what)
{
    return RuntimeError(ErrorKind::InvalidFormat, QStringLiteral("Line %1: %2").arg(line).arg(what));
}

// Reads a quoted text starting at text[pos] == '"'; pos ends after the
// closing quote.
QString unquote(QStringView text, qsizetype &pos, int line)
{
    QString out;
    for (++pos; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++pos >= text.size())
            break;
        switch (text[pos].unicode()) {
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        case u'"': out += u'"'; break;
        case u'\\': out += u'\\'; break;
        case u'x': {
            const QStringView digits = text.mid(pos + 1, 2);
            if (digits.size() != 2 || !isHexDigits(digits))
                throw formatError(line, QStringLiteral("a \\x escape needs two hexadecimal digits."));
            out += QChar(char16_t(digits.toUInt(nullptr, 16)));
            pos += 2;
            break;
        }
        default:
            throw formatError(line, QStringLiteral("unknown escape \\%1.").arg(text[pos]));
        }
    }
    throw formatError(line, QStringLiteral("the text has no closing quote."));
}

std::optional<bool> parseBool(QStringView text)
{
    if (text.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

FontDescription parseFont(QStringView text, int line)
{
    // text is what stands between "Font(" and ")".
    qsizetype pos = 0;
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
    if (pos >= text.size() || text[pos] != u'"')
        throw formatError(line, QStringLiteral("a font starts with its name in quotes."));
    FontDescription font;
    font.name = unquote(text, pos, line);
    const QStringList fields = text.mid(pos).toString().split(u',');
    if (fields.size() != 7 || !fields.first().trimmed().isEmpty())
        throw formatError(line, QStringLiteral("a font needs a name, size, weight, charset, italic, underline and strikethrough."));
    bool sizeOk = false, weightOk = false, charsetOk = false;
    font.size = fields[1].trimmed().toDouble(&sizeOk);
    font.weight = fields[2].trimmed().toInt(&weightOk);
    font.charset = fields[3].trimmed().toInt(&charsetOk);
    const auto italic = parseBool(fields[4].trimmed());
    const auto underline = parseBool(fields[5].trimmed());
    const auto strikethrough = parseBool(fields[6].trimmed());
    if (!sizeOk || !(font.size > 0 && font.size <= MaximumFontSize) || !weightOk || font.weight < 1
        || font.weight > MaximumFontWeight || !charsetOk || font.charset < 0 || font.charset > 255 || !italic || !underline
        || !strikethrough)
        throw formatError(line, QStringLiteral("a font field has the wrong form."));
    font.italic = *italic;
    font.underline = *underline;
    font.strikethrough = *strikethrough;
    return font;
}

QVariant parseValue(QStringView text, int line)
{
    if (text.isEmpty())
        throw formatError(line, QStringLiteral("the value is missing."));
    if (text.front() == u'"') {
        qsizetype pos = 0;
        const QString value = unquote(text, pos, line);
        if (pos != text.size())
            throw formatError(line, QStringLiteral("there is more after the closing quote."));
        return value;
    }
    if (const auto flag = parseBool(text))
        return *flag;
    if (text.startsWith(u"Font(") && text.endsWith(u')'))
        return QVariant::fromValue(parseFont(text.sliced(5, text.size() - 6), line));
    bool ok = false;
    const int number = text.toInt(&ok);
    if (ok)
        return number;
    // Colour values are easier to read in hexadecimal: &H80000005.
    if (text.startsWith(u"&H", Qt::CaseInsensitive)) {
        const QStringView digits = text.sliced(2);
        if (!digits.isEmpty() && digits.size() <= 8 && isHexDigits(digits))
            return int(digits.toUInt(nullptr, 16));
    }
    throw formatError(line, QStringLiteral("\"%1\" is not a text, number, True/False or Font(...).").arg(text));
}

} // namespace

const PropertyBag::Entry *PropertyBag::find(const QString &key) const
{
    for (const Entry &entry : m_entries) {
        if (entry.key.compare(key, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

QVariant PropertyBag::read(const QString &key, const QVariant &defaultValue) const
{
    const Entry *entry = find(key);
    return entry ? entry->value : defaultValue;
}

void PropertyBag::write(const QString &key, const QVariant &value, const QVariant &defaultValue)
{
    // Only what the text form can hold goes into the bag.
    valueText(value);
    const auto sameKey = [&key](const Entry &entry) { return entry.key.compare(key, Qt::CaseInsensitive) == 0; };
    m_entries.removeIf(sameKey);
    if (!storedEqual(value, defaultValue))
        m_entries.append({key, value});
}

bool PropertyBag::contains(const QString &key) const
{
    return find(key) != nullptr;
}

QStringList PropertyBag::keys() const
{
    QStringList result;
    for (const Entry &entry : m_entries)
        result.append(entry.key);
    return result;
}

QString PropertyBag::toText() const
{
    QString text;
    for (const Entry &entry : m_entries)
        text += entry.key + QStringLiteral(" = ") + valueText(entry.value) + u'\n';
    return text;
}

PropertyBag PropertyBag::fromText(const QString &text)
{
    static const QRegularExpression KeyPattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    PropertyBag bag;
    int lineNumber = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        ++lineNumber;
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            throw formatError(lineNumber, QStringLiteral("a line needs the form key = value."));
        const QStringView key = line.first(equals).trimmed();
        if (!KeyPattern.match(key).hasMatch())
            throw formatError(lineNumber, QStringLiteral("\"%1\" is not a property name.").arg(key));
        bag.write(key.toString(), parseValue(line.sliced(equals + 1).trimmed(), lineNumber));
    }
    return bag;
}

namespace BagValue {

namespace {

RuntimeError typeMismatch(const QVariant &value, const char *wanted)
{
    return RuntimeError(ErrorKind::TypeMismatch,
                        QStringLiteral("The stored value %1 is not %2.")
                            .arg(value.canConvert<QString>() ? quoted(value.toString()) : QStringLiteral("(font)"),
                                 QString::fromLatin1(wanted)));
}

} // namespace

QString toText(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString: return value.toString();
    case QMetaType::Int: return QString::number(value.toInt());
    case QMetaType::Bool: return boolText(value.toBool());
    default: throw typeMismatch(value, "a text");
    }
}

bool toBool(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Int: return value.toInt() != 0;
    case QMetaType::QString:
        if (const auto flag = parseBool(value.toString()))
            return *flag;
        break;
    default: break;
    }
    throw typeMismatch(value, "True or False");
}

std::int32_t toLong(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int: return value.toInt();
    case QMetaType::Bool: return value.toBool() ? -1 : 0;
    case QMetaType::QString: {
        bool ok = false;
        const double number = QLocale::c().toDouble(value.toString().trimmed(), &ok);
        if (ok)
            return toInt32(number);
        break;
    }
    default: break;
    }
    throw typeMismatch(value, "a whole number");
}

OleColor toColour(const QVariant &value)
{
    return OleColor(toLong(value));
}

FontDescription toFont(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<FontDescription>())
        return value.value<FontDescription>();
    throw typeMismatch(value, "a font");
}

} // namespace BagValue
